#!/usr/bin/env bash
# The installed tavlin on the virtual desktop: Alt+Space over a GTK 3 application, and a
# tavlin:// link opened through xdg-open with the installed desktop entry.
set -euo pipefail
source "$(dirname "$0")/lib.sh"
tavlin=$1
set_accessibility true

start_app GTK "$GTK_APP"
start_tavlin "$tavlin"

# The command line beside a running Tavlin: answers and errors stay in this process.
"$tavlin" --help | grep -q -- "--version" || fail "tavlin --help printed no usage"
status=0; "$tavlin" --no-such-option "tavlin://show" 2>/dev/null || status=$?
[ "$status" = 2 ] || fail "an unknown option ended with status $status, not 2"
sleep 0.5
overlay_hidden || fail "a start with an unknown option reached the running Tavlin"

hot_key
wait_shown "after Alt+Space"
expect_text "Gtk3-demo-application" "New"
xdotool key Escape
wait_hidden "after Escape"

# A desktop's key binding: the launcher hands the toggle over.
"$tavlin" --toggle || fail "tavlin --toggle failed"
wait_shown "after tavlin --toggle"
"$tavlin" --toggle || fail "the second tavlin --toggle failed"
wait_hidden "after the second tavlin --toggle"

xdg-open "tavlin://show?bundle=$GTK_APP_ID" || fail "xdg-open has no handler for tavlin links"
wait_shown "for tavlin://show through xdg-open"
expect_text "Gtk3-demo-application"
kill -0 "$TAVLIN_PID" || fail "the link started a second Tavlin instead of reaching the running one"
echo PASS
