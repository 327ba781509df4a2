#!/usr/bin/env bash
# Tavlin never waits on another application: with the application in front stopped
# (SIGSTOP), and then with the accessibility bus stopped, five presses of Alt+Space
# 100 ms apart bring the overlay up (odd count), and all the while Tavlin's main
# thread answers X11 pings at once. A scan that blocked the main thread would hold a
# ping for its whole budget (a second).
set -euo pipefail
source "$(dirname "$0")/lib.sh"
tavlin=$1 ping=$2
# The longest a ping may wait: far below a scan's budget, with room for a loaded machine.
worst_ms=500
set_accessibility true

start_app GTK "$GTK_APP"
start_tavlin "$tavlin"
hot_key
wait_shown "over the running application"
expect_text "Gtk3-demo-application" "New"
panel=$(overlay_window)
hot_key
wait_hidden "after the second press"

# presses_while_pinged WHAT: five presses under a heartbeat, then Escape.
presses_while_pinged() {
  local report pings unanswered ms
  "$ping" "$panel" 3 >"$TAVLIN_DESKTOP_DIR/ping" &
  local pinger=$!
  sleep 0.3
  local last
  for _ in 1 2 3 4 5; do hot_key; last=$(date +%s%N); sleep 0.1; done
  wait_shown "after five presses with $1"
  # A figure, not a check: the scans of the dropped shows stop early, so the last one
  # needs about one scan's budget.
  note "$1: shown $(( ($(date +%s%N) - last) / 1000000 )) ms after the fifth press"
  xdotool key Escape
  wait_hidden "after Escape with $1"
  wait "$pinger" || fail "x11-ping ended with status $?"
  report=$(cat "$TAVLIN_DESKTOP_DIR/ping")
  note "$1: $report"
  read -r _ pings _ unanswered _ ms <<<"$report"
  [ "$unanswered" = 0 ] || fail "a ping went unanswered with $1"
  [ "$pings" -gt 10 ] || fail "only $pings pings answered with $1"
  [ "$ms" -lt "$worst_ms" ] || fail "the main thread took $ms ms to answer a ping with $1"
}

# Whatever happens, nothing stays stopped: a stopped process would hold the clean-up.
stopped=()
trap 'for pid in "${stopped[@]}"; do kill -CONT "$pid" 2>/dev/null || true; done; stop_started' EXIT

stopped+=("$GTK_PID"); kill -STOP "$GTK_PID"
presses_while_pinged "the application stopped"
kill -CONT "$GTK_PID"
hot_key
wait_until 30 shows_text "New" || fail "no rows once the application runs again"
hot_key
wait_hidden "once the application runs again"

# The accessibility bus: the daemon at-spi-bus-launcher started for this desktop.
launcher=$(pgrep -P "$PPID" -f at-spi-bus-launcher) || fail "no at-spi-bus-launcher in this desktop"
bus=$(pgrep -P "$launcher" dbus-daemon) || fail "no accessibility bus daemon"
stopped+=("$bus"); kill -STOP "$bus"
presses_while_pinged "the accessibility bus stopped"
kill -CONT "$bus"
echo PASS
