#!/usr/bin/env bash
# The overlay panel on a real X server with a window manager: on every desktop, out of
# the task bar and pager, above other windows, not movable, active, and Escape pressed
# on the keyboard reaches the view and calls its close action once. Checked at the
# first show and again when the hidden panel is shown a second time.
#   panel-on-x11.sh PANEL_ON_DESKTOP_BINARY
set -euo pipefail
here=$(cd "$(dirname "$0")" && pwd)
driver=$1

if [ -z "${TAVLIN_DESKTOP_DIR:-}" ]; then
  exec "$here/../../scripts/with-desktop" -- "$0" "$@"
fi

out="$TAVLIN_DESKTOP_DIR/panel.out"
QT_QPA_PLATFORM=xcb "$driver" >"$out" &
pid=$!
fail() { echo "FAIL: $*" >&2; cat "$out" >&2; kill "$pid" 2>/dev/null || true; exit 1; }
wait_for_line() { # pattern: waits up to 10 s for a line of the driver's output
  for _ in $(seq 100); do grep -q "$1" "$out" && return 0; sleep 0.1; done
  return 1
}

check_shown() { # what: checks the mapped panel's properties and focus
  local what=$1 props
  # The window manager takes a moment to map the window and give it the focus.
  for _ in $(seq 50); do
    xprop -root _NET_ACTIVE_WINDOW | grep -qi "$window" && break
    sleep 0.1
  done
  props=$(xprop -id "$window" _NET_WM_STATE _NET_WM_DESKTOP _MOTIF_WM_HINTS)
  echo "$what: $props"
  xprop -root _NET_ACTIVE_WINDOW | grep -qi "$window" || fail "$what: the panel is not the active window"
  grep -q '_NET_WM_DESKTOP(CARDINAL) = 4294967295' <<<"$props" || fail "$what: not on every desktop"
  for state in _NET_WM_STATE_SKIP_TASKBAR _NET_WM_STATE_SKIP_PAGER _NET_WM_STATE_ABOVE; do
    grep -q "$state" <<<"$props" || fail "$what: no $state"
  done
  grep -q '_MOTIF_WM_HINTS(_MOTIF_WM_HINTS) = 0x3, 0x20, 0x0' <<<"$props" || fail "$what: movable or decorated"
}

wait_for_line '^window ' || fail "the panel did not come up"
window=$(awk '/^window /{print $2}' "$out")
check_shown "first show"
xdotool key Escape
wait_for_line '^shown again$' || fail "the panel did not close on Escape"
[ "$(grep -c '^close$' "$out")" -eq 1 ] || fail "close was not called exactly once"

check_shown "second show"
xdotool key Escape
for _ in $(seq 50); do kill -0 "$pid" 2>/dev/null || break; sleep 0.1; done
wait "$pid" || fail "the panel did not close on the second Escape"
[ "$(grep -c '^close$' "$out")" -eq 2 ] || fail "close was not called exactly once more"
echo "1 passed, 0 failed"
