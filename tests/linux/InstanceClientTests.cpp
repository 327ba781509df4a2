// The launcher's client of the instance's socket: it talks only to a socket of this user's
// in a folder no one else may enter, and gives up on an instance that doesn't answer.
// (Its deliveries to a real instance are SingleInstance's tests: forward() sends with it.)
#include "platform/linux/process/InstanceClient.h"
#include "platform/linux/process/SingleInstance.h"

#include "ScopedEnv.h"
#include "TempDir.h"

#include <gtest/gtest.h>

#include <cstring>
#include <sys/socket.h>
#include <sys/stat.h>
#include <sys/un.h>
#include <unistd.h>

using tavlin::platform::InstanceClient;
using Delivery = InstanceClient::Delivery;

namespace {

std::string existing() {
    char path[4096];
    return InstanceClient::existingDirectory(path, sizeof path) ? path : "";
}

// A socket that takes connections into its backlog and never reads or answers: an
// instance that is stopped, or busy for good.
class SilentListener {
public:
    explicit SilentListener(const std::string& path) : fd_(socket(AF_UNIX, SOCK_STREAM, 0)) {
        sockaddr_un address{};
        address.sun_family = AF_UNIX;
        std::strncpy(address.sun_path, path.c_str(), sizeof address.sun_path - 1);
        bound_ = bind(fd_, reinterpret_cast<sockaddr*>(&address), sizeof address) == 0 && listen(fd_, 1) == 0;
    }
    ~SilentListener() { close(fd_); }
    bool bound() const { return bound_; }

private:
    int fd_;
    bool bound_ = false;
};

Delivery deliverToggle(const std::string& socketPath, int timeoutMs) {
    const char* arguments[] = {"--toggle"};
    const std::size_t lengths[] = {8};
    return InstanceClient::deliver(socketPath.c_str(), arguments, lengths, 1, timeoutMs);
}

} // namespace

TEST(InstanceClient, FindsOnlyAnExistingPrivateFolderAndCreatesNone) {
    TempDir runtime;
    chmod(runtime.path().c_str(), 0755);
    ScopedEnv scoped("XDG_RUNTIME_DIR", runtime.path().c_str());
    EXPECT_EQ(existing(), ""); // no instance has made it yet
    EXPECT_NE(access((runtime / "tavlin").c_str(), F_OK), 0);

    // As the instance makes it.
    ASSERT_EQ(tavlin::platform::SingleInstance::privateDirectory().path, runtime / "tavlin");
    EXPECT_EQ(existing(), runtime / "tavlin");

    // Others may enter it, or write to the runtime folder: not to be trusted.
    chmod((runtime / "tavlin").c_str(), 0750);
    EXPECT_EQ(existing(), "");
    chmod((runtime / "tavlin").c_str(), 0700);
    chmod(runtime.path().c_str(), 0777);
    EXPECT_EQ(existing(), "");
    chmod(runtime.path().c_str(), 0700);

    // A link in its place, even to a private folder of ours, is not the folder.
    TempDir elsewhere;
    chmod(elsewhere.path().c_str(), 0700);
    rmdir((runtime / "tavlin").c_str());
    ASSERT_EQ(symlink(elsewhere.path().c_str(), (runtime / "tavlin").c_str()), 0);
    EXPECT_EQ(existing(), "");

    ScopedEnv relative("XDG_RUNTIME_DIR", "relative/run");
    EXPECT_EQ(existing(), "");
}

TEST(InstanceClient, TalksOnlyToASocketOfThisUsers) {
    TempDir dir;
    const std::string path = dir / "instance.socket";
    EXPECT_EQ(deliverToggle(path, 1000), Delivery::noInstance); // no socket
    {
        SilentListener gone(path);
        ASSERT_TRUE(gone.bound());
    }
    EXPECT_EQ(deliverToggle(path, 1000), Delivery::noInstance); // a socket nobody listens at

    std::remove(path.c_str());
    SilentListener listener(path);
    ASSERT_TRUE(listener.bound());
    ASSERT_EQ(geteuid(), 0u) << "needs root to give the socket to another user";
    ASSERT_EQ(chown(path.c_str(), 54321, 54321), 0);
    EXPECT_EQ(deliverToggle(path, 1000), Delivery::untrusted);
    std::remove(path.c_str());
    ASSERT_EQ(symlink("/dev/null", path.c_str()), 0);
    EXPECT_EQ(deliverToggle(path, 1000), Delivery::untrusted);
}

// An instance that is stopped takes the connection (the kernel queues it) and never
// answers: the launcher gives up at its deadline, even once the queue is full.
TEST(InstanceClient, GivesUpOnAnInstanceThatNeverAnswers) {
    TempDir dir;
    const std::string path = dir / "instance.socket";
    SilentListener stopped(path);
    ASSERT_TRUE(stopped.bound());
    for (int attempt = 0; attempt < 4; ++attempt) EXPECT_EQ(deliverToggle(path, 100), Delivery::noAnswer) << attempt;

    const std::string huge(InstanceClient::maxMessageBytes, 'x');
    const char* arguments[] = {huge.c_str()};
    const std::size_t lengths[] = {huge.size()};
    EXPECT_EQ(InstanceClient::deliver(path.c_str(), arguments, lengths, 1, 100), Delivery::tooLong);
}
