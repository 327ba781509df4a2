#pragma once

#include <array>
#include <cstddef>
#include <cstdint>
#include <string>

namespace tavlin {

// A 128-bit identifier; `random()` draws an RFC 4122 version 4 one from the
// operating system's random source.
class Uuid {
public:
    static Uuid random();
    const std::array<std::uint8_t, 16>& bytes() const { return bytes_; }
    std::string string() const; // 8-4-4-4-12 lower-case hex
    friend bool operator==(const Uuid&, const Uuid&) = default;
    std::size_t hash() const;

private:
    explicit Uuid(const std::array<std::uint8_t, 16>& bytes) : bytes_(bytes) {}
    std::array<std::uint8_t, 16> bytes_{};
};

} // namespace tavlin
