#!/usr/bin/env bash
# Where no client may grab keys (a Wayland session), Tavlin takes Alt+Space from the
# desktop portal's global shortcuts: each activation toggles the overlay of the
# application in front. Without the portal it starts without a hot key and says how to
# bind one. (The portal here is a stand-in on the session bus.)
set -euo pipefail
source "$(dirname "$0")/lib.sh"
tavlin=$1
set_accessibility true
start_app GTK "$GTK_APP"

# No portal: Tavlin runs, and points at the command that binds the key.
WAYLAND_DISPLAY=tavlin-test "$tavlin" 2>"$TAVLIN_DESKTOP_DIR/stderr" &
pid=$!
started+=("$pid")
wait_until 20 grep -q -- "--bind-hot-key" "$TAVLIN_DESKTOP_DIR/stderr" ||
  fail "no word on the missing hot key: $(cat "$TAVLIN_DESKTOP_DIR/stderr")"
kill -0 "$pid" || fail "Tavlin did not survive the missing portal"
kill "$pid"; wait "$pid" || true

"$PYTHON" "$here/../linux/portal_standin.py" >/dev/null &
started+=($!)
press() {
  gdbus call --session -d org.freedesktop.portal.Desktop -o /standin -m tavlin.StandIn.Press / show-shortcuts \
    >/dev/null
}
wait_until 10 gdbus call --session -d org.freedesktop.portal.Desktop -o /standin -m tavlin.StandIn.Calls ||
  fail "the stand-in portal did not start"

WAYLAND_DISPLAY=tavlin-test start_tavlin "$tavlin"
gdbus call --session -d org.freedesktop.portal.Desktop -o /standin -m tavlin.StandIn.Calls |
  grep -q '"preferred_trigger": "ALT+space"' || fail "Tavlin did not ask for Alt+Space"
press
wait_shown "after the portal's activation"
# The front application comes from the accessibility bus here, as in a Wayland session.
expect_text "gtk3-demo-application" "New"
press
wait_hidden "after the second activation"
echo PASS
