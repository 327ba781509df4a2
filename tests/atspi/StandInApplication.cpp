#include "tests/atspi/StandInApplication.h"

#include <glib.h>
#include <poll.h>

#include <algorithm>
#include <stdexcept>

namespace {

// Appends an object reference "(so)".
void appendReference(DBusMessageIter* into, const std::string& path) {
    DBusMessageIter reference;
    const char* bus = StandInApplication::bus;
    const char* at = path.c_str();
    dbus_message_iter_open_container(into, DBUS_TYPE_STRUCT, nullptr, &reference);
    dbus_message_iter_append_basic(&reference, DBUS_TYPE_STRING, &bus);
    dbus_message_iter_append_basic(&reference, DBUS_TYPE_OBJECT_PATH, &at);
    dbus_message_iter_close_container(into, &reference);
}

void appendStates(DBusMessageIter* into, std::uint64_t states) {
    DBusMessageIter words;
    dbus_message_iter_open_container(into, DBUS_TYPE_ARRAY, DBUS_TYPE_UINT32_AS_STRING, &words);
    for (const dbus_uint32_t word : {static_cast<dbus_uint32_t>(states), static_cast<dbus_uint32_t>(states >> 32)})
        dbus_message_iter_append_basic(&words, DBUS_TYPE_UINT32, &word);
    dbus_message_iter_close_container(into, &words);
}

} // namespace

StandInApplication::StandInApplication(std::map<std::string, Object> objects, Cache cache)
    : objects_(std::move(objects)), cache_(cache) {
    for (const auto& [path, object] : objects_)
        for (std::size_t i = 0; i < object.children.size(); ++i) parents_[object.children[i]] = {path, static_cast<int>(i)};
    dbus_threads_init_default();
    DBusError error;
    dbus_error_init(&error);
    server_ = dbus_server_listen((std::string("unix:tmpdir=") + g_get_tmp_dir()).c_str(), &error);
    if (!server_) {
        const std::string message = error.message;
        dbus_error_free(&error);
        throw std::runtime_error("no stand-in application: " + message);
    }
    char* address = dbus_server_get_address(server_);
    address_ = address;
    dbus_free(address);
    dbus_server_set_new_connection_function(server_, &accepted, this, nullptr);
    dbus_server_set_watch_functions(server_, &addWatch, &removeWatch, nullptr, this, nullptr);
    thread_ = std::thread([this] { run(); });
}

StandInApplication::~StandInApplication() {
    stop_ = true;
    thread_.join();
    if (connection_) {
        dbus_connection_close(connection_);
        dbus_connection_unref(connection_);
    }
    dbus_server_disconnect(server_);
    dbus_server_unref(server_);
}

std::size_t StandInApplication::answered(const std::string& method) const {
    const std::lock_guard<std::mutex> held(lock_);
    const auto it = answered_.find(method);
    return it == answered_.end() ? 0 : it->second;
}

void StandInApplication::accepted(DBusServer*, DBusConnection* connection, void* data) {
    auto* self = static_cast<StandInApplication*>(data);
    if (self->connection_) return; // one reader at a time
    self->connection_ = dbus_connection_ref(connection);
    dbus_connection_set_watch_functions(connection, &addWatch, &removeWatch, nullptr, self, nullptr);
}

dbus_bool_t StandInApplication::addWatch(DBusWatch* watch, void* data) {
    static_cast<StandInApplication*>(data)->watches_.push_back(watch);
    return TRUE;
}

void StandInApplication::removeWatch(DBusWatch* watch, void* data) {
    std::erase(static_cast<StandInApplication*>(data)->watches_, watch);
}

void StandInApplication::run() {
    while (!stop_) {
        std::vector<pollfd> fds;
        std::vector<DBusWatch*> polled;
        for (DBusWatch* watch : watches_) {
            if (!dbus_watch_get_enabled(watch)) continue;
            const unsigned flags = dbus_watch_get_flags(watch);
            fds.push_back(pollfd{dbus_watch_get_unix_fd(watch),
                                 static_cast<short>(((flags & DBUS_WATCH_READABLE) ? POLLIN : 0) |
                                                    ((flags & DBUS_WATCH_WRITABLE) ? POLLOUT : 0)),
                                 0});
            polled.push_back(watch);
        }
        if (poll(fds.data(), fds.size(), 20) > 0) {
            for (std::size_t i = 0; i < fds.size(); ++i) {
                // A watch handled before may have removed this one.
                if (!fds[i].revents || std::find(watches_.begin(), watches_.end(), polled[i]) == watches_.end()) continue;
                const unsigned flags = ((fds[i].revents & POLLIN) ? DBUS_WATCH_READABLE : 0) |
                                       ((fds[i].revents & POLLOUT) ? DBUS_WATCH_WRITABLE : 0) |
                                       ((fds[i].revents & POLLHUP) ? DBUS_WATCH_HANGUP : 0) |
                                       ((fds[i].revents & POLLERR) ? DBUS_WATCH_ERROR : 0);
                dbus_watch_handle(polled[i], flags);
            }
        }
        if (!connection_) continue;
        while (DBusMessage* call = dbus_connection_pop_message(connection_)) {
            answer(call);
            dbus_message_unref(call);
        }
        dbus_connection_flush(connection_);
    }
}

