#!/usr/bin/env bash
# A tray that starts after Tavlin (a panel that comes up late at login) gets Tavlin's
# icon; when the tray ends and starts again (a panel restart), the icon goes back in.
set -euo pipefail
source "$(dirname "$0")/lib.sh"
tavlin=$1

start_tavlin "$tavlin"
sleep 1
! tray_icon >/dev/null || fail "an icon on screen without a tray"

start_tray
tray=${started[-1]}
wait_until 15 icon_docked || fail "the icon did not go into a tray that started later"

kill "$tray"; wait "$tray" 2>/dev/null || true
wait_until 15 eval '! tray_icon' || fail "the icon stayed on screen without its tray"
start_tray
wait_until 15 icon_docked || fail "the icon did not come back into the restarted tray"

# The icon works: its menu opens.
open_tray_menu
kill -0 "$TAVLIN_PID" || fail "Tavlin ended"
echo PASS
