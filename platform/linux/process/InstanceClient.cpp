#include "platform/linux/process/InstanceClient.h"

#include <cerrno>
#include <cstdint>
#include <cstdio>
#include <cstdlib>
#include <cstring>
#include <ctime>
#include <fcntl.h>
#include <poll.h>
#include <sys/socket.h>
#include <sys/stat.h>
#include <sys/un.h>
#include <unistd.h>

namespace tavlin::platform {
namespace {

// Milliseconds on the monotonic clock.
long long now() {
    timespec t{};
    clock_gettime(CLOCK_MONOTONIC, &t);
    return static_cast<long long>(t.tv_sec) * 1000 + t.tv_nsec / 1'000'000;
}

class Deadline {
public:
    explicit Deadline(int timeoutMs) : end_(now() + timeoutMs) {}
    int remaining() const {
        const long long left = end_ - now();
        return left > 0 ? static_cast<int>(left) : 0;
    }

private:
    long long end_;
};

// Waits until `fd` is ready for `events`; false on the deadline or an error.
bool await(int fd, short events, const Deadline& deadline) {
    pollfd watched{fd, events, 0};
    while (true) {
        const int ready = poll(&watched, 1, deadline.remaining());
        if (ready > 0) return (watched.revents & (events | POLLHUP)) != 0;
        if (ready == 0 || errno != EINTR) return false;
    }
}

bool sendAll(int fd, const char* bytes, std::size_t size, const Deadline& deadline) {
    while (size > 0) {
        const ssize_t sent = send(fd, bytes, size, MSG_NOSIGNAL);
        if (sent > 0) {
            bytes += sent;
            size -= static_cast<std::size_t>(sent);
        } else if (sent < 0 && errno == EINTR) {
        } else if (sent < 0 && (errno == EAGAIN || errno == EWOULDBLOCK)) {
            if (!await(fd, POLLOUT, deadline)) return false;
        } else {
            return false;
        }
    }
    return true;
}

void putLength(char* out, std::uint32_t value) {
    out[0] = static_cast<char>(value >> 24);
    out[1] = static_cast<char>(value >> 16);
    out[2] = static_cast<char>(value >> 8);
    out[3] = static_cast<char>(value);
}

// A directory of this user's that the group and others may not write to (`anyAccess`:
// nor enter or read).
bool usersOwn(const struct stat& info, bool anyAccess) {
    return S_ISDIR(info.st_mode) && info.st_uid == geteuid() && (info.st_mode & (anyAccess ? 077 : 022)) == 0;
}

class Socket {
public:
    Socket() : fd_(socket(AF_UNIX, SOCK_STREAM | SOCK_CLOEXEC | SOCK_NONBLOCK, 0)) {}
    ~Socket() {
        if (fd_ >= 0) close(fd_);
    }
    Socket(const Socket&) = delete;
    Socket& operator=(const Socket&) = delete;
    int fd() const { return fd_; }

private:
    int fd_;
};

} // namespace

bool InstanceClient::existingDirectory(char* path, std::size_t size) {
    struct stat info {};
    int written = 0;
    const char* runtime = std::getenv("XDG_RUNTIME_DIR");
    if (runtime && runtime[0] != '\0') {
        // The instance warns about an untrustworthy runtime directory: leave that to it.
        if (runtime[0] != '/' || stat(runtime, &info) != 0 || !usersOwn(info, false)) return false;
        written = std::snprintf(path, size, "%s/tavlin", runtime);
    } else {
        written = std::snprintf(path, size, "/tmp/tavlin-%u", static_cast<unsigned>(geteuid()));
    }
    if (written < 0 || static_cast<std::size_t>(written) >= size) return false;
    return lstat(path, &info) == 0 && usersOwn(info, true);
}

namespace {

// One connection's try at handing the list over.
InstanceClient::Delivery attempt(const char* socketPath, const char* const* arguments, const std::size_t* lengths,
                                 std::size_t count, const Deadline& deadline) {
    using Delivery = InstanceClient::Delivery;
    constexpr std::size_t maxMessageBytes = InstanceClient::maxMessageBytes;
    std::size_t total = 4;
    for (std::size_t i = 0; i < count; ++i) {
        total += 4 + lengths[i];
        if (lengths[i] > maxMessageBytes || total > maxMessageBytes) return Delivery::tooLong;
    }
    sockaddr_un address{};
    address.sun_family = AF_UNIX;
    if (std::strlen(socketPath) >= sizeof address.sun_path) return Delivery::noInstance;
    std::strcpy(address.sun_path, socketPath);

    // Only a socket of this user's, in a folder no one else may enter, is ours to talk to.
    struct stat info {};
    if (lstat(socketPath, &info) != 0) return Delivery::noInstance;
    if (!S_ISSOCK(info.st_mode) || info.st_uid != geteuid()) return Delivery::untrusted;

    Socket socket;
    if (socket.fd() < 0) return Delivery::noInstance;
    // A full backlog (an instance that doesn't accept) refuses with EAGAIN: a Unix socket
    // can't wait for room, so ask again until the deadline.
    while (connect(socket.fd(), reinterpret_cast<const sockaddr*>(&address), sizeof address) != 0) {
        if (errno == EISCONN) break;
        if (errno == EINTR) continue;
        if (errno != EAGAIN) return Delivery::noInstance;
        if (deadline.remaining() == 0) return Delivery::noAnswer;
        usleep(5000);
    }
    ucred peer{};
    socklen_t peerLength = sizeof peer;
    if (getsockopt(socket.fd(), SOL_SOCKET, SO_PEERCRED, &peer, &peerLength) != 0 || peer.uid != geteuid())
        return Delivery::untrusted;

    char length[4];
    putLength(length, static_cast<std::uint32_t>(count));
    if (!sendAll(socket.fd(), length, sizeof length, deadline)) return Delivery::noAnswer;
    for (std::size_t i = 0; i < count; ++i) {
        putLength(length, static_cast<std::uint32_t>(lengths[i]));
        if (!sendAll(socket.fd(), length, sizeof length, deadline) ||
            !sendAll(socket.fd(), arguments[i], lengths[i], deadline))
            return Delivery::noAnswer;
    }
    while (true) {
        char answer = 0;
        const ssize_t got = recv(socket.fd(), &answer, 1, 0);
        if (got == 1) return answer == InstanceClient::acknowledgement ? Delivery::delivered : Delivery::noAnswer;
        if (got == 0) return Delivery::noAnswer;
        if (errno == EINTR) continue;
        if ((errno != EAGAIN && errno != EWOULDBLOCK) || !await(socket.fd(), POLLIN, deadline))
            return Delivery::noAnswer;
    }
}

} // namespace

InstanceClient::Delivery InstanceClient::deliver(const char* socketPath, const char* const* arguments,
                                                 const std::size_t* lengths, std::size_t count, int timeoutMs) {
    const Deadline deadline(timeoutMs);
    while (true) {
        const Delivery delivery = attempt(socketPath, arguments, lengths, count, deadline);
        // Closed unanswered: an instance serving as many clients as it takes closes the
        // next ones at once, before reading them. Try again while time remains.
        if (delivery != Delivery::noAnswer || deadline.remaining() == 0) return delivery;
        usleep(50 * 1000);
    }
}

} // namespace tavlin::platform
