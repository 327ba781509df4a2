#pragma once

#include <dbus/dbus.h>

#include <atomic>
#include <cstddef>
#include <cstdint>
#include <map>
#include <mutex>
#include <string>
#include <thread>
#include <vector>

// An application's accessible objects on a socket of their own, as a toolkit serves them
// to a direct connection: the AT-SPI calls the menu reader makes are answered from a tree
// held here, on a thread of the stand-in's own.
class StandInApplication {
public:
    // The application's name on the accessibility bus, which its object references carry.
    static constexpr const char* bus = ":1.7";
    static constexpr const char* root = "/org/a11y/atspi/accessible/root";

    struct Object {
        std::string name;
        std::uint32_t role = 0;
        std::uint64_t states = 0;
        std::vector<std::string> children; // paths
        std::string keyBinding;
    };
    // Whether the toolkit's cache of its objects tells them all (GTK) or nothing (Qt).
    enum class Cache { everything, nothing };

    StandInApplication(std::map<std::string, Object> objects, Cache cache);
    ~StandInApplication();
    StandInApplication(const StandInApplication&) = delete;
    StandInApplication& operator=(const StandInApplication&) = delete;

    // Where a direct connection reaches it.
    const std::string& address() const { return address_; }
    // How many calls of `method` were answered so far.
    std::size_t answered(const std::string& method) const;

private:
    static void accepted(DBusServer* server, DBusConnection* connection, void* data);
    static dbus_bool_t addWatch(DBusWatch* watch, void* data);
    static void removeWatch(DBusWatch* watch, void* data);
    void run();
    void answer(DBusMessage* call);
    DBusMessage* cacheReply(DBusMessage* call) const;

    const std::map<std::string, Object> objects_;
    const Cache cache_;
    std::map<std::string, std::pair<std::string, int>> parents_; // path -> parent, place
    DBusServer* server_ = nullptr;
    DBusConnection* connection_ = nullptr;
    std::string address_;
    std::vector<DBusWatch*> watches_; // touched only by the stand-in's thread once it runs
    mutable std::mutex lock_;
    std::map<std::string, std::size_t> answered_;
    std::atomic<bool> stop_{false};
    std::thread thread_;
};
