#!/usr/bin/env bash
# In a Wayland session, focusing another application hides the overlay and the next
# Alt+Space describes that application; Tavlin started by the key binding itself (no
# instance yet) shows the overlay at once.
set -euo pipefail
source "$(dirname "$0")/lib.sh"
tavlin=$1 qt6=$2
set_accessibility true

start_gtk
start_qt6 "$qt6"

# The first press starts Tavlin, which then does what the press asks.
start_tavlin "$tavlin" --toggle
wait_shown "when the first Alt+Space started Tavlin"
# The Qt 6 window was focused last; its record comes from its desktop entry.
expect_text "$QT6_APP_NAME" "New" "Clear"
expect_no_text "$GTK_APP_NAME"

activate "$GTK_PID"
wait_hidden "after focusing the GTK application"
# The overlay hides as soon as it loses the keyboard, which can be before the
# application in front has told the accessibility bus: the next press waits for that.
wait_until 30 is_active_pid "$GTK_PID" || fail "the GTK application did not become active on the bus"

show_with "$GTK_APP_NAME" "New"
expect_no_text "$QT6_APP_NAME"

# And back, with the overlay hidden first.
hot_key
wait_hidden "after the second Alt+Space"
activate "$QT6_PID"
wait_until 30 is_active_pid "$QT6_PID" || fail "the Qt 6 application did not become active on the bus"
show_with "$QT6_APP_NAME" "Clear"
echo PASS
