#pragma once

#include <QFileSystemWatcher>
#include <QLocalServer>
#include <QTimer>

#include <functional>
#include <optional>
#include <string>
#include <vector>

#include <sys/types.h>

namespace tavlin::platform {

// One running Tavlin per user. The instance holds an exclusive lock on a file in a
// private directory for as long as it runs and listens on a local socket next to it; a
// later start finds the lock taken and hands its arguments over the socket instead. The
// kernel drops the lock with the process, so a socket left behind by a crash is
// recognised as stale and replaced, and of two starts at once only the one that wins the
// lock becomes the instance.
//
// A delivery is one list of argument strings, each framed by its length, so no byte of
// an argument can split or end it; the instance answers once it has taken the list. An
// empty list asks only whether the instance answers.
//
// The instance keeps serving whatever clients do: a client gets `frameDeadlineMs` to
// send its list, no more than `maxClients` are served at once (the next ones are closed
// at once), and when the socket stops listening (Qt closes it when accept() fails, say
// for want of descriptors, and removes its file) or its file is removed, it listens
// again.
//
// The sending side is InstanceClient's, which the `tavlin` launcher shares.
class SingleInstance {
public:
    using Receiver = std::function<void(std::vector<std::string> arguments)>;

    // Where the instance lives, or why no directory can be trusted with it.
    struct Location {
        std::string path;    // empty when there is a problem
        std::string problem; // one sentence for the user
    };
    // $XDG_RUNTIME_DIR/tavlin when that runtime directory is the user's and no one else
    // may write to it (its own mode is left alone); else <sharedTemp>/tavlin-<uid>. The
    // tavlin directory is created with mode 0700 and then must be exactly that: a real
    // directory of this user's that no one else may enter. A path that someone else
    // created first, a link or a file, is a problem, never followed or used.
    static Location privateDirectory(const std::string& sharedTemp = "/tmp");

    enum class Role {
        instance, // this process holds the lock and listens
        other,    // another process holds the lock
        failed,   // neither: see errorString()
    };
    enum class Delivery {
        delivered,  // the instance has taken the arguments
        tooLong,    // nothing sent: over maxMessageBytes
        noInstance, // nothing sent: no instance listens
        noAnswer,   // sent, but the instance did not say it took them
    };

    explicit SingleInstance(std::string directory);
    ~SingleInstance();
    SingleInstance(const SingleInstance&) = delete;
    SingleInstance& operator=(const SingleInstance&) = delete;

    // Takes the lock and starts listening.
    Role becomeInstance();
    // Hands the arguments to the running instance, waiting up to `timeoutMs` for it to
    // take them (trying again when it closes the connection unanswered); with
    // `waitForListener`, also for an instance that has the lock but does not listen yet.
    Delivery forward(const std::vector<std::string>& arguments, int timeoutMs, bool waitForListener = true) const;
    // Where the arguments sent by later starts go; called on the main thread.
    void setReceiver(Receiver receiver);

    std::string socketPath() const;
    // Why becomeInstance() failed.
    const std::string& errorString() const { return error_; }

    static constexpr qint64 maxMessageBytes = 64 * 1024; // as InstanceClient's
    static constexpr int maxClients = 32;
    static constexpr int frameDeadlineMs = 2000;

private:
    bool listen();
    void keepListening();
    void accept();
    void serve(class QLocalSocket* socket);

    std::string directory_;
    int lockFd_ = -1;
    QLocalServer server_;
    QFileSystemWatcher watcher_;
    QTimer retry_; // listens again after a failure
    ino_t socketInode_ = 0;
    int clients_ = 0;
    Receiver receiver_;
    std::string error_;
};

} // namespace tavlin::platform
