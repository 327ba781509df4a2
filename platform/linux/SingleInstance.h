#pragma once

#include <QLocalServer>

#include <functional>
#include <optional>
#include <string>
#include <vector>

namespace tavlin::platform {

// One running Tavlin per user. The instance holds an exclusive lock on a file in a
// private directory (mode 0700, owned by the user) for as long as it runs and listens
// on a local socket next to it; a later start finds the lock taken and hands its URLs
// over the socket instead. The kernel drops the lock with the process, so a socket left
// behind by a crash is recognised as stale and replaced, and of two starts at once only
// the one that wins the lock becomes the instance.
class SingleInstance {
public:
    using Receiver = std::function<void(std::vector<std::string> urls)>;

    // The private directory: $XDG_RUNTIME_DIR/tavlin, else /tmp/tavlin-<uid>. Created when
    // missing; nullopt when it can't be made or is not the user's alone.
    static std::optional<std::string> privateDirectory();

    explicit SingleInstance(std::string directory);
    ~SingleInstance();
    SingleInstance(const SingleInstance&) = delete;
    SingleInstance& operator=(const SingleInstance&) = delete;

    // Takes the lock and starts listening; false when another process holds the lock.
    bool becomeInstance();
    // Hands the URLs to the running instance, waiting up to `timeoutMs` for it to listen.
    bool forward(const std::vector<std::string>& urls, int timeoutMs) const;
    // Where URLs sent by later starts go; called on the main thread.
    void setReceiver(Receiver receiver);

    std::string socketPath() const;

    static constexpr qint64 maxMessageBytes = 64 * 1024;

private:
    void accept();

    std::string directory_;
    int lockFd_ = -1;
    QLocalServer server_;
    Receiver receiver_;
};

} // namespace tavlin::platform
