#!/usr/bin/env bash
# In a Wayland session, Alt+Space (sway's binding to `tavlin --toggle`) over a native GTK
# application shows its shortcuts; a second press hides them; Escape hides them too.
# Without XWayland, Tavlin refuses to start.
set -euo pipefail
source "$(dirname "$0")/lib.sh"
tavlin=$1
set_accessibility true

start_gtk
start_tavlin "$tavlin"

hot_key
wait_shown "after Alt+Space"
expect_text "$GTK_APP_NAME" "New" "Save As..."

hot_key
wait_hidden "after the second Alt+Space"

# The overlay had the keyboard, yet the application stayed the target.
hot_key
wait_shown "after the third Alt+Space"
expect_text "$GTK_APP_NAME" "New"
# Escape is the overlay's own key press: it holds the keyboard through XWayland.
escape_key
wait_hidden "after Escape"

# A Wayland session without XWayland: Tavlin says so and ends with a failure.
! env -u DISPLAY "$tavlin" tavlin://show 2>"$TAVLIN_DESKTOP_DIR/no-xwayland" || fail "started without XWayland"
grep -q XWayland "$TAVLIN_DESKTOP_DIR/no-xwayland" || fail "no word about XWayland"
echo PASS
