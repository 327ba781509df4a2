#pragma once

#include <cstddef>

namespace tavlin::platform {

// The client side of the running Tavlin's socket, on libc alone, so that the `tavlin`
// launcher can hand over a toggle or a URL without loading Qt (nor libstdc++: no
// allocation, C strings). The wire format is the
// instance's (SingleInstance): a big-endian 32-bit count of arguments, then each argument
// as a big-endian 32-bit byte count and its bytes, as QDataStream writes a list of
// QByteArray; the instance answers one byte, 'K', once it has taken them all.
class InstanceClient {
public:
    enum class Delivery {
        delivered,  // the instance has taken the arguments
        tooLong,    // nothing sent: over maxMessageBytes
        noInstance, // nothing sent: no instance listens (no socket, or no one behind it)
        noAnswer,   // sent, but the instance did not say it took them in time
        untrusted,  // nothing sent: the socket or the process behind it is not this user's
    };

    // The instance's folder when it already exists and is safe to use, as the instance
    // itself checks it: $XDG_RUNTIME_DIR/tavlin when XDG_RUNTIME_DIR is set (and is this
    // user's and no one else may write to it), /tmp/tavlin-<uid> when it isn't set; the
    // folder must be a real directory of this user's that no one else may enter. Empty
    // when any of that doesn't hold: then only the instance's own checks can tell why.
    // Creates nothing. Writes the path to `path` (`size` bytes at most, with its end);
    // false when there is no such folder or the path doesn't fit.
    static bool existingDirectory(char* path, std::size_t size);

    // Hands `count` arguments, `arguments[i]` of `lengths[i]` bytes each, to the instance
    // listening at `socketPath`, waiting up to `timeoutMs` in all.
    static Delivery deliver(const char* socketPath, const char* const* arguments, const std::size_t* lengths,
                            std::size_t count, int timeoutMs);

    static constexpr std::size_t maxMessageBytes = 64 * 1024;
    static constexpr char acknowledgement = 'K';
};

} // namespace tavlin::platform
