#include "platform/linux/atspi/AtspiAccessibility.h"

#include "platform/linux/atspi/AtspiApplicationElement.h"
#include "platform/linux/atspi/AtspiLauncher.h"
#include "platform/linux/atspi/AtspiMenuReader.h"
#include "platform/linux/atspi/bus/AtspiAbandon.h"
#include "platform/linux/atspi/bus/AtspiPeerBatch.h"
#include "platform/linux/atspi/bus/AtspiPeerConnection.h"
#include "platform/linux/atspi/bus/AtspiPeerLinks.h"
#include "platform/linux/atspi/model/MenuSnapshot.h"

#include <atspi/atspi.h>
#include <glib.h>

#include <cstdlib>
#include <memory>
#include <utility>

namespace tavlin::platform::atspi {
namespace {

constexpr const char* registryName = "org.a11y.atspi.Registry";
using Names = AtspiMenuReader::Names;

// The accessibility bus's address: from the environment, else as the launcher tells it.
std::optional<std::string> accessibilityBusAddress(AtspiLauncher& launcher) {
    if (const char* address = std::getenv("AT_SPI_BUS_ADDRESS"); address && *address) return std::string(address);
    return launcher.busAddress();
}

} // namespace

AtspiAccessibility::AtspiAccessibility(std::optional<RowBudget> budget)
    : budget_(std::move(budget)), launcher_(std::make_unique<AtspiLauncher>()),
      links_(std::make_shared<AtspiPeerLinks>()) {
    // For any libatspi call made in this process: 800 ms per call, 15 s for an
    // application met for the first time. Our own reads keep to their scan's budget.
    atspi_set_timeout(800, 15000);
}

AtspiAccessibility::~AtspiAccessibility() = default;

std::shared_ptr<AtspiPeerConnection> AtspiAccessibility::registry() {
    if (registry_ && !registry_->connected()) registry_.reset();
    if (!registry_) {
        const std::optional<std::string> address = accessibilityBusAddress(*launcher_);
        if (!address) return nullptr;
        links_->setBusAddress(*address);
        std::shared_ptr<AtspiPeerConnection> opened = AtspiPeerConnection::throughBus(*address, registryName);
        if (!opened) return nullptr;
        // A bus that doesn't answer (a stopped daemon still accepts the socket) is given
        // up after one scan's budget, and tried again at the next read.
        AtspiPeerBatch greeting(*opened, AtspiPeerBatch::Clock::now() + scanBudget);
        greeting.send(AtspiPeerBatch::request(DBUS_SERVICE_DBUS, DBUS_PATH_DBUS, DBUS_INTERFACE_DBUS, "GetId"),
                      [](DBusMessage*) {});
        greeting.wait();
        if (greeting.timedOut() || !opened->connected()) {
            g_debug("the accessibility bus at %s doesn't answer", address->c_str());
            return nullptr;
        }
        registry_ = std::move(opened);
    }
    return registry_;
}

AXElementRef AtspiAccessibility::createApplication(std::int32_t pid) {
    // Shared with the element, which may outlive this object.
    std::shared_ptr<AtspiPeerConnection> registry = this->registry();
    return std::make_shared<AtspiApplicationElement>([registry = std::move(registry), links = links_,
                                                      abandoned = abandoned_, budget = budget_, pid]() -> AXElementRef {
        if (!registry) return nullptr;
        const AtspiAbandon abandon(abandoned.get());
        const std::optional<AtspiPeerLinks::Application> known = links->application(pid);
        const auto deadline = AtspiMenuReader::Clock::now() + (known ? scanBudget : firstScanBudget);
        auto read = [&](const AtspiMenuReader::Application& application, bool& reached) -> AXElementRef {
            std::optional<MenuCapture> capture = AtspiMenuReader::menuBar(*registry, *links, application, deadline, budget, reached);
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
             AtspiMenuReader::applications(*registry, deadline, Names::unread)) {
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

bool AtspiAccessibility::isProcessTrusted() { return launcher_->enabled(); }

bool AtspiAccessibility::isProcessTrustedWithOptions(bool prompt) {
    if (prompt) launcher_->enable();
    return isProcessTrusted();
}

bool AtspiAccessibility::hasApplication(std::int32_t pid) {
    const std::shared_ptr<AtspiPeerConnection> connection = registry();
    if (!connection) return false;
    const auto deadline = AtspiMenuReader::Clock::now() + scanBudget;
    for (const AtspiMenuReader::Application& application :
         AtspiMenuReader::applications(*connection, deadline, Names::unread))
        if (application.pid == pid) return true;
    return false;
}

std::optional<std::int32_t> AtspiAccessibility::applicationNamed(const std::string& name) {
    const std::shared_ptr<AtspiPeerConnection> connection = registry();
    if (!connection) return std::nullopt;
    const auto deadline = AtspiMenuReader::Clock::now() + scanBudget;
    for (const AtspiMenuReader::Application& application : AtspiMenuReader::applications(*connection, deadline, Names::read))
        if (application.name == name && application.pid > 0) return application.pid;
    return std::nullopt;
}

} // namespace tavlin::platform::atspi