void StandInApplication::answer(DBusMessage* call) {
    if (dbus_message_get_type(call) != DBUS_MESSAGE_TYPE_METHOD_CALL) return;
    const std::string method = dbus_message_get_member(call);
    {
        const std::lock_guard<std::mutex> held(lock_);
        ++answered_[method];
    }
    const std::string path = dbus_message_get_path(call);
    DBusMessage* reply = nullptr;
    const auto it = objects_.find(path);
    if (method == "GetItems") {
        reply = cacheReply(call);
    } else if (it == objects_.end()) {
        reply = dbus_message_new_error(call, "org.freedesktop.DBus.Error.UnknownObject", path.c_str());
    } else {
        const Object& object = it->second;
        reply = dbus_message_new_method_return(call);
        DBusMessageIter iter, list;
        dbus_message_iter_init_append(reply, &iter);
        if (method == "GetChildren") {
            dbus_message_iter_open_container(&iter, DBUS_TYPE_ARRAY, "(so)", &list);
            for (const std::string& child : object.children) appendReference(&list, child);
            dbus_message_iter_close_container(&iter, &list);
        } else if (method == "GetRole") {
            dbus_message_iter_append_basic(&iter, DBUS_TYPE_UINT32, &object.role);
        } else if (method == "GetState") {
            appendStates(&iter, object.states);
        } else if (method == "Get") { // the name, the only property asked
            const char* name = object.name.c_str();
            dbus_message_iter_open_container(&iter, DBUS_TYPE_VARIANT, DBUS_TYPE_STRING_AS_STRING, &list);
            dbus_message_iter_append_basic(&list, DBUS_TYPE_STRING, &name);
            dbus_message_iter_close_container(&iter, &list);
        } else if (method == "GetKeyBinding") {
            const char* binding = object.keyBinding.c_str();
            dbus_message_iter_append_basic(&iter, DBUS_TYPE_STRING, &binding);
        } else if (method == "GetApplicationBusAddress") {
            const char* none = "";
            dbus_message_iter_append_basic(&iter, DBUS_TYPE_STRING, &none);
        } else {
            dbus_message_unref(reply);
            reply = dbus_message_new_error(call, DBUS_ERROR_UNKNOWN_METHOD, method.c_str());
        }
    }
    dbus_connection_send(connection_, reply, nullptr);
    dbus_message_unref(reply);
}

DBusMessage* StandInApplication::cacheReply(DBusMessage* call) const {
    // Each item: the object, its application, its parent, its place among the parent's
    // children and their count, its interfaces, name, role, description and states.
    DBusMessage* reply = dbus_message_new_method_return(call);
    DBusMessageIter iter, items;
    dbus_message_iter_init_append(reply, &iter);
    dbus_message_iter_open_container(&iter, DBUS_TYPE_ARRAY, "((so)(so)(so)iiassusau)", &items);
    for (const auto& [path, object] : objects_) {
        if (cache_ == Cache::nothing || path == root) continue;
        const auto parent = parents_.find(path);
        DBusMessageIter item, interfaces;
        dbus_message_iter_open_container(&items, DBUS_TYPE_STRUCT, nullptr, &item);
        appendReference(&item, path);
        appendReference(&item, root);
        appendReference(&item, parent == parents_.end() ? "/org/a11y/atspi/null" : parent->second.first);
        const dbus_int32_t place = parent == parents_.end() ? -1 : parent->second.second;
        const dbus_int32_t count = static_cast<dbus_int32_t>(object.children.size());
        dbus_message_iter_append_basic(&item, DBUS_TYPE_INT32, &place);
        dbus_message_iter_append_basic(&item, DBUS_TYPE_INT32, &count);
        dbus_message_iter_open_container(&item, DBUS_TYPE_ARRAY, DBUS_TYPE_STRING_AS_STRING, &interfaces);
        dbus_message_iter_close_container(&item, &interfaces);
        const char* name = object.name.c_str();
        const char* description = "";
        dbus_message_iter_append_basic(&item, DBUS_TYPE_STRING, &name);
        dbus_message_iter_append_basic(&item, DBUS_TYPE_UINT32, &object.role);
        dbus_message_iter_append_basic(&item, DBUS_TYPE_STRING, &description);
        appendStates(&item, object.states);
        dbus_message_iter_close_container(&items, &item);
    }
    dbus_message_iter_close_container(&iter, &items);
    return reply;
}
