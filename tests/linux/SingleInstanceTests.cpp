#include "platform/linux/process/SingleInstance.h"

#include "ScopedEnv.h"
#include "SpinUntil.h"
#include "TempDir.h"

#include <QCoreApplication>
#include <QElapsedTimer>
#include <QLocalSocket>
#include <gtest/gtest.h>

#include <algorithm>
#include <cerrno>
#include <csignal>
#include <cstring>
#include <dirent.h>
#include <fcntl.h>
#include <poll.h>
#include <sys/resource.h>
#include <sys/socket.h>
#include <sys/un.h>
#include <functional>
#include <future>
#include <sys/stat.h>
#include <sys/wait.h>
#include <unistd.h>

using tavlin::platform::SingleInstance;
using Role = SingleInstance::Role;
using Delivery = SingleInstance::Delivery;

namespace {

// A user id no account uses: the kernel needs no account to run a process as it.
constexpr uid_t intruderId = 54321;

// A later start's forward(), from another thread while this one serves the instance;
// the instance's answer needs this thread's event loop.
SingleInstance::Delivery forwardServed(const SingleInstance& sender, const std::vector<std::string>& arguments) {
    auto delivery = std::async(std::launch::async, [&] { return sender.forward(arguments, 1000); });
    spinUntil([&] { return delivery.wait_for(std::chrono::seconds(0)) == std::future_status::ready; });
    return delivery.get();
}

mode_t modeOf(const std::string& path) {
    struct stat info {};
    lstat(path.c_str(), &info);
    return info.st_mode & 0777;
}

} // namespace

TEST(SingleInstance, TheRuntimeDirectoryIsUsedAsItIs) {
    TempDir runtime, temp;
    chmod(runtime.path().c_str(), 0755); // the user's own, readable by others: usable, and left so
    ScopedEnv scoped("XDG_RUNTIME_DIR", runtime.path().c_str());
    EXPECT_EQ(SingleInstance::privateDirectory(temp.path()).path, runtime / "tavlin");
    EXPECT_EQ(modeOf(runtime / "tavlin"), 0700u);
    EXPECT_EQ(modeOf(runtime.path()), 0755u);

    // One that others may write to is not trusted, and not changed either.
    chmod(runtime.path().c_str(), 0777);
    EXPECT_EQ(SingleInstance::privateDirectory(temp.path()).path, temp / ("tavlin-" + std::to_string(geteuid())));
    EXPECT_EQ(modeOf(runtime.path()), 0777u);
}

// Another local user (a uid that is not ours) gets to the shared temporary folder first.
TEST(SingleInstance, AFolderClaimedByAnotherUserIsRefusedNotFollowed) {
    ASSERT_EQ(geteuid(), 0u) << "needs root to act as another user";
    TempDir temp, theirs;
    chmod(temp.path().c_str(), 01777); // like /tmp
    const std::string ours = temp / ("tavlin-" + std::to_string(geteuid()));
    ScopedEnv scoped("XDG_RUNTIME_DIR", nullptr);

    const auto asIntruder = [](const std::function<int()>& act) {
        const pid_t child = fork();
        if (child == 0) _exit(setgid(intruderId) == 0 && setuid(intruderId) == 0 && act() == 0 ? 0 : 1);
        int status = 0;
        waitpid(child, &status, 0);
        return WIFEXITED(status) && WEXITSTATUS(status) == 0;
    };
    chown(theirs.path().c_str(), intruderId, intruderId);
    const std::pair<const char*, std::function<int()>> claims[] = {
        {"a folder", [&] { return mkdir(ours.c_str(), 0777); }},
        {"a link to a folder of theirs", [&] { return symlink(theirs.path().c_str(), ours.c_str()); }},
        {"a file", [&] { return close(open(ours.c_str(), O_CREAT | O_WRONLY, 0666)); }},
    };
    for (const auto& [what, claim] : claims) {
        ASSERT_TRUE(asIntruder(claim)) << what;
        const auto location = SingleInstance::privateDirectory(temp.path());
        EXPECT_EQ(location.path, "") << what;
        EXPECT_NE(location.problem.find(ours), std::string::npos) << what << ": " << location.problem;
        EXPECT_EQ(rmdir((theirs / "tavlin").c_str()), -1) << what; // nothing made through the link
        ASSERT_EQ(asIntruder([&] { return remove(ours.c_str()); }), true) << what;
    }

    // Free again: made by us, and then ours to use as long as no one else may enter it.
    EXPECT_EQ(SingleInstance::privateDirectory(temp.path()).path, ours);
    EXPECT_EQ(modeOf(ours), 0700u);
    chmod(ours.c_str(), 0755);
    EXPECT_NE(SingleInstance::privateDirectory(temp.path()).problem, "");
}

