#include "platform/linux/atspi/AtspiMenuReader.h"

#include "platform/linux/atspi/AtspiLiveMenuWalk.h"
#include "platform/linux/atspi/AtspiMenuBarLocator.h"
#include "platform/linux/atspi/AtspiMenuWalk.h"
#include "platform/linux/atspi/bus/AtspiPeerBatch.h"
#include "platform/linux/atspi/bus/AtspiReplies.h"

#include <glib.h>

namespace tavlin::platform::atspi {
namespace {

constexpr const char* rootPath = "/org/a11y/atspi/accessible/root";

// The bar the toolkit shows beside `copy`, a copy of it whose menus show no entry. The
// copy's keys are wrong, so without the other bar (still being built, or not found by the
// deadline) there is none.
std::optional<AtspiMenuBarLocator::Found> besideCopy(AtspiPeerConnection& peer,
                                                    const AtspiMenuReader::Application& application,
                                                    const std::vector<std::string>& windows, const std::string& copy,
                                                    AtspiMenuBarLocator::Deadline deadline) {
    std::optional<AtspiMenuBarLocator::Found> shown = AtspiMenuBarLocator::search(peer, windows, deadline, copy);
    if (shown)
        g_debug("%s: menu bar %s shows no entry; reading %s", application.bus.c_str(), copy.c_str(), shown->path.c_str());
    else
        g_debug("%s: menu bar %s shows no entry, and no other was found", application.bus.c_str(), copy.c_str());
    return shown;
}

} // namespace

std::vector<AtspiMenuReader::Application> AtspiMenuReader::applications(AtspiPeerConnection& registry,
                                                                         Clock::time_point deadline, Names names) {
    std::vector<Application> applications;
    {
        AtspiPeerBatch batch(registry, deadline);
        batch.call(rootPath, "org.a11y.atspi.Accessible", "GetChildren", [&applications](DBusMessage* reply) {
            if (!reply) return;
            for (auto& [bus, path] : AtspiReplies::references(reply))
                applications.push_back(Application{std::move(bus), std::move(path), 0, {}});
        });
        batch.wait();
    }
    AtspiPeerBatch batch(registry, deadline);
    for (Application& application : applications) {
        libdbus::Message pid =
            AtspiPeerBatch::request(DBUS_SERVICE_DBUS, DBUS_PATH_DBUS, DBUS_INTERFACE_DBUS, "GetConnectionUnixProcessID");
        const char* bus = application.bus.c_str();
        if (pid) dbus_message_append_args(pid.get(), DBUS_TYPE_STRING, &bus, DBUS_TYPE_INVALID);
        batch.send(std::move(pid), [&application](DBusMessage* reply) {
            if (reply) application.pid = static_cast<std::int32_t>(AtspiReplies::number(reply).value_or(0));
        });
        if (names == Names::read)
            batch.send(AtspiPeerBatch::nameRequest(application.bus, application.path), [&application](DBusMessage* reply) {
                if (reply) application.name = AtspiReplies::textInVariant(reply).value_or(std::string());
            });
    }
    batch.wait();
    return applications;
}

std::optional<MenuCapture> AtspiMenuReader::menuBar(AtspiPeerConnection& registry, AtspiPeerLinks& links,
                                                    const Application& application, Clock::time_point deadline,
                                                    const std::optional<RowBudget>& budget, bool& reached) {
    reached = false;
    std::vector<std::string> windows;
    auto windowsTold = [&](DBusMessage* reply) {
        if (!reply || !dbus_message_has_signature(reply, "a(so)")) return;
        windows = AtspiReplies::pathsOn(reply, application.bus);
        reached = true;
    };
    AtspiDetails::ByPath cache;
    // A connection kept from an earlier scan asks for the windows and the toolkit's
    // cache of its objects at once.
    AtspiPeerConnection* peer = links.connection(application.bus);
    if (peer) {
        AtspiPeerBatch batch(*peer, deadline);
        batch.call(application.path, "org.a11y.atspi.Accessible", "GetChildren", windowsTold);
        batch.cache(cache);
        batch.wait();
        if (batch.timedOut()) {
            g_debug("%s: its windows and cache not told by the deadline", application.bus.c_str());
            return std::nullopt;
        }
        if (!reached) return std::nullopt;
    } else {
        // Met for the first time: asked through the registry's connection.
        std::string address;
        {
            AtspiPeerBatch batch(registry, deadline);
            // The application's own address for direct connections. Asking for it also
            // makes a GTK application start the cache of its objects, which is read below.
            batch.send(AtspiPeerBatch::request(application.bus, application.path, "org.a11y.atspi.Application",
                                               "GetApplicationBusAddress"),
                       [&address](DBusMessage* reply) {
                           if (reply) address = AtspiReplies::text(reply).value_or(std::string());
                       });
            batch.send(AtspiPeerBatch::request(application.bus, application.path, "org.a11y.atspi.Accessible",
                                               "GetChildren"),
                       windowsTold);
            batch.wait();
            if (batch.timedOut()) {
                g_debug("%s: its windows not told by the deadline", application.bus.c_str());
                return std::nullopt;
            }
        }
        if (!reached) return std::nullopt;
        // Calls go straight to the application when it offers a local socket, which
        // spares the bus daemon two hops per call; else through the bus.
        peer = links.open(application.bus, address);
        if (!peer) return std::nullopt;
        AtspiPeerBatch batch(*peer, deadline);
        batch.cache(cache);
        batch.wait();
        if (batch.timedOut()) {
            g_debug("%s: its cache not told by the deadline", application.bus.c_str());
            return std::nullopt;
        }
    }
    if (std::optional<std::string> bar = AtspiMenuBarLocator::fromCache(cache, windows)) {
        if (AtspiMenuBarLocator::shownInCache(cache, *bar)) {
            g_debug("%s: reading menu bar %s from the cache of %zu objects", application.bus.c_str(), bar->c_str(),
                    cache.size());
            return AtspiMenuWalk::fromCache(*peer, *bar, cache, deadline, budget);
        }
        // A bar whose menus show no entry is a copy beside the one the toolkit shows,
        // whose objects the cache doesn't hold (LibreOffice): that one is read instead,
        // call by call.
        if (std::optional<AtspiMenuBarLocator::Found> shown = besideCopy(*peer, application, windows, *bar, deadline))
            return AtspiLiveMenuWalk::read(*peer, shown->path, shown->children, deadline, budget);
        return std::nullopt;
    }
    // A toolkit without a cache (Qt), or one whose cache holds no menu bar yet (LibreOffice
    // just after it was first asked), is read call by call, which is where the cost of a
    // call to the caller counts. The same copy may be met here first: passed over as above.
    if (std::optional<AtspiMenuBarLocator::Found> bar = AtspiMenuBarLocator::search(*peer, windows, deadline)) {
        if (!AtspiMenuBarLocator::shownLive(*peer, *bar, deadline)) {
            bar = besideCopy(*peer, application, windows, bar->path, deadline);
            if (!bar) return std::nullopt;
        }
        g_debug("%s: reading menu bar %s call by call (the cache held %zu objects)", application.bus.c_str(),
                bar->path.c_str(), cache.size());
        return AtspiLiveMenuWalk::read(*peer, bar->path, bar->children, deadline, budget);
    }
    g_debug("%s (process %d): no menu bar found below its %zu windows", application.bus.c_str(), application.pid,
            windows.size());
    return std::nullopt;
}

} // namespace tavlin::platform::atspi
