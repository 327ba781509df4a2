#include "platform/linux/atspi/bus/AtspiPeerLinks.h"

#include <algorithm>

namespace tavlin::platform::atspi {

std::optional<AtspiPeerLinks::Application> AtspiPeerLinks::application(std::int32_t pid) const {
    const auto it = std::find_if(entries_.begin(), entries_.end(),
                                 [pid](const Entry& entry) { return entry.application.pid == pid; });
    if (it == entries_.end()) return std::nullopt;
    return it->application;
}

void AtspiPeerLinks::remember(const Application& application) {
    forget(application.pid);
    entries_.remove_if([&](const Entry& entry) { return entry.application.bus == application.bus; });
    entries_.push_front(Entry{application, nullptr});
    if (entries_.size() > kept) entries_.pop_back();
}

void AtspiPeerLinks::forget(std::int32_t pid) {
    entries_.remove_if([pid](const Entry& entry) { return entry.application.pid == pid; });
}

std::list<AtspiPeerLinks::Entry>::iterator AtspiPeerLinks::find(const std::string& bus) {
    return std::find_if(entries_.begin(), entries_.end(), [&](const Entry& entry) { return entry.application.bus == bus; });
}

AtspiPeerConnection* AtspiPeerLinks::connection(const std::string& bus) {
    const auto it = find(bus);
    if (it == entries_.end() || !it->connection) return nullptr;
    if (!it->connection->connected()) {
        it->connection.reset();
        return nullptr;
    }
    entries_.splice(entries_.begin(), entries_, it);
    return it->connection.get();
}

AtspiPeerConnection* AtspiPeerLinks::open(const std::string& bus, const std::string& address) {
    auto it = find(bus);
    if (it == entries_.end()) {
        entries_.push_front(Entry{Application{0, bus, {}}, nullptr});
        if (entries_.size() > kept) entries_.pop_back();
        it = entries_.begin();
    }
    // Any other kind of address than a local socket is not followed.
    const bool local = address.rfind("unix:path=", 0) == 0 || address.rfind("unix:abstract=", 0) == 0;
    it->connection = local ? AtspiPeerConnection::direct(address, bus) : nullptr;
    if (!it->connection && !busAddress_.empty()) it->connection = AtspiPeerConnection::throughBus(busAddress_, bus);
    return it->connection.get();
}

} // namespace tavlin::platform::atspi
