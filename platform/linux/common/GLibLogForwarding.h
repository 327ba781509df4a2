#pragma once

namespace tavlin::platform {

// The messages of Tavlin's own GLib log domains ("tavlin-atspi", "tavlin-shortcuts",
// "tavlin-tables", in which the adapters written on GLib log) go to the Qt logging
// categories of the same names with dots ("tavlin.atspi", ...), so that one switch shows
// everything Tavlin logs:
//   QT_LOGGING_RULES="tavlin.*.debug=true" tavlin
// Like Tavlin's other categories these show information, warnings and criticals, and
// debug messages only when asked to. A debug message becomes qCDebug, an information or
// a message qCInfo, a warning qCWarning, a critical (or an error) qCCritical; GLib still
// ends the process after an error, as it always does, and never after a critical. The
// other domains (GLib's own, libatspi's) keep GLib's default writer and G_MESSAGES_DEBUG.
// Messages may come from any thread.
struct GLibLogForwarding {
    // Becomes GLib's log writer, which a process has only one of; later calls do
    // nothing. Call it at the start of main(), before anything logs.
    static void install();
};

} // namespace tavlin::platform
