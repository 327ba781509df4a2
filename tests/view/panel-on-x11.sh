#!/usr/bin/env bash
# The overlay panel on a real X server with a window manager: on every desktop, out of
# the task bar and pager, above other windows, not movable, active, and Escape pressed
# on the keyboard reaches the view and calls its close action once. Checked at the
# first show and again when the hidden panel is shown a second time.
# No compositing manager runs at the first show: the window is cut to the card, and the
# desktop shows around it and in its rounded corners, not black. Before the second show
# the driver takes the compositing manager's selection: the window is then whole.
#   panel-on-x11.sh PANEL_ON_DESKTOP_BINARY
set -euo pipefail
here=$(cd "$(dirname "$0")" && pwd)
driver=$1

if [ -z "${TAVLIN_DESKTOP_DIR:-}" ]; then
  exec "$here/../../scripts/with-desktop" -- "$0" "$@"
fi

out="$TAVLIN_DESKTOP_DIR/panel.out"
shot="$TAVLIN_DESKTOP_DIR/screen.png"
# A plain desktop colour, to tell from the card and from black.
desktop=3D6FA8
convert -size 16x16 "xc:#$desktop" "$TAVLIN_DESKTOP_DIR/desktop.png"
display -window root "$TAVLIN_DESKTOP_DIR/desktop.png" || true # sets the root background; exits 1
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

pixels() { # x,y...: the screen's colours at those points, as hex RRGGBB
  import -window root "png:$shot"
  local format=""
  for point in "$@"; do format+="%[hex:p{$point}] "; done
  convert "$shot" -format "$format" info:
}

check_cut_to_card() {
  local shape corners
  shape=$(xwininfo -id "$window" -shape)
  grep -q 'Window shape extents:  964x604+18+18' <<<"$shape" || fail "first show: not cut to the card: $shape"
  # The panel's corners, points in the card's rounded corners and inside the margin;
  # then the card's middle. Polled: the panel paints shortly after it is mapped.
  local points=(200,100 1199,739 220,120 1179,719 1179,120 220,719 700,110 205,420 700,500)
  for _ in $(seq 50); do
    corners=$(pixels "${points[@]}")
    [ "$corners" = "$(printf "$desktop %.0s" $(seq 8))$(awk '{print $9}' <<<"$corners") " ] &&
      [ "$(awk '{print $9}' <<<"$corners")" != "$desktop" ] && return 0
    sleep 0.1
  done
  fail "first show: around the card the screen is not the desktop (${points[*]}: $corners)"
}

[ "$(pixels 5,5)" = "$desktop " ] || fail "could not set the desktop background"
wait_for_line '^window ' || fail "the panel did not come up"
window=$(awk '/^window /{print $2}' "$out")
check_shown "first show"
grep -q '^shaped 1$' "$out" || fail "first show: no compositor, yet not shaped"
check_cut_to_card
xdotool key Escape
wait_for_line '^shown again$' || fail "the panel did not close on Escape"
[ "$(grep -c '^close$' "$out")" -eq 1 ] || fail "close was not called exactly once"

check_shown "second show"
grep -q '^shaped 0$' "$out" || fail "second show: a compositor runs, yet still shaped"
xwininfo -id "$window" -shape | grep -qE 'No window shape defined|Window shape extents:  1000x640\+0\+0' ||
  fail "second show: the window is still cut with a compositor running: $(xwininfo -id "$window" -shape)"
xdotool key Escape
for _ in $(seq 50); do kill -0 "$pid" 2>/dev/null || break; sleep 0.1; done
wait "$pid" || fail "the panel did not close on the second Escape"
[ "$(grep -c '^close$' "$out")" -eq 2 ] || fail "close was not called exactly once more"
echo "1 passed, 0 failed"
