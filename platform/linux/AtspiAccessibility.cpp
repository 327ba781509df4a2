#include "platform/linux/AtspiAccessibility.h"

#include "platform/linux/AtspiApplicationElement.h"
#include "platform/linux/AtspiCallBatch.h"
#include "platform/linux/AtspiMenuReader.h"
#include "platform/linux/AtspiPeerConnection.h"
#include "platform/linux/AtspiPeerLinks.h"
#include "platform/linux/GLibHandle.h"
#include "platform/linux/MenuSnapshot.h"

#include <atspi/atspi.h>
#include <gio/gio.h>

#include <cstdlib>
#include <memory>
#include <utility>

namespace tavlin::platform::atspi {
namespace {

constexpr std::chrono::milliseconds sessionTimeout{1000};
constexpr const char* launcherName = "org.a11y.Bus";
constexpr const char* launcherPath = "/org/a11y/bus";

using glib::Connection;
using glib::Variant;
using Context = std::shared_ptr<GMainContext>;

// Runs what is due in `context` without waiting: the late work of connections closed in
// it (their "closed" notices, each holding its connection) is done and freed at once.
void settle(GMainContext* context) {
    while (g_main_context_iteration(context, FALSE)) {
    }
}

// Makes `context` the thread's default while it lives, so that connections opened meanwhile
// queue their late work there, and settles the context when it ends.
class InContext {
public:
    explicit InContext(GMainContext* context) : context_(context) { g_main_context_push_thread_default(context_); }
    ~InContext() {
        settle(context_);
        g_main_context_pop_thread_default(context_);
    }
    InContext(const InContext&) = delete;
    InContext& operator=(const InContext&) = delete;

private:
    GMainContext* context_;
};

// The session bus's address, or none when there is no session bus: from the
// environment, else the user's bus socket. Never starts a bus.
std::optional<std::string> sessionAddress() {
    if (const char* address = std::getenv("DBUS_SESSION_BUS_ADDRESS"); address && *address) return std::string(address);
    const char* runtime = std::getenv("XDG_RUNTIME_DIR");
    if (!runtime || !*runtime) return std::nullopt;
    gchar* socket = g_build_filename(runtime, "bus", nullptr);
    std::optional<std::string> address;
    if (g_file_test(socket, G_FILE_TEST_EXISTS)) {
        gchar* escaped = g_dbus_address_escape_value(socket);
        address = std::string("unix:path=") + escaped;
        g_free(escaped);
    }
    g_free(socket);
    return address;
}

// Calls the accessibility bus launcher; null when it can't be reached.
Variant callLauncher(AtspiPeerConnection* session, GMainContext* context, const char* interface, const char* method,
                     GVariant* parameters, const char* replyType) {
    if (!session) {
        glib::sink(parameters);
        return nullptr;
    }
    Variant reply;
    AtspiCallBatch batch(nullptr, context, AtspiCallBatch::Clock::now() + sessionTimeout, session->get());
    batch.call(launcherName, launcherPath, interface, method, parameters, replyType, [&reply](GVariant* answer) {
        if (answer) reply = Variant(g_variant_ref(answer));
    });
    batch.wait();
    return reply;
}

std::optional<std::string> accessibilityBusAddress(AtspiPeerConnection* session, GMainContext* context) {
    if (const char* address = std::getenv("AT_SPI_BUS_ADDRESS"); address && *address) return std::string(address);
    const Variant reply = callLauncher(session, context, "org.a11y.Bus", "GetAddress", nullptr, "(s)");
    if (!reply) return std::nullopt;
    std::string address = glib::text(glib::child(reply.get(), 0).get());
    if (address.empty()) return std::nullopt;
    return address;
}

} // namespace

AtspiAccessibility::AtspiAccessibility()
    : context_(g_main_context_new()), links_(std::make_shared<AtspiPeerLinks>()) {
    // For any libatspi call made in this process: 800 ms per call, 15 s for an
    // application met for the first time. Our own reads keep to their scan's budget.
    atspi_set_timeout(800, 15000);
}

AtspiAccessibility::~AtspiAccessibility() {
    if (bus_) {
        InContext in(context_);
        Connection(std::exchange(bus_, nullptr));
    }
    g_main_context_unref(context_);
}

GDBusConnection* AtspiAccessibility::bus() {
    if (bus_ && g_dbus_connection_is_closed(bus_)) Connection(std::exchange(bus_, nullptr));
    if (!bus_) {
        InContext in(context_);
        const std::optional<std::string> address = accessibilityBusAddress(launcher(), context_);
        if (!address) return nullptr;
        links_->setBusAddress(*address);
        // A bus that doesn't answer (a stopped daemon still accepts the socket) is given
        // up after one scan's budget, and tried again at the next read.
        AtspiCallBatch batch(nullptr, context_, AtspiCallBatch::Clock::now() + scanBudget);
        batch.connect(*address, true, [this](GDBusConnection* opened) { bus_ = opened; });
        batch.wait();
    }
    return bus_;
}

AtspiPeerConnection* AtspiAccessibility::launcher() {
    // Kept open for the permission check of every show; opened anew once closed.
    if (launcher_ && !launcher_->connected()) launcher_.reset();
    if (!launcher_)
        if (const std::optional<std::string> address = sessionAddress())
            launcher_ = AtspiPeerConnection::throughBus(*address, launcherName);
    return launcher_.get();
}

AXElementRef AtspiAccessibility::createApplication(std::int32_t pid) {
    GDBusConnection* connection = bus();
    // Shared with the element, which may outlive this object's hold on the bus: a plain
    // reference, closed by whoever owns the bus.
    const std::shared_ptr<GDBusConnection> held =
        connection ? std::shared_ptr<GDBusConnection>(static_cast<GDBusConnection*>(g_object_ref(connection)),
                                                      GLibRelease{})
                   : nullptr;
    Context context(g_main_context_ref(context_), &g_main_context_unref);
    return std::make_shared<AtspiApplicationElement>([held, context, links = links_, pid]() -> AXElementRef {
        if (!held) return nullptr;
        InContext in(context.get());
        const auto deadline = AtspiMenuReader::Clock::now() + scanBudget;
        auto read = [&](const AtspiMenuReader::Application& application, bool& reached) -> AXElementRef {
            std::optional<MenuCapture> capture =
                AtspiMenuReader::menuBar(held.get(), context.get(), *links, application, deadline, reached);
            return capture ? MenuSnapshot::menuBar(*capture) : nullptr;
        };
        // The application found for this process before is asked first; when its name
        // is gone from the bus, the process's application is looked for again.
        if (const std::optional<AtspiPeerLinks::Application> known = links->application(pid)) {
            bool reached = false;
            AXElementRef bar = read(AtspiMenuReader::Application{known->bus, known->path, pid, {}}, reached);
            if (reached || AtspiMenuReader::Clock::now() >= deadline) return bar;
            links->forget(pid);
        }
        for (const AtspiMenuReader::Application& application :
             AtspiMenuReader::applications(held.get(), context.get(), deadline, false)) {
            if (application.pid != pid) continue;
            links->remember(AtspiPeerLinks::Application{pid, application.bus, application.path});
            bool reached = false;
            if (AXElementRef bar = read(application, reached)) return bar;
        }
        return nullptr;
    });
}

bool AtspiAccessibility::isProcessTrusted() {
    InContext in(context_);
    const Variant reply = callLauncher(launcher(), context_, "org.freedesktop.DBus.Properties", "Get",
                                       g_variant_new("(ss)", "org.a11y.Status", "IsEnabled"), "(v)");
    if (!reply) return false;
    const Variant value(g_variant_get_variant(glib::child(reply.get(), 0).get()));
    return g_variant_is_of_type(value.get(), G_VARIANT_TYPE_BOOLEAN) && g_variant_get_boolean(value.get());
}

bool AtspiAccessibility::isProcessTrustedWithOptions(bool prompt) {
    if (prompt) {
        InContext in(context_);
        // Turns on the session's accessibility; never the screen reader.
        callLauncher(launcher(), context_, "org.freedesktop.DBus.Properties", "Set",
                     g_variant_new("(ssv)", "org.a11y.Status", "IsEnabled", g_variant_new_boolean(TRUE)), nullptr);
    }
    return isProcessTrusted();
}

bool AtspiAccessibility::hasApplication(std::int32_t pid) {
    InContext in(context_);
    GDBusConnection* connection = bus();
    if (!connection) return false;
    const auto deadline = AtspiMenuReader::Clock::now() + scanBudget;
    for (const AtspiMenuReader::Application& application : AtspiMenuReader::applications(connection, context_, deadline, false))
        if (application.pid == pid) return true;
    return false;
}

std::optional<std::int32_t> AtspiAccessibility::applicationNamed(const std::string& name) {
    InContext in(context_);
    GDBusConnection* connection = bus();
    if (!connection) return std::nullopt;
    const auto deadline = AtspiMenuReader::Clock::now() + scanBudget;
    for (const AtspiMenuReader::Application& application : AtspiMenuReader::applications(connection, context_, deadline, true))
        if (application.name == name && application.pid > 0) return application.pid;
    return std::nullopt;
}

} // namespace tavlin::platform::atspi
