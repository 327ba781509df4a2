#pragma once

#include "platform/linux/atspi/bus/AtspiDetails.h"

#include <dbus/dbus.h>
#include <glib.h>

#include <cstdint>
#include <string>
#include <vector>

namespace tavlin::platform::atspi {

// The values of AT-SPI replies read into plain data: object references, states, and the
// toolkit's cache of its objects.
struct AtspiReplies {
    // The states of an "au" value: two 32-bit words, the first holding the low bits.
    static std::uint64_t states(GVariant* words);
    // The paths of the object references in an "a(so)" value that live on `bus`.
    static std::vector<std::string> pathsOn(GVariant* references, const std::string& bus);
    // The same of a reply whose only value is an "a(so)".
    static std::vector<std::string> pathsOn(DBusMessage* reply, const std::string& bus);
    // Reads the toolkit's cache of its objects (GTK answers it; Qt answers an empty list):
    // the objects of the reply that live on `bus` are added to `objects`. Returns false,
    // adding nothing, when the reply has neither of the two layouts in use.
    static bool read(DBusMessage* reply, const std::string& bus, AtspiDetails::ByPath& objects);
};

} // namespace tavlin::platform::atspi
