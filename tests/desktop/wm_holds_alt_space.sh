#!/usr/bin/env bash
# Run under "scripts/with-desktop --wm-holds-alt-space": the window manager keeps
# Alt+Space, so Tavlin gets no hot key, yet it starts, and URL requests and the tray
# menu still show the overlay.
set -euo pipefail
source "$(dirname "$0")/lib.sh"
tavlin=$1
set_accessibility true

start_tray

start_app GTK "$GTK_APP"
errors=$(mktemp)
start_tavlin "$tavlin" 2> >(tee "$errors" >&2)
kill -0 "$TAVLIN_PID" || fail "Tavlin did not survive the refused hot key"
# One line says why and where the README helps.
grep -q '^tavlin: no hot key: another program (often the window manager) holds Alt+Space (README: "Getting Alt+Space")$' "$errors" ||
  fail "no line on stderr that names the cause: $(cat "$errors")"
# Alt+Space is the window manager's: its window menu opens, not the overlay.
hot_key
sleep 0.5
overlay_hidden || fail "the overlay showed although the window manager holds Alt+Space"
xdotool key Escape

"$tavlin" "tavlin://show" || fail "the forwarding start failed"
wait_shown "for a URL"
expect_text "Gtk3-demo-application"
xdotool key Escape
wait_hidden "after Escape"

# The tray icon: a click opens the menu; its first entry, "ショートカットを表示  ⌥Space",
# shows the overlay.
open_tray_menu
xdotool key Down Return
wait_shown "from the tray menu"
expect_text "Gtk3-demo-application"
echo PASS
