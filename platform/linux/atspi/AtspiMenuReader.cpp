#include "platform/linux/atspi/AtspiMenuReader.h"

#include "platform/linux/atspi/AtspiMenuBarLocator.h"
#include "platform/linux/atspi/AtspiMenuWalk.h"
#include "platform/linux/atspi/bus/AtspiCallBatch.h"
#include "platform/linux/atspi/bus/AtspiCalls.h"
#include "platform/linux/atspi/bus/AtspiPeerBatch.h"
#include "platform/linux/atspi/bus/AtspiReplies.h"
#include "platform/linux/common/GLibHandle.h"

namespace tavlin::platform::atspi {
namespace {

constexpr const char* registryName = "org.a11y.atspi.Registry";
constexpr const char* rootPath = "/org/a11y/atspi/accessible/root";

using glib::child;
using glib::text;
using glib::Variant;
using Peer = AtspiCalls::Peer;

} // namespace

std::vector<AtspiMenuReader::Application> AtspiMenuReader::applications(GDBusConnection* connection,
                                                                         GMainContext* context,
                                                                         Clock::time_point deadline, bool withNames) {
    std::vector<Application> applications;
    {
        AtspiCallBatch batch(connection, context, deadline);
        batch.call(registryName, rootPath, "org.a11y.atspi.Accessible", "GetChildren", nullptr, "(a(so))",
                   [&applications](GVariant* reply) {
                       if (!reply) return;
                       const Variant list = child(reply, 0);
                       GVariantIter iter;
                       g_variant_iter_init(&iter, list.get());
                       const gchar *bus = nullptr, *path = nullptr;
                       while (g_variant_iter_next(&iter, "(&s&o)", &bus, &path))
                           applications.push_back(Application{bus, path, 0, {}});
                   });
        batch.wait();
    }
    std::vector<AtspiDetails> names(withNames ? applications.size() : 0);
    {
        AtspiCallBatch batch(connection, context, deadline);
        for (std::size_t i = 0; i < applications.size(); ++i) {
            Application& application = applications[i];
            batch.call("org.freedesktop.DBus", "/org/freedesktop/DBus", "org.freedesktop.DBus",
                       "GetConnectionUnixProcessID", g_variant_new("(s)", application.bus.c_str()), "(u)",
                       [&application](GVariant* reply) {
                           guint32 pid = 0;
                           if (reply) g_variant_get(reply, "(u)", &pid);
                           application.pid = static_cast<std::int32_t>(pid);
                       });
            if (withNames) AtspiCalls::details(batch, application.bus, application.path, names[i]);
        }
        batch.wait();
    }
    for (std::size_t i = 0; i < names.size(); ++i) applications[i].name = names[i].name;
    return applications;
}

std::optional<MenuCapture> AtspiMenuReader::menuBar(GDBusConnection* connection, GMainContext* context,
                                                    AtspiPeerLinks& links, const Application& application,
                                                    Clock::time_point deadline, bool& reached) {
    const Peer onBus{connection, context, application.bus, application.bus};
    reached = false;
    std::vector<std::string> windows;
    AtspiDetails::ByPath cache;
    // A connection kept from an earlier scan asks for the windows and the toolkit's
    // cache of its objects at once.
    AtspiPeerConnection* peer = links.connection(application.bus);
    if (peer) {
        AtspiPeerBatch batch(*peer, deadline);
        batch.children(application.path, [&](std::vector<std::string> children) {
            windows = std::move(children);
            reached = true;
        });
        batch.cache(cache);
        batch.wait();
        if (batch.timedOut()) {
            g_debug("%s: its windows and cache not told by the deadline", application.bus.c_str());
            return std::nullopt;
        }
        if (!reached) return std::nullopt;
    } else {
        std::string address;
        {
            AtspiCallBatch batch(connection, context, deadline);
            // The application's own address for direct connections. Asking for it also
            // makes a GTK application start the cache of its objects, which is read below.
            batch.call(onBus.destination, application.path, "org.a11y.atspi.Application", "GetApplicationBusAddress",
                       nullptr, "(s)", [&address](GVariant* reply) {
                           if (reply) address = text(child(reply, 0).get());
                       });
            AtspiCalls::children(batch, onBus, application.path, [&](std::vector<std::string> children) {
                windows = std::move(children);
                reached = true;
            });
            batch.wait();
            if (batch.timedOut()) {
                g_debug("%s: its windows not told by the deadline", application.bus.c_str());
                return std::nullopt;
            }
        }
        if (!reached) return std::nullopt;
        // Calls go straight to the application when it offers a local socket, which
        // spares the bus daemon two hops per call.
        peer = links.open(application.bus, address);
        if (peer) {
            AtspiPeerBatch batch(*peer, deadline);
            batch.cache(cache);
            batch.wait();
            if (batch.timedOut()) {
                g_debug("%s: its cache not told by the deadline", application.bus.c_str());
                return std::nullopt;
            }
        }
    }
    if (std::optional<std::string> bar = AtspiMenuBarLocator::fromCache(cache, windows); bar && peer) {
        if (AtspiMenuBarLocator::shownInCache(cache, *bar))
            return AtspiMenuWalk::fromCache(*peer, *bar, cache, deadline);
        // A bar whose menus show no entry is a copy beside the one the toolkit shows,
        // whose objects the cache doesn't hold (LibreOffice): that one is read instead,
        // call by call over the kept connection (straight to the application where it
        // offers that). The copy's keys are wrong, so without the other bar (still being
        // built, or not found by the deadline) nothing is read.
        const Peer kept{connection, context, peer->destination(), application.bus, peer->get()};
        if (std::optional<AtspiMenuBarLocator::Found> shown = AtspiMenuBarLocator::search(kept, windows, deadline, *bar)) {
            g_debug("%s: menu bar %s shows no entry; reading %s", application.bus.c_str(), bar->c_str(),
                    shown->path.c_str());
            return AtspiMenuWalk::read(kept, shown->path, shown->children, deadline);
        }
        g_debug("%s: menu bar %s shows no entry, and no other was found", application.bus.c_str(), bar->c_str());
        return std::nullopt;
    }
    // A toolkit without a cache (Qt) is read call by call, which is where the cost of a
    // call to the caller counts: the calls go over the kept libdbus connection when that
    // reaches the application through the bus, else through GDBus.
    Peer reading = onBus;
    if (peer && !peer->destination().empty()) reading.wire = peer->get();
    if (std::optional<AtspiMenuBarLocator::Found> bar = AtspiMenuBarLocator::search(reading, windows, deadline))
        return AtspiMenuWalk::read(reading, bar->path, bar->children, deadline);
    g_debug("%s (process %d): no menu bar found below its %zu windows", application.bus.c_str(), application.pid,
            windows.size());
    return std::nullopt;
}

} // namespace tavlin::platform::atspi
