#include "platform/linux/wayland/SwayIpc.h"

#include "TempDir.h"

#include <gtest/gtest.h>

#include <cstdint>
#include <cstring>
#include <string>
#include <sys/socket.h>
#include <sys/un.h>
#include <thread>
#include <unistd.h>

using tavlin::platform::SwayIpc;

namespace {

// A stand-in for sway's command socket that answers one client with a canned reply
// and keeps the command it was sent.
class FakeSway {
public:
    // `reply` is the payload; `type` and `magic` go into the reply's header. Without a
    // magic it answers nothing and hangs up.
    FakeSway(std::string reply, std::uint32_t type = 0, std::string magic = "i3-ipc")
        : path_(dir_ / "sway.sock") {
        listener_ = socket(AF_UNIX, SOCK_STREAM, 0);
        sockaddr_un address{};
        address.sun_family = AF_UNIX;
        std::strncpy(address.sun_path, path_.c_str(), sizeof address.sun_path - 1);
        EXPECT_EQ(bind(listener_, reinterpret_cast<sockaddr*>(&address), sizeof address), 0);
        EXPECT_EQ(listen(listener_, 1), 0);
        server_ = std::thread([this, reply, type, magic] {
            const int client = accept(listener_, nullptr, nullptr);
            if (client < 0) return;
            char header[14];
            if (readAll(client, header, sizeof header)) {
                std::uint32_t length = 0;
                std::memcpy(&length, header + 6, 4);
                std::memcpy(&receivedType_, header + 10, 4);
                receivedMagic_.assign(header, 6);
                received_.resize(length);
                readAll(client, received_.data(), length);
                std::string answer = magic;
                const auto size = std::uint32_t(reply.size());
                answer.append(reinterpret_cast<const char*>(&size), 4).append(reinterpret_cast<const char*>(&type), 4);
                answer += reply;
                if (!magic.empty()) (void)!write(client, answer.data(), answer.size());
            }
            close(client);
        });
    }
    ~FakeSway() {
        shutdown(listener_, SHUT_RDWR);
        if (server_.joinable()) server_.join();
        close(listener_);
    }
    const std::string& path() const { return path_; }
    std::string received() {
        shutdown(listener_, SHUT_RDWR);
        if (server_.joinable()) server_.join();
        return receivedMagic_ + "|" + std::to_string(receivedType_) + "|" + received_;
    }

private:
    static bool readAll(int fd, char* into, std::size_t size) {
        while (size > 0) {
            const ssize_t got = read(fd, into, size);
            if (got <= 0) return false;
            into += got;
            size -= std::size_t(got);
        }
        return true;
    }

    TempDir dir_;
    std::string path_;
    int listener_ = -1;
    std::thread server_;
    std::string receivedMagic_, received_;
    std::uint32_t receivedType_ = 99;
};

} // namespace

TEST(SwayIpcTest, SucceedsOnlyWhenSwaySaysEveryCommandDid) {
    struct Case {
        const char* what;
        std::string reply;
        std::uint32_t type;
        std::string magic;
        bool success;
    } cases[] = {
        {"two that succeeded", R"([{"success": true}, {"success": true}])", 0, "i3-ipc", true},
        {"one of two failed", R"([{"success": true}, {"success": false, "error": "No matching node."}])", 0, "i3-ipc",
         false},
        {"no result", "[]", 0, "i3-ipc", false},
        {"not JSON", "ok", 0, "i3-ipc", false},
        {"a reply to another message", R"([{"success": true}])", 4, "i3-ipc", false},
        {"not sway's protocol", R"([{"success": true}])", 0, "x11-ip", false},
        {"no reply at all", "", 0, "", false},
    };
    for (const auto& c : cases) {
        FakeSway sway(c.reply, c.type, c.magic);
        EXPECT_EQ(SwayIpc::runCommand(sway.path(), "focus", 300), c.success) << c.what;
    }
}

TEST(SwayIpcTest, NoSwayNoSuccess) {
    TempDir dir;
    EXPECT_FALSE(SwayIpc::runCommand(dir / "missing.sock", "focus", 300));
}

// The app_id of a process's window, found anywhere in the tree (tiled or floating); an
// XWayland window's class stands for it.
TEST(SwayIpcTest, TheAppIdOfAProcessFromTheTree) {
    const std::string tree = R"({"id":1,"nodes":[{"id":2,"nodes":[{"id":3,"nodes":[
        {"id":4,"pid":41,"app_id":"org.xfce.mousepad","nodes":[]},
        {"id":5,"pid":42,"app_id":null,"window_properties":{"class":"libreoffice-writer"},"nodes":[]}]}],
        "floating_nodes":[{"id":6,"pid":43,"app_id":"org.gtk.Demo2","nodes":[]}]}]})";
    struct Case {
        std::int32_t pid;
        std::string appId;
    } cases[] = {{41, "org.xfce.mousepad"}, {42, "libreoffice-writer"}, {43, "org.gtk.Demo2"}, {44, ""}};
    for (const auto& c : cases) {
        FakeSway sway(tree, 4);
        EXPECT_EQ(SwayIpc::appId(sway.path(), c.pid), c.appId) << c.pid;
        EXPECT_EQ(sway.received(), "i3-ipc|4|");
    }
    FakeSway notATree("[]", 0); // a reply of another type
    EXPECT_EQ(SwayIpc::appId(notATree.path(), 41), "");
}
