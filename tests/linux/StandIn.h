#pragma once

#include <gio/gio.h> // before Qt, whose "signals" keyword clashes with it

#include <QJsonArray>
#include <QJsonDocument>

#include <string>

// The control object of a stand-in service on a private bus (/standin, tavlin.StandIn):
// the calls it recorded, and its other controls.
class StandIn {
public:
    StandIn(const std::string& address, std::string service)
        : service_(std::move(service)),
          bus_(g_dbus_connection_new_for_address_sync(
              address.c_str(),
              GDBusConnectionFlags(G_DBUS_CONNECTION_FLAGS_AUTHENTICATION_CLIENT |
                                   G_DBUS_CONNECTION_FLAGS_MESSAGE_BUS_CONNECTION),
              nullptr, nullptr, nullptr)) {}
    ~StandIn() {
        if (bus_) g_object_unref(bus_);
    }
    StandIn(const StandIn&) = delete;
    StandIn& operator=(const StandIn&) = delete;

    // Every recorded call: [method, arguments...].
    QJsonArray calls() {
        GVariant* reply = invoke("Calls", nullptr);
        if (!reply) return {};
        const char* json = nullptr;
        g_variant_get(reply, "(&s)", &json);
        QJsonArray calls = QJsonDocument::fromJson(json).array();
        g_variant_unref(reply);
        return calls;
    }
    // The first recorded call of `method`; empty when there was none.
    QJsonArray call(const QString& method) {
        for (const auto c : calls())
            if (c.toArray().at(0).toString() == method) return c.toArray();
        return {};
    }
    // Calls a control method; the reply (to unref) or null.
    GVariant* invoke(const char* method, GVariant* parameters) {
        return g_dbus_connection_call_sync(bus_, service_.c_str(), "/standin", "tavlin.StandIn", method, parameters,
                                           nullptr, G_DBUS_CALL_FLAGS_NONE, 5000, nullptr, nullptr);
    }

    // The test's own connection: another client on the bus.
    GDBusConnection* connection() const { return bus_; }

private:
    std::string service_;
    GDBusConnection* bus_;
};
