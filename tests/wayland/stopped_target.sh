#!/usr/bin/env bash
# In a Wayland session Tavlin never waits on another application either: the application
# stops (SIGSTOP) just as it gets the focus, so that the focus events it sent on the way
# are asked about while it can't answer; then five presses of Alt+Space 100 ms apart
# (each one sway's `tavlin --toggle`, through the instance's socket) bring the overlay up
# with the common rows, `tavlin --toggle` gets its answers, Escape hides the overlay, and
# all the while Tavlin's main thread answers X11 pings (through XWayland). A libatspi call
# to the stopped application on the main thread would hold a ping for its time-outs.
set -euo pipefail
source "$(dirname "$0")/lib.sh"
tavlin=$1 qt6=$2 ping=$3
# The longest a ping may wait: below the libatspi time-outs (800 ms each) that a read of
# the stopped application's windows sums up, with room for a loaded machine (showing the
# overlay through XWayland alone can take half a second there).
worst_ms=1500
set_accessibility true

start_qt6 "$qt6"
start_gtk
start_tavlin "$tavlin"
show_with "$GTK_APP_NAME" "New"
panel=$(overlay_window)
hot_key
wait_hidden "after the second press"

# Whatever happens, nothing stays stopped: a stopped process would hold the clean-up.
stopped=()
trap 'for pid in "${stopped[@]}"; do kill -CONT "$pid" 2>/dev/null || true; done; stop_started' EXIT
activate "$QT6_PID"
"$ping" "$panel" 6 >"$TAVLIN_DESKTOP_DIR/ping" &
pinger=$!
sleep 0.3
swaymsg "[pid=$GTK_PID] focus" >/dev/null
stopped+=("$GTK_PID"); kill -STOP "$GTK_PID"
wait_until 30 is_focused "$GTK_PID" || fail "the stopped application did not get the focus"
for _ in 1 2 3 4 5; do hot_key; sleep 0.1; done
wait_shown "after five presses with the application stopped"
# As show_with, without asking which application is active (the stopped one can't say).
texts_or_hidden() { shows_text "$@" || overlay_hidden; }
for attempt in 1 2 3; do
  wait_until 10 texts_or_hidden "Alt+Tab" || true # expect_text below says what is shown
  overlay_shown && break
  note "the overlay hid itself without the keyboard (press $attempt): pressing again"
  hot_key
  wait_shown "after one more press with the application stopped"
done
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

# Running again, it is described again. Its focus events arrive now, and the activation
# they tell of may hide an overlay shown just before: show it again until it describes
# the application.
kill -CONT "$GTK_PID"
shown_over_gtk() {
  overlay_shown || hot_key
  shows_text "$GTK_APP_NAME" "New"
}
wait_until 30 shown_over_gtk || fail "no rows once the application runs again"
escape_key
wait_hidden "once the application runs again"
echo PASS
