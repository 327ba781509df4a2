#pragma once

#include "platform/linux/atspi/bus/AtspiDetails.h"

#include <dbus/dbus.h>

#include <cstdint>
#include <optional>
#include <string>
#include <utility>
#include <vector>

namespace tavlin::platform::atspi {

// The values of AT-SPI replies read in place into plain data. Each reader takes a reply
// of one layout, and gives nothing (or nothing of it) for any other.
struct AtspiReplies {
    // An object reference: its bus name and path.
    using Reference = std::pair<std::string, std::string>;

    // The object references of a reply whose only value is an "a(so)".
    static std::vector<Reference> references(DBusMessage* reply);
    // The paths of those that live on `bus`.
    static std::vector<std::string> pathsOn(DBusMessage* reply, const std::string& bus);
    // The only value of a reply: an "s", a "u", an "au" of states (two 32-bit words, the
    // first holding the low bits), or a "v" holding an "s" or a "b".
    static std::optional<std::string> text(DBusMessage* reply);
    static std::optional<std::uint32_t> number(DBusMessage* reply);
    static std::optional<std::uint64_t> states(DBusMessage* reply);
    static std::optional<std::string> textInVariant(DBusMessage* reply);
    static std::optional<bool> truthInVariant(DBusMessage* reply);
    // Reads the toolkit's cache of its objects (GTK answers it; Qt answers an empty list):
    // the objects of the reply that live on `bus` are added to `objects`. Returns false,
    // adding nothing, when the reply has neither of the two layouts in use.
    static bool read(DBusMessage* reply, const std::string& bus, AtspiDetails::ByPath& objects);
};

} // namespace tavlin::platform::atspi
