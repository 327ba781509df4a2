#!/usr/bin/env bash
# Activating another application hides the overlay, and the next Alt+Space describes it.
# Activating the very application the overlay describes (Alt+Tab back to it) hides it
# too: the overlay lost the keyboard.
set -euo pipefail
source "$(dirname "$0")/lib.sh"
tavlin=$1
set_accessibility true

start_app QT "$QT_APP"
start_app GTK "$GTK_APP"
xdotool windowmove "$QT_WINDOW" 0 0 windowmove "$GTK_WINDOW" 700 300
start_tavlin "$tavlin"

hot_key
wait_shown "over the GTK application"
expect_text "Gtk3-demo-application"

# A click on the other application brings it to the front.
xdotool mousemove --window "$QT_WINDOW" 40 120 click 1
wait_until 30 is_active "$QT_WINDOW" || activate "$QT_WINDOW"
wait_hidden "after switching to the Qt application"

hot_key
wait_shown "over the Qt application"
expect_text "Application Example"
expect_no_text "Gtk3-demo-application"

# Back to the application it describes, as Alt+Tab would: no other application came to
# the front, yet the overlay is left without the keyboard.
xdotool windowactivate "$QT_WINDOW" 2>/dev/null || true
wait_until 30 is_active "$QT_WINDOW" || fail "the Qt application did not come back to the front"
wait_hidden "after activating the application it describes"
hot_key
wait_shown "over the Qt application again"
expect_text "Application Example"
echo PASS
