#include "platform/linux/atspi/AtspiAccessibility.h"

#include "platform/linux/atspi/AtspiApplicationElement.h"
#include "platform/linux/atspi/AtspiLauncher.h"
#include "platform/linux/atspi/AtspiMenuReader.h"
#include "platform/linux/atspi/bus/AtspiAbandon.h"
#include "platform/linux/atspi/bus/AtspiCallBatch.h"
#include "platform/linux/atspi/bus/AtspiPeerLinks.h"
#include "platform/linux/atspi/model/MenuSnapshot.h"
#include "platform/linux/common/GLibHandle.h"

#include <atspi/atspi.h>
#include <gio/gio.h>

#include <cstdlib>
#include <memory>
#include <utility>

namespace tavlin::platform::atspi {
namespace {


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

// The accessibility bus's address: from the environment, else as the launcher tells it.
std::optional<std::string> accessibilityBusAddress(AtspiLauncher& launcher, GMainContext* context) {
    if (const char* address = std::getenv("AT_SPI_BUS_ADDRESS"); address && *address) return std::string(address);
    const Variant reply = launcher.call(context, "org.a11y.Bus", "GetAddress", nullptr, "(s)");
    if (!reply) return std::nullopt;
    std::string address = glib::text(glib::child(reply.get(), 0).get());
    if (address.empty()) return std::nullopt;
    return address;
}

} // namespace

AtspiAccessibility::AtspiAccessibility()
    : context_(g_main_context_new()), launcher_(std::make_unique<AtspiLauncher>()),
      links_(std::make_shared<AtspiPeerLinks>()) {
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
        const std::optional<std::string> address = accessibilityBusAddress(*launcher_, context_);
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

AXElementRef AtspiAccessibility::createApplication(std::int32_t pid) {
    GDBusConnection* connection = bus();
    // Shared with the element, which may outlive this object's hold on the bus: a plain
    // reference, closed by whoever owns the bus.
    const std::shared_ptr<GDBusConnection> held =
        connection ? std::shared_ptr<GDBusConnection>(static_cast<GDBusConnection*>(g_object_ref(connection)),
                                                      GLibRelease{})
                   : nullptr;
    Context context(g_main_context_ref(context_), &g_main_context_unref);
    return std::make_shared<AtspiApplicationElement>([held, context, links = links_, abandoned = abandoned_,
                                                      pid]() -> AXElementRef {
        if (!held) return nullptr;
        InContext in(context.get());
        const AtspiAbandon abandon(abandoned.get());
        const std::optional<AtspiPeerLinks::Application> known = links->application(pid);
        const auto deadline = AtspiMenuReader::Clock::now() + (known ? scanBudget : firstScanBudget);
        auto read = [&](const AtspiMenuReader::Application& application, bool& reached) -> AXElementRef {
            std::optional<MenuCapture> capture =
                AtspiMenuReader::menuBar(held.get(), context.get(), *links, application, deadline, reached);
            return capture ? MenuSnapshot::menuBar(*capture) : nullptr;
        };
        // The application found for this process before is asked first; when its name
        // is gone from the bus, the process's application is looked for again.
        if (known) {
            bool reached = false;
            AXElementRef bar = read(AtspiMenuReader::Application{known->bus, known->path, pid, {}}, reached);
            // A read cut short (by its deadline, or abandoned) says nothing of the link.
            if (reached || AtspiMenuReader::Clock::now() >= deadline || AtspiAbandon::requested()) return bar;
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

void AtspiAccessibility::abandonWhen(std::function<bool()> abandoned) {
    abandoned_ = std::make_shared<const std::function<bool()>>(std::move(abandoned));
}

bool AtspiAccessibility::isProcessTrusted() {
    InContext in(context_);
    return launcher_->enabled(context_);
}

bool AtspiAccessibility::isProcessTrustedWithOptions(bool prompt) {
    if (prompt) {
        InContext in(context_);
        // Turns on the session's accessibility; never the screen reader.
        launcher_->call(context_, "org.freedesktop.DBus.Properties", "Set",
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