TEST(SingleInstance, OnlyTheFirstBecomesTheInstanceAndLaterStartsHandItTheirArguments) {
    TempDir dir;
    SingleInstance first(dir.path());
    std::vector<std::vector<std::string>> received;
    first.setReceiver([&received](std::vector<std::string> arguments) { received.push_back(std::move(arguments)); });
    ASSERT_EQ(first.becomeInstance(), Role::instance);

    SingleInstance second(dir.path());
    EXPECT_EQ(second.becomeInstance(), Role::other);
    // Each argument arrives whole, whatever bytes it holds.
    const std::vector<std::string> arguments{"http://x\ntavlin://show", "", std::string("a\0b\r\n", 5), "--toggle"};
    EXPECT_EQ(forwardServed(second, arguments), Delivery::delivered);
    ASSERT_TRUE(spinUntil([&] { return received.size() == 1; }));
    EXPECT_EQ(received[0], arguments);

    // Each start is its own delivery.
    EXPECT_EQ(forwardServed(second, {"tavlin://show"}), Delivery::delivered);
    ASSERT_TRUE(spinUntil([&] { return received.size() == 2; }));
    EXPECT_EQ(received[1], (std::vector<std::string>{"tavlin://show"}));
}

// A start waits a while for an instance that holds the lock but is not listening yet;
// `tavlin --toggle`, which asks first whether an instance runs at all, does not.
TEST(SingleInstance, ForwardingWithoutAnInstanceSaysSoAfterItsTimeoutOrAtOnce) {
    TempDir dir;
    SingleInstance alone(dir.path());
    QElapsedTimer clock;
    clock.start();
    EXPECT_EQ(alone.forward({"tavlin://show"}, 300), Delivery::noInstance);
    EXPECT_GE(clock.elapsed(), 300);
    clock.restart();
    // Told at once: it does not wait out the time it was given.
    EXPECT_EQ(alone.forward({"--toggle"}, 5000, false), Delivery::noInstance);
    EXPECT_LT(clock.elapsed(), 5000);
}

TEST(SingleInstance, OversizedOrUnfinishedMessagesAreDropped) {
    TempDir dir;
    SingleInstance instance(dir.path());
    int deliveries = 0;
    instance.setReceiver([&deliveries](std::vector<std::string>) { ++deliveries; });
    ASSERT_EQ(instance.becomeInstance(), Role::instance);

    const std::string huge(SingleInstance::maxMessageBytes, 'x'); // with its framing, too long
    SingleInstance sender(dir.path());
    EXPECT_EQ(sender.forward({huge}, 300), Delivery::tooLong); // refused before sending

    // A client that sends too much anyway is cut off; one that stops halfway through an
    // argument delivers nothing.
    const QByteArray tooMuch(int(SingleInstance::maxMessageBytes) + 4096, 'y');
    const QByteArray half = QByteArray::fromHex("00000001" "00000010") + "tavlin://";
    for (const QByteArray& bytes : {tooMuch, half}) {
        QLocalSocket raw;
        raw.connectToServer(QString::fromStdString(instance.socketPath()));
        ASSERT_TRUE(raw.waitForConnected(1000));
        raw.write(bytes);
        raw.flush();
        spinUntil([&] { return raw.state() == QLocalSocket::UnconnectedState || raw.bytesToWrite() == 0; });
        raw.abort();
    }
    QElapsedTimer settle; // let the server finish with them
    settle.start();
    while (settle.elapsed() < 200) QCoreApplication::processEvents(QEventLoop::AllEvents, 20);
    EXPECT_EQ(deliveries, 0);
}

namespace {

// Runs the event loop until `done`, for as long as a loaded machine may need.
template <class Predicate> bool spinLong(Predicate done) { return spinUntil(done, 30000); }

// Forwards until the instance takes it: it may be busy with clients it is dropping.
bool deliveredSoon(const SingleInstance& sender, const std::vector<std::string>& arguments) {
    for (int attempt = 0; attempt < 30; ++attempt)
        if (forwardServed(sender, arguments) == Delivery::delivered) return true;
    return false;
}

int openDescriptors() {
    int count = 0;
    if (DIR* fds = opendir("/proc/self/fd")) {
        while (readdir(fds)) ++count;
        closedir(fds);
    }
    return count;
}

} // namespace

