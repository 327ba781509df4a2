#include "platform/linux/hotkeys/PortalHotKeys.h"

#include "platform/linux/common/GLibHandle.h" // before Qt

#include "platform/Keys.h"
#include "platform/linux/hotkeys/HotKeyKeys.h"

#include <QLoggingCategory>
#include <xkbcommon/xkbcommon.h>

#include <unistd.h>

#include <algorithm>
#include <utility>
#include <memory>
#include <vector>

Q_LOGGING_CATEGORY(lcPortalHotKeys, "tavlin.hotkeys.portal")

namespace tavlin::platform {
namespace {

constexpr const char* portalName = "org.freedesktop.portal.Desktop";
constexpr const char* portalPath = "/org/freedesktop/portal/desktop";
constexpr const char* shortcutsInterface = "org.freedesktop.portal.GlobalShortcuts";

using Variant = GLibHandle<GVariant>;
using Error = GLibHandle<GError>;

// The part of a request or session path that stands for this connection: its unique name
// without the colon, dots as underscores.
std::string senderPart(GDBusConnection* bus) {
    std::string name = g_dbus_connection_get_unique_name(bus);
    if (!name.empty() && name.front() == ':') name.erase(0, 1);
    std::replace(name.begin(), name.end(), '.', '_');
    return name;
}

struct Answer {
    guint32 response = 2; // 0 success, 1 cancelled by the user, 2 ended otherwise
    Variant results;
};

// Calls a portal method that answers through a request object, and waits up to `timeout`
// for the answer; none when the call fails or no answer comes.
std::optional<Answer> request(GDBusConnection* bus, const char* method, GVariant* parameters, const std::string& token,
                              std::chrono::milliseconds callTimeout, std::chrono::milliseconds timeout,
                              GCancellable* cancellable) {
    g_variant_ref_sink(parameters);
    Variant owned(parameters);
    const std::string requestPath = std::string(portalPath) + "/request/" + senderPart(bus) + "/" + token;

    // The answer comes as a Response signal on the request object. Wait for it in a context
    // of the worker's own; subscribe before the call so that a quick answer can't be
    // missed. A cancellation ends the wait.
    struct Wait {
        std::optional<Answer> answer;
        bool timedOut = false;
    } wait;
    GMainContext* context = g_main_context_new();
    g_main_context_push_thread_default(context);
    const guint subscription = g_dbus_connection_signal_subscribe(
        bus, portalName, "org.freedesktop.portal.Request", "Response", requestPath.c_str(), nullptr,
        G_DBUS_SIGNAL_FLAGS_NONE,
        [](GDBusConnection*, const char*, const char*, const char*, const char*, GVariant* parameters, gpointer data) {
            auto* wait = static_cast<Wait*>(data);
            if (wait->answer || !g_variant_is_of_type(parameters, G_VARIANT_TYPE("(ua{sv})"))) return;
            Answer answer;
            GVariant* results = nullptr;
            g_variant_get(parameters, "(u@a{sv})", &answer.response, &results);
            answer.results.reset(results);
            wait->answer = std::move(answer);
        },
        &wait, nullptr);
    GSource* timer = g_timeout_source_new(static_cast<guint>(timeout.count()));
    g_source_set_callback(
        timer, [](gpointer data) { static_cast<Wait*>(data)->timedOut = true; return G_SOURCE_REMOVE; }, &wait,
        nullptr);
    g_source_attach(timer, context);
    // A cancellation (from the main thread) wakes the wait. Not a GCancellableSource: GLib
    // 2.74 leaks one that is cancelled and destroyed before it dispatched.
    void (*wake)(GCancellable*, gpointer) = [](GCancellable*, gpointer context) {
        g_main_context_wakeup(static_cast<GMainContext*>(context));
    };
    const gulong cancelled =
        cancellable ? g_cancellable_connect(cancellable, G_CALLBACK(wake), context, nullptr) : 0;

    GError* raw = nullptr;
    Variant handle(g_dbus_connection_call_sync(bus, portalName, portalPath, shortcutsInterface, method, owned.get(),
                                               G_VARIANT_TYPE("(o)"), G_DBUS_CALL_FLAGS_NONE,
                                               static_cast<int>(callTimeout.count()), cancellable, &raw));
    Error error(raw);
    if (handle) {
        const char* path = nullptr;
        g_variant_get(handle.get(), "(&o)", &path);
        // Every portal with global shortcuts knows the handle token; another path is a fault.
        if (requestPath != path)
            qCWarning(lcPortalHotKeys) << method << "answers on an unexpected request path" << path;
        else
            while (!wait.answer && !wait.timedOut && !g_cancellable_is_cancelled(cancellable))
                g_main_context_iteration(context, TRUE);
    } else if (!g_cancellable_is_cancelled(cancellable)) {
        qCWarning(lcPortalHotKeys) << method << "failed:" << (error ? error->message : "");
    }
    if (handle && !wait.answer && wait.timedOut && !g_cancellable_is_cancelled(cancellable))
        qCWarning(lcPortalHotKeys) << method << "got no answer in time";

    g_source_destroy(timer);
    g_source_unref(timer);
    g_cancellable_disconnect(cancellable, cancelled);
    g_dbus_connection_signal_unsubscribe(bus, subscription);
    g_main_context_pop_thread_default(context);
    g_main_context_unref(context);
    return std::move(wait.answer);
}

} // namespace

PortalHotKeys::PortalHotKeys(std::string appId, std::string shortcutId, std::string description, Options options)
    : appId_(std::move(appId)), shortcutId_(std::move(shortcutId)), description_(std::move(description)),
      options_(std::move(options)) {}

PortalHotKeys::~PortalHotKeys() {
    cancel();
    closeSession();
    if (bus_) g_object_unref(bus_);
}

std::optional<std::string> PortalHotKeys::trigger(std::uint32_t keyCode, std::uint32_t modifiers) {
    using Modifier = Keys::HotKeyModifier;
    if (modifiers & ~Modifier::all) return std::nullopt;
    const std::uint32_t sym = HotKeyKeys::keysym(keyCode);
    char name[64];
    if (sym == 0 || xkb_keysym_get_name(sym, name, sizeof name) <= 0) return std::nullopt;
    // Command is Ctrl, Option is Alt, Control is Super ("LOGO"): the key notation's own mapping.
    std::string text;
    if (modifiers & Modifier::command) text += "CTRL+";
    if (modifiers & Modifier::option) text += "ALT+";
    if (modifiers & Modifier::shift) text += "SHIFT+";
    if (modifiers & Modifier::control) text += "LOGO+";
    return text + name;
}

std::pair<HotKeys::Status, HotKeys::HandlerRef> PortalHotKeys::installEventHandler(Callback callback,
                                                                                   void* userData) {
    return handlers_.install(callback, userData);
}

std::pair<HotKeys::Status, HotKeys::HotKeyRef> PortalHotKeys::registerHotKey(std::uint32_t keyCode,
                                                                            std::uint32_t modifiers, HotKeyID,
                                                                            std::uint32_t) {
    const auto refuse = [this](Status status, const char* why) {
        refusal_ = why;
        return std::pair<Status, HotKeyRef>{status, 0};
    };
    const auto wanted = trigger(keyCode, modifiers);
    if (!wanted) return refuse(paramErr, "the portal can't name the key");
    if (registered_) return refuse(eventHotKeyExistsErr, "the shortcut is already bound");
    refusal_.clear();
    registered_ = nextRef_++;
    // The worker gets its own reference to the bus and touches nothing else of ours but
    // the constant options; it hands what it opened back through the main context.
    GDBusConnection* bus = bus_ ? static_cast<GDBusConnection*>(g_object_ref(bus_)) : nullptr;
    cancellable_ = g_cancellable_new();
    worker_ = std::thread([this, bus, trigger = *wanted, cancellable = cancellable_] {
        Attempt outcome = attempt(bus, trigger, cancellable);
        std::lock_guard lock(mutex_);
        done_ = std::move(outcome);
        delivery_ = g_idle_source_new();
        g_source_set_callback(
            delivery_, [](gpointer self) { static_cast<PortalHotKeys*>(self)->finish(); return G_SOURCE_REMOVE; },
            this, nullptr);
        g_source_attach(delivery_, nullptr);
    });
    return {0, *registered_};
}

HotKeys::Status PortalHotKeys::unregisterHotKey(HotKeyRef ref) {
    if (registered_ != ref) return paramErr;
    cancel();
    closeSession();
    registered_.reset();
    return 0;
}

PortalHotKeys::Attempt PortalHotKeys::attempt(GDBusConnection* bus, const std::string& trigger,
                                              GCancellable* cancellable) const {
    Attempt outcome;
    outcome.bus = bus ? bus : connect(cancellable);
    if (!outcome.bus) {
        outcome.refusal = "the desktop offers no global-shortcuts portal";
        return outcome;
    }
    const auto session = openSession(outcome.bus, cancellable);
    if (!session) {
        outcome.refusal = "the global-shortcuts portal refused a session";
        return outcome;
    }
    outcome.session = *session;
    if (!bind(outcome.bus, outcome.session, trigger, cancellable))
        outcome.refusal = "the global-shortcuts portal bound no key";
    return outcome;
}

void PortalHotKeys::finish() {
    std::optional<Attempt> outcome;
    {
        std::lock_guard lock(mutex_);
        outcome = std::exchange(done_, std::nullopt);
        if (delivery_) g_source_unref(std::exchange(delivery_, nullptr));
    }
    if (worker_.joinable()) worker_.join(); // done but for returning
    if (cancellable_) g_object_unref(std::exchange(cancellable_, nullptr));
    if (outcome) adopt(std::move(*outcome));
    if (settled_) settled_(refusal_);
}

void PortalHotKeys::cancel() {
    if (!worker_.joinable()) return;
    g_cancellable_cancel(cancellable_);
    worker_.join();
    g_object_unref(std::exchange(cancellable_, nullptr));
    std::optional<Attempt> outcome;
    {
        std::lock_guard lock(mutex_);
        outcome = std::exchange(done_, std::nullopt);
        if (delivery_) {
            g_source_destroy(delivery_);
            g_source_unref(std::exchange(delivery_, nullptr));
        }
    }
    // Whatever it opened before the cancellation is closed again.
    if (outcome) {
        outcome->refusal = "the registration was cancelled";
        adopt(std::move(*outcome));
    }
}

void PortalHotKeys::adopt(Attempt outcome) {
    if (outcome.bus && !bus_) bus_ = static_cast<GDBusConnection*>(g_object_ref(outcome.bus));
    if (outcome.bus) g_object_unref(outcome.bus);
    session_ = outcome.session;
    refusal_ = outcome.refusal;
    if (!refusal_.empty()) {
        closeSession();
        registered_.reset();
        return;
    }
    // Presses come as Activated signals of the portal object, naming the session; only the
    // portal's count, not another client's on the bus. Subscribed here, on the main thread,
    // they arrive through the main context.
    activatedSubscription_ = g_dbus_connection_signal_subscribe(
        bus_, portalName, shortcutsInterface, "Activated", portalPath, nullptr, G_DBUS_SIGNAL_FLAGS_NONE,
        [](GDBusConnection*, const char*, const char*, const char*, const char*, GVariant* parameters, gpointer self) {
            if (!g_variant_is_of_type(parameters, G_VARIANT_TYPE("(osta{sv})"))) return;
            const char* session = nullptr;
            const char* id = nullptr;
            g_variant_get(parameters, "(&o&sta{sv})", &session, &id, nullptr, nullptr);
            static_cast<PortalHotKeys*>(self)->activated(session, id);
        },
        this, nullptr);
}

HotKeys::Status PortalHotKeys::removeEventHandler(HandlerRef ref) {
    return handlers_.remove(ref);
}

GDBusConnection* PortalHotKeys::connect(GCancellable* cancellable) const {
    GError* raw = nullptr;
    GDBusConnection* bus = options_.busAddress.empty()
               ? g_bus_get_sync(G_BUS_TYPE_SESSION, cancellable, &raw)
               : g_dbus_connection_new_for_address_sync(
                     options_.busAddress.c_str(),
                     GDBusConnectionFlags(G_DBUS_CONNECTION_FLAGS_AUTHENTICATION_CLIENT |
                                          G_DBUS_CONNECTION_FLAGS_MESSAGE_BUS_CONNECTION),
                     nullptr, cancellable, &raw);
    Error error(raw);
    if (!bus) {
        qCWarning(lcPortalHotKeys) << "no session bus:" << (error ? error->message : "");
        return nullptr;
    }
    const int timeout = static_cast<int>(options_.answerTimeout.count());
    // A program outside a sandbox tells the portal its application id first (newer portals
    // need it to keep the user's choice); older portals lack the registry, which is fine.
    GVariantBuilder noOptions;
    g_variant_builder_init(&noOptions, G_VARIANT_TYPE_VARDICT);
    Variant registered(g_dbus_connection_call_sync(bus, portalName, portalPath, "org.freedesktop.host.portal.Registry",
                                                   "Register", g_variant_new("(sa{sv})", appId_.c_str(), &noOptions),
                                                   nullptr, G_DBUS_CALL_FLAGS_NONE, timeout, cancellable, nullptr));
    raw = nullptr;
    Variant version(g_dbus_connection_call_sync(bus, portalName, portalPath, "org.freedesktop.DBus.Properties", "Get",
                                                g_variant_new("(ss)", shortcutsInterface, "version"),
                                                G_VARIANT_TYPE("(v)"), G_DBUS_CALL_FLAGS_NONE, timeout, cancellable, &raw));
    error.reset(raw);
    if (!version) {
        qCInfo(lcPortalHotKeys) << "the desktop offers no global-shortcuts portal:" << (error ? error->message : "");
        g_object_unref(bus);
        return nullptr;
    }
    return bus;
}

std::string PortalHotKeys::nextToken() const {
    return "tavlin" + std::to_string(getpid()) + "_" + std::to_string(nextToken_++);
}

std::optional<std::string> PortalHotKeys::openSession(GDBusConnection* bus, GCancellable* cancellable) const {
    const std::string token = nextToken();
    GVariantBuilder options;
    g_variant_builder_init(&options, G_VARIANT_TYPE_VARDICT);
    g_variant_builder_add(&options, "{sv}", "handle_token", g_variant_new_string(token.c_str()));
    g_variant_builder_add(&options, "{sv}", "session_handle_token", g_variant_new_string(token.c_str()));
    const auto answer = request(bus, "CreateSession", g_variant_new("(a{sv})", &options), token,
                                options_.answerTimeout, options_.answerTimeout, cancellable);
    if (!answer) return std::nullopt;
    if (answer->response != 0) {
        qCWarning(lcPortalHotKeys) << "the portal refused a session, response" << answer->response;
        return std::nullopt;
    }
    // The handle is a string in the portal's description, an object path in some portals.
    Variant handle(g_variant_lookup_value(answer->results.get(), "session_handle", nullptr));
    if (!handle || !(g_variant_is_of_type(handle.get(), G_VARIANT_TYPE_STRING) ||
                     g_variant_is_of_type(handle.get(), G_VARIANT_TYPE_OBJECT_PATH))) {
        qCWarning(lcPortalHotKeys) << "the portal's session answer has no session handle";
        return std::nullopt;
    }
    std::string session = g_variant_get_string(handle.get(), nullptr);
    if (!g_variant_is_object_path(session.c_str())) return std::nullopt;
    return session;
}

bool PortalHotKeys::bind(GDBusConnection* bus, const std::string& session, const std::string& trigger,
                         GCancellable* cancellable) const {
    const std::string token = nextToken();
    GVariantBuilder shortcut;
    g_variant_builder_init(&shortcut, G_VARIANT_TYPE_VARDICT);
    g_variant_builder_add(&shortcut, "{sv}", "description", g_variant_new_string(description_.c_str()));
    g_variant_builder_add(&shortcut, "{sv}", "preferred_trigger", g_variant_new_string(trigger.c_str()));
    GVariantBuilder shortcuts;
    g_variant_builder_init(&shortcuts, G_VARIANT_TYPE("a(sa{sv})"));
    g_variant_builder_add(&shortcuts, "(sa{sv})", shortcutId_.c_str(), &shortcut);
    GVariantBuilder options;
    g_variant_builder_init(&options, G_VARIANT_TYPE_VARDICT);
    g_variant_builder_add(&options, "{sv}", "handle_token", g_variant_new_string(token.c_str()));
    const auto answer = request(bus, "BindShortcuts",
                                g_variant_new("(oa(sa{sv})sa{sv})", session.c_str(), &shortcuts, "", &options),
                                token, options_.answerTimeout, options_.bindTimeout, cancellable);
    if (!answer) return false;
    if (answer->response != 0) {
        qCWarning(lcPortalHotKeys) << "the portal bound no shortcut, response" << answer->response;
        return false;
    }
    // The shortcuts the desktop bound, each with the trigger it chose; a shortcut missing
    // from the list, or one with an empty trigger, has no key. Some portals answer a binding
    // without the list, and give it only when asked.
    Variant bound(g_variant_lookup_value(answer->results.get(), "shortcuts", G_VARIANT_TYPE("a(sa{sv})")));
    if (!bound) bound.reset(listShortcuts(bus, session, cancellable));
    if (!bound) {
        qCInfo(lcPortalHotKeys) << "the portal took the shortcut without saying which key it bound";
        return true;
    }
    GVariantIter iter;
    g_variant_iter_init(&iter, bound.get());
    const char* id = nullptr;
    GVariant* properties = nullptr;
    bool found = false;
    while (g_variant_iter_next(&iter, "(&s@a{sv})", &id, &properties)) {
        Variant owned(properties);
        if (shortcutId_ != id) continue;
        const char* chosen = nullptr;
        if (g_variant_lookup(properties, "trigger_description", "&s", &chosen) && *chosen == '\0') {
            qCWarning(lcPortalHotKeys) << "the desktop took the shortcut but gave it no key";
            return false;
        }
        qCInfo(lcPortalHotKeys) << "the desktop bound" << (chosen ? chosen : trigger.c_str());
        found = true;
    }
    if (!found) qCWarning(lcPortalHotKeys) << "the desktop did not bind the shortcut";
    return found;
}

GVariant* PortalHotKeys::listShortcuts(GDBusConnection* bus, const std::string& session,
                                       GCancellable* cancellable) const {
    const std::string token = nextToken();
    GVariantBuilder options;
    g_variant_builder_init(&options, G_VARIANT_TYPE_VARDICT);
    g_variant_builder_add(&options, "{sv}", "handle_token", g_variant_new_string(token.c_str()));
    const auto answer = request(bus, "ListShortcuts", g_variant_new("(oa{sv})", session.c_str(), &options), token,
                                options_.answerTimeout, options_.answerTimeout, cancellable);
    if (!answer || answer->response != 0) return nullptr;
    return g_variant_lookup_value(answer->results.get(), "shortcuts", G_VARIANT_TYPE("a(sa{sv})"));
}

void PortalHotKeys::closeSession() {
    if (activatedSubscription_) g_dbus_connection_signal_unsubscribe(bus_, activatedSubscription_);
    activatedSubscription_ = 0;
    if (session_.empty()) return;
    // Fire and forget: the portal ends the session (and its bindings) when we leave the bus anyway.
    g_dbus_connection_call(bus_, portalName, session_.c_str(), "org.freedesktop.portal.Session", "Close", nullptr,
                           nullptr, G_DBUS_CALL_FLAGS_NONE, -1, nullptr, nullptr, nullptr);
    g_dbus_connection_flush_sync(bus_, nullptr, nullptr);
    session_.clear();
}

void PortalHotKeys::activated(const char* session, const char* shortcutId) {
    if (session_ != session || shortcutId_ != shortcutId) return;
    handlers_.pressed();
}

} // namespace tavlin::platform
