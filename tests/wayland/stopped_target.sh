#!/usr/bin/env bash
# In a Wayland session Tavlin never waits on another application either: with the
# application in front stopped (SIGSTOP), focus moved away from it and back, five presses
# of Alt+Space 100 ms apart (each one sway's `tavlin --toggle`, through the instance's
# socket) bring the overlay up with the common rows, Escape hides it, and all the while
# Tavlin's main thread answers X11 pings (through XWayland) at once. A libatspi call to
# the stopped application on the main thread would hold a ping for its time-out.
set -euo pipefail
source "$(dirname "$0")/lib.sh"
tavlin=$1 qt6=$2 ping=$3
# The longest a ping may wait: far below libatspi's time-out, with room for a loaded machine.
worst_ms=500
set_accessibility true

start_qt6 "$qt6"
start_gtk
start_tavlin "$tavlin"
hot_key
wait_shown "over the running application"
expect_text "$GTK_APP_NAME" "New"
panel=$(overlay_window)
hot_key
wait_hidden "after the second press"

# Whatever happens, nothing stays stopped: a stopped process would hold the clean-up.
stopped=()
trap 'for pid in "${stopped[@]}"; do kill -CONT "$pid" 2>/dev/null || true; done; stop_started' EXIT
stopped+=("$GTK_PID"); kill -STOP "$GTK_PID"

"$ping" "$panel" 6 >"$TAVLIN_DESKTOP_DIR/ping" &
pinger=$!
sleep 0.3
# The focus leaves the stopped application and comes back: its window's events and
# states are asked of it, and it doesn't answer.
activate "$QT6_PID"
activate "$GTK_PID"
for _ in 1 2 3 4 5; do hot_key; sleep 0.1; done
wait_shown "after five presses with the application stopped"
expect_text "Alt+Tab"
# The instance's socket answers a toggle of its own.
"$tavlin" --toggle || fail "tavlin --toggle got no answer with the application stopped"
wait_hidden "after tavlin --toggle with the application stopped"
"$tavlin" --toggle || fail "tavlin --toggle got no answer with the application stopped"
wait_shown "after another tavlin --toggle"
escape_key
wait_hidden "after Escape with the application stopped"
wait "$pinger" || fail "x11-ping ended with status $?"
report=$(cat "$TAVLIN_DESKTOP_DIR/ping")
note "the application stopped: $report"
read -r _ pings _ unanswered _ ms <<<"$report"
[ "$unanswered" = 0 ] || fail "a ping went unanswered"
[ "$pings" -gt 10 ] || fail "only $pings pings answered"
[ "$ms" -lt "$worst_ms" ] || fail "the main thread took $ms ms to answer a ping"

# Running again, it is described again.
kill -CONT "$GTK_PID"
hot_key
wait_until 30 shows_text "New" || fail "no rows once the application runs again"
hot_key
wait_hidden "once the application runs again"
echo PASS
