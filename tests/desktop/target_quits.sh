#!/usr/bin/env bash
# The application in front quits while the overlay shows its rows: the overlay goes
# away, and the next Alt+Space, with nothing else in front, shows nothing of it.
set -euo pipefail
source "$(dirname "$0")/lib.sh"
tavlin=$1
set_accessibility true

start_app GTK "$GTK_APP"
start_tavlin "$tavlin"
hot_key
wait_shown "after Alt+Space"
expect_text "Gtk3-demo-application" "New"

kill -9 "$GTK_PID"
wait_hidden "after its application was killed"
wait_until 10 test "$(active_window)" != "$(printf '0x%x' "$GTK_WINDOW")" || true
hot_key
sleep 2
if overlay_shown; then expect_no_text "Gtk3-demo-application" "New"; fi
kill -0 "$TAVLIN_PID" || fail "Tavlin ended"

# A new application in front is shown as usual.
start_app QT "$QT_APP"
hot_key
wait_shown "over the next application"
expect_text "Application Example"
echo PASS
