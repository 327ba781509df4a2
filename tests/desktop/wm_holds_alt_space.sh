#!/usr/bin/env bash
# Run under "scripts/with-desktop --wm-holds-alt-space": the window manager keeps
# Alt+Space, so Tavlin gets no hot key, yet it starts, and URL requests and the tray
# menu still show the overlay.
set -euo pipefail
source "$(dirname "$0")/lib.sh"
tavlin=$1
set_accessibility true

trayer --edge top --align right --widthtype pixel --width 120 --height 32 --transparent false \
  >/dev/null 2>&1 &
started+=($!)
wait_until 10 xdotool search --onlyvisible --class trayer || fail "no tray"

start_app GTK "$GTK_APP"
start_tavlin "$tavlin"
kill -0 "$TAVLIN_PID" || fail "Tavlin did not survive the refused hot key"

"$tavlin" "tavlin://show" || fail "the forwarding start failed"
wait_shown "for a URL"
expect_text "Gtk3-demo-application"
xdotool key Escape
wait_hidden "after Escape"

# The tray icon: Tavlin's window inside the tray. A click opens the menu; its first
# entry shows the overlay.
tray_icon() { xdotool search --pid "$TAVLIN_PID" --onlyvisible --name '' 2>/dev/null | while read -r w; do
  [ "$w" != "$(overlay_window)" ] && echo "$w"; done | head -n1; }
wait_until 10 tray_icon || fail "no tray icon"
icon=$(tray_icon)
xdotool mousemove --window "$icon" 8 8 click 1
wait_until 10 "$PYTHON" "$here/overlay.py" centre "ショートカットを表示  ⌥Space" || fail "the tray menu did not open"
click_text "ショートカットを表示  ⌥Space"
wait_shown "from the tray menu"
expect_text "Gtk3-demo-application"
echo PASS