// A client that starts a list and never ends it is cut off.
TEST(SingleInstance, AnUnfinishedListIsCutOffAtItsDeadline) {
    TempDir dir;
    SingleInstance instance(dir.path());
    ASSERT_EQ(instance.becomeInstance(), Role::instance);
    QLocalSocket raw;
    raw.connectToServer(QString::fromStdString(instance.socketPath()));
    ASSERT_TRUE(raw.waitForConnected(1000));
    raw.write(QByteArray::fromHex("00000001" "00000010") + "tavlin://");
    raw.flush();
    EXPECT_TRUE(spinLong([&] { return raw.state() == QLocalSocket::UnconnectedState; }));
}

// Another process of the user's holds more connections than the descriptors the
// instance may open (the usual soft limit of 1,024): the instance holds only a few of
// them, closes the others at once and the held ones at their deadline, and answers
// again.
TEST(SingleInstance, ManyHeldConnectionsLeaveTheInstanceServing) {
    TempDir dir;
    rlimit old {};
    getrlimit(RLIMIT_NOFILE, &old);
    rlimit lowered = old;
    lowered.rlim_cur = std::min<rlim_t>(old.rlim_cur, 1024);
    ASSERT_EQ(setrlimit(RLIMIT_NOFILE, &lowered), 0);
    SingleInstance instance(dir.path());
    int deliveries = 0;
    instance.setReceiver([&deliveries](std::vector<std::string>) { ++deliveries; });
    ASSERT_EQ(instance.becomeInstance(), Role::instance);

    int report[2];
    ASSERT_EQ(pipe(report), 0);
    const int before = openDescriptors(); // what the tests before this one left open counts too
    const std::string path = instance.socketPath();
    const pid_t holder = fork();
    if (holder == 0) {
        rlimit mine = old;
        mine.rlim_cur = mine.rlim_max;
        setrlimit(RLIMIT_NOFILE, &mine);
        sockaddr_un address {};
        address.sun_family = AF_UNIX;
        std::strncpy(address.sun_path, path.c_str(), sizeof address.sun_path - 1);
        int held = 0;
        while (held < 1100) {
            const int fd = socket(AF_UNIX, SOCK_STREAM | SOCK_NONBLOCK, 0);
            if (fd < 0) _exit(1);
            while (connect(fd, reinterpret_cast<sockaddr*>(&address), sizeof address) != 0) {
                if (errno != EAGAIN) _exit(2);
                usleep(1000); // the backlog is full until the instance accepts
            }
            const char start[] = {0, 0, 0, 1}; // one argument, never sent
            send(fd, start, sizeof start, MSG_NOSIGNAL); // fails where the instance closed it at once
            ++held;
        }
        const char done = 'd';
        if (write(report[1], &done, 1) != 1) _exit(4);
        pause();
        _exit(0);
    }
    close(report[1]);
    const auto holderDone = [&] {
        pollfd wait{report[0], POLLIN, 0};
        return poll(&wait, 1, 0) == 1;
    };
    const bool held = spinLong(holderDone);
    const int descriptors = openDescriptors();

    SingleInstance later(dir.path());
    const bool answered = held && deliveredSoon(later, {"--toggle"});
    kill(holder, SIGKILL);
    waitpid(holder, nullptr, 0);
    close(report[0]);
    setrlimit(RLIMIT_NOFILE, &old);

    ASSERT_TRUE(held) << "the holding process could not open its connections: the instance stopped listening";
    EXPECT_LE(descriptors - before, SingleInstance::maxClients + 8);
    EXPECT_TRUE(answered);
    // A try that timed out on a loaded machine may have been taken all the same, and the
    // next try delivers again: at least one delivery is what the instance owes.
    EXPECT_TRUE(spinUntil([&] { return deliveries >= 1; }));
}

// The socket file is removed (by hand, or by Qt when accept() failed): the instance
// listens again, so that later starts still reach it.
TEST(SingleInstance, ARemovedSocketFileIsListenedAgain) {
    TempDir dir;
    SingleInstance instance(dir.path());
    int deliveries = 0;
    instance.setReceiver([&deliveries](std::vector<std::string>) { ++deliveries; });
    ASSERT_EQ(instance.becomeInstance(), Role::instance);
    SingleInstance later(dir.path());
    for (int round = 0; round < 2; ++round) {
        ASSERT_EQ(unlink(instance.socketPath().c_str()), 0);
        EXPECT_TRUE(deliveredSoon(later, {"--toggle"})) << round;
        EXPECT_TRUE(spinUntil([&] { return deliveries == round + 1; })) << round;
    }
    // An empty list only asks whether the instance answers.
    EXPECT_EQ(forwardServed(later, {}), Delivery::delivered);
    EXPECT_EQ(deliveries, 2);
}
