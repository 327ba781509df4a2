#include "TavlinUI/Uuid.h"

#include <sys/random.h>
#include <unistd.h>

#include <algorithm>
#include <cerrno>
#include <cstdio>
#include <functional>
#include <stdexcept>
#include <string_view>

namespace tavlin {
namespace {

// Fills the buffer from the kernel's random source, falling back to /dev/urandom
// where getrandom is unavailable.
void fillRandom(std::uint8_t* data, std::size_t size) {
    std::size_t done = 0;
    while (done < size) {
        const ssize_t n = getrandom(data + done, size - done, 0);
        if (n > 0) {
            done += static_cast<std::size_t>(n);
            continue;
        }
        if (n < 0 && errno == EINTR) continue;
        break;
    }
    if (done == size) return;
    if (std::FILE* file = std::fopen("/dev/urandom", "rb")) {
        done += std::fread(data + done, 1, size - done, file);
        std::fclose(file);
    }
    if (done != size) throw std::runtime_error("no random source for identifiers");
}

} // namespace

Uuid Uuid::random() {
    // Identifiers are drawn in bulk: one system call serves 256 of them.
    thread_local std::array<std::uint8_t, 4096> pool{};
    thread_local std::size_t used = pool.size();
    thread_local pid_t owner = 0;
    if (used == pool.size() || owner != getpid()) { // a forked child draws its own
        fillRandom(pool.data(), pool.size());
        used = 0;
        owner = getpid();
    }
    std::array<std::uint8_t, 16> bytes{};
    std::copy_n(pool.begin() + static_cast<std::ptrdiff_t>(used), bytes.size(), bytes.begin());
    std::fill_n(pool.begin() + static_cast<std::ptrdiff_t>(used), bytes.size(), std::uint8_t{0});
    used += bytes.size();
    bytes[6] = static_cast<std::uint8_t>((bytes[6] & 0x0F) | 0x40); // version 4
    bytes[8] = static_cast<std::uint8_t>((bytes[8] & 0x3F) | 0x80); // RFC 4122 variant
    return Uuid(bytes);
}

std::string Uuid::string() const {
    static constexpr char digits[] = "0123456789abcdef";
    std::string out;
    out.reserve(36);
    for (std::size_t i = 0; i < bytes_.size(); ++i) {
        if (i == 4 || i == 6 || i == 8 || i == 10) out.push_back('-');
        out.push_back(digits[bytes_[i] >> 4]);
        out.push_back(digits[bytes_[i] & 0x0F]);
    }
    return out;
}

std::size_t Uuid::hash() const {
    return std::hash<std::string_view>{}(
        std::string_view(reinterpret_cast<const char*>(bytes_.data()), bytes_.size()));
}

} // namespace tavlin
