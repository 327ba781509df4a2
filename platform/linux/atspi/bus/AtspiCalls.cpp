#include "platform/linux/atspi/bus/AtspiCalls.h"

#include "platform/linux/atspi/bus/AtspiReplies.h"
#include "platform/linux/common/GLibHandle.h"

#include <memory>

namespace tavlin::platform::atspi {

namespace {
constexpr const char* accessibleInterface = "org.a11y.atspi.Accessible";

// Runs `answered`, when there is one, once `count` calls have said they are answered.
std::function<void()> afterAll(int count, std::function<void()> answered) {
    if (!answered) return [] {};
    auto left = std::make_shared<int>(count);
    return [left, answered = std::move(answered)] {
        if (--*left == 0) answered();
    };
}
} // namespace

using glib::child;
using glib::text;
using glib::Variant;

void AtspiCalls::children(AtspiCallBatch& batch, const Peer& peer, const std::string& path,
                          std::function<void(std::vector<std::string>)> done, std::function<void()> answered) {
    batch.call(peer.destination, path, accessibleInterface, "GetChildren", nullptr, "(a(so))",
               [bus = peer.bus, done = std::move(done), answered = afterAll(1, std::move(answered))](GVariant* reply) {
                   if (reply) done(AtspiReplies::pathsOn(child(reply, 0).get(), bus));
                   answered();
               });
}

void AtspiCalls::details(AtspiCallBatch& batch, const std::string& destination, const std::string& path,
                         AtspiDetails& details, bool withRole, bool withStates, std::function<void()> answered) {
    const std::function<void()> each = afterAll(1 + withRole + withStates, std::move(answered));
    if (withRole)
        batch.call(destination, path, accessibleInterface, "GetRole", nullptr, "(u)", [&details, each](GVariant* reply) {
            if (reply) g_variant_get(reply, "(u)", &details.role);
            each();
        });
    if (withStates)
        batch.call(destination, path, accessibleInterface, "GetState", nullptr, "(au)", [&details, each](GVariant* reply) {
            if (reply) {
                details.states = AtspiReplies::states(child(reply, 0).get());
                details.statesKnown = true;
            }
            each();
        });
    batch.call(destination, path, "org.freedesktop.DBus.Properties", "Get", g_variant_new("(ss)", accessibleInterface, "Name"),
               "(v)", [&details, each](GVariant* reply) {
                   if (reply) {
                       const Variant name(g_variant_get_variant(child(reply, 0).get()));
                       if (g_variant_is_of_type(name.get(), G_VARIANT_TYPE_STRING)) {
                           details.name = text(name.get());
                           details.known = true;
                       }
                   }
                   each();
               });
}

void AtspiCalls::role(AtspiCallBatch& batch, const Peer& peer, const std::string& path, std::uint32_t& role) {
    batch.call(peer.destination, path, accessibleInterface, "GetRole", nullptr, "(u)", [&role](GVariant* reply) {
        if (reply) g_variant_get(reply, "(u)", &role);
    });
}

void AtspiCalls::states(AtspiCallBatch& batch, const Peer& peer, const std::string& path, std::uint64_t& states) {
    batch.call(peer.destination, path, accessibleInterface, "GetState", nullptr, "(au)", [&states](GVariant* reply) {
        if (reply) states = AtspiReplies::states(child(reply, 0).get());
    });
}

void AtspiCalls::states(AtspiCallBatch& batch, const Peer& peer, const std::string& path, AtspiDetails& details,
                        std::function<void()> answered) {
    batch.call(peer.destination, path, accessibleInterface, "GetState", nullptr, "(au)",
               [&details, answered = afterAll(1, std::move(answered))](GVariant* reply) {
                   if (reply) {
                       details.states = AtspiReplies::states(child(reply, 0).get());
                       details.statesKnown = true;
                   }
                   answered();
               });
}

void AtspiCalls::keyBinding(AtspiCallBatch& batch, const Peer& peer, const std::string& path,
                            std::function<void(std::string)> done, std::function<void()> answered) {
    batch.call(peer.destination, path, "org.a11y.atspi.Action", "GetKeyBinding", g_variant_new("(i)", 0), "(s)",
               [done = std::move(done), answered = afterAll(1, std::move(answered))](GVariant* reply) {
                   if (reply) done(text(child(reply, 0).get()));
                   answered();
               });
}

} // namespace tavlin::platform::atspi
