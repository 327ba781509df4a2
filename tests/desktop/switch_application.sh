#!/usr/bin/env bash
# Activating another application hides the overlay, and the next Alt+Space describes it.
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
echo PASS
