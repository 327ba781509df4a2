#include "platform/linux/SingleInstance.h"

#include "TempDir.h"

#include <QCoreApplication>
#include <QElapsedTimer>
#include <QLocalSocket>
#include <gtest/gtest.h>

#include <cstdlib>
#include <sys/socket.h>
#include <sys/stat.h>
#include <sys/un.h>
#include <unistd.h>

using tavlin::platform::SingleInstance;

namespace {

// Runs the event loop until `done` or two seconds have passed.
template <class Predicate> bool spinUntil(Predicate done) {
    QElapsedTimer clock;
    clock.start();
    while (!done() && clock.elapsed() < 2000) QCoreApplication::processEvents(QEventLoop::AllEvents, 20);
    return done();
}

mode_t modeOf(const std::string& path) {
    struct stat info {};
    lstat(path.c_str(), &info);
    return info.st_mode & 0777;
}

class ScopedRuntimeDir {
public:
    explicit ScopedRuntimeDir(const std::string& path) {
        if (const char* old = std::getenv("XDG_RUNTIME_DIR")) old_ = old;
        setenv("XDG_RUNTIME_DIR", path.c_str(), 1);
    }
    ~ScopedRuntimeDir() {
        if (old_.empty())
            unsetenv("XDG_RUNTIME_DIR");
        else
            setenv("XDG_RUNTIME_DIR", old_.c_str(), 1);
    }

private:
    std::string old_;
};

} // namespace

TEST(SingleInstance, PrivateDirectoryIsTheUsersAlone) {
    TempDir runtime;
    chmod(runtime.path().c_str(), 0700);
    ScopedRuntimeDir scoped(runtime.path());

    // Created when missing.
    EXPECT_EQ(SingleInstance::privateDirectory(), runtime / "tavlin");
    EXPECT_EQ(modeOf(runtime / "tavlin"), 0700u);

    // Opened up by someone: closed again.
    chmod((runtime / "tavlin").c_str(), 0755);
    EXPECT_EQ(SingleInstance::privateDirectory(), runtime / "tavlin");
    EXPECT_EQ(modeOf(runtime / "tavlin"), 0700u);

    // A symbolic link in its place is not followed.
    rmdir((runtime / "tavlin").c_str());
    TempDir elsewhere;
    ASSERT_EQ(symlink(elsewhere.path().c_str(), (runtime / "tavlin").c_str()), 0);
    EXPECT_EQ(SingleInstance::privateDirectory(), std::nullopt);
}

TEST(SingleInstance, OnlyTheFirstBecomesTheInstanceAndLaterStartsHandItTheirUrls) {
    TempDir dir;
    SingleInstance first(dir.path());
    std::vector<std::vector<std::string>> received;
    first.setReceiver([&received](std::vector<std::string> urls) { received.push_back(std::move(urls)); });
    ASSERT_TRUE(first.becomeInstance());

    SingleInstance second(dir.path());
    EXPECT_FALSE(second.becomeInstance());
    EXPECT_TRUE(second.forward({"tavlin://show?bundle=a", "https://example.org/"}, 1000));
    ASSERT_TRUE(spinUntil([&] { return received.size() == 1; }));
    EXPECT_EQ(received[0], (std::vector<std::string>{"tavlin://show?bundle=a", "https://example.org/"}));

    // Each start is its own delivery.
    EXPECT_TRUE(second.forward({"tavlin://show"}, 1000));
    ASSERT_TRUE(spinUntil([&] { return received.size() == 2; }));
    EXPECT_EQ(received[1], (std::vector<std::string>{"tavlin://show"}));
}

TEST(SingleInstance, TheLockGoesWithTheInstance) {
    TempDir dir;
    {
        SingleInstance first(dir.path());
        ASSERT_TRUE(first.becomeInstance());
    }
    SingleInstance next(dir.path());
    EXPECT_TRUE(next.becomeInstance());
}

TEST(SingleInstance, ASocketLeftByACrashIsReplaced) {
    TempDir dir;
    SingleInstance probe(dir.path());
    // A bound socket file whose owner is gone: connecting to it is refused.
    const int fd = socket(AF_UNIX, SOCK_STREAM, 0);
    sockaddr_un address{};
    address.sun_family = AF_UNIX;
    std::snprintf(address.sun_path, sizeof address.sun_path, "%s", probe.socketPath().c_str());
    ASSERT_EQ(bind(fd, reinterpret_cast<sockaddr*>(&address), sizeof address), 0);
    close(fd);

    SingleInstance instance(dir.path());
    std::vector<std::string> received;
    instance.setReceiver([&received](std::vector<std::string> urls) { received = std::move(urls); });
    ASSERT_TRUE(instance.becomeInstance());
    SingleInstance later(dir.path());
    EXPECT_TRUE(later.forward({"tavlin://show"}, 1000));
    ASSERT_TRUE(spinUntil([&] { return !received.empty(); }));
    EXPECT_EQ(received, std::vector<std::string>{"tavlin://show"});
}

TEST(SingleInstance, ForwardingWithoutAnInstanceFailsAfterItsTimeout) {
    TempDir dir;
    SingleInstance alone(dir.path());
    QElapsedTimer clock;
    clock.start();
    EXPECT_FALSE(alone.forward({"tavlin://show"}, 300));
    EXPECT_GE(clock.elapsed(), 300);
}

TEST(SingleInstance, OversizedMessagesAreDropped) {
    TempDir dir;
    SingleInstance instance(dir.path());
    int deliveries = 0;
    instance.setReceiver([&deliveries](std::vector<std::string>) { ++deliveries; });
    ASSERT_TRUE(instance.becomeInstance());

    const std::string huge(SingleInstance::maxMessageBytes + 1, 'x');
    SingleInstance sender(dir.path());
    EXPECT_FALSE(sender.forward({huge}, 300)); // refused before sending

    // A client that sends too much anyway is cut off and nothing is delivered.
    QLocalSocket raw;
    raw.connectToServer(QString::fromStdString(instance.socketPath()));
    ASSERT_TRUE(raw.waitForConnected(1000));
    raw.write(QByteArray(int(SingleInstance::maxMessageBytes) + 4096, 'y'));
    raw.flush();
    spinUntil([&] { return raw.state() == QLocalSocket::UnconnectedState; });
    raw.abort();
    QElapsedTimer settle; // let the server finish with it
    settle.start();
    while (settle.elapsed() < 200) QCoreApplication::processEvents(QEventLoop::AllEvents, 20);
    EXPECT_EQ(deliveries, 0);
}
