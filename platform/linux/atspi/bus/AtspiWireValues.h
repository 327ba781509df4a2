#pragma once

#include <dbus/dbus.h>
#include <glib.h>

namespace tavlin::platform::atspi {

// Values between libdbus messages and GVariant, for the calls that go over the wire (see
// AtspiWire): the arguments of a call, and the body of a reply.
struct AtspiWireValues {
    // Appends the children of a tuple as the message's arguments. Strings, object paths,
    // numbers, truth values and variants of them are all a call of the reader or of the
    // permission check sends; false, leaving the message unfit to send, for anything else.
    static bool append(DBusMessage* message, GVariant* tuple);
    // The arguments of a message as a tuple (a new, non-floating reference), or null when
    // one holds a type GVariant doesn't have (a file descriptor).
    static GVariant* body(DBusMessage* message);
};

} // namespace tavlin::platform::atspi
