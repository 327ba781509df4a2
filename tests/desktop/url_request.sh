#!/usr/bin/env bash
# "tavlin tavlin://show?bundle=ID" shows the named application; a start with a URL and
# no instance running starts Tavlin and delivers the URL after launch.
set -euo pipefail
source "$(dirname "$0")/lib.sh"
tavlin=$1
set_accessibility true

start_app GTK "$GTK_APP"
start_app QT "$QT_APP"

# No instance yet: this start becomes the instance and shows the overlay.
start_tavlin "$tavlin" "tavlin://show"
wait_shown "for a URL given at start"
expect_text "Application Example"

# A second start hands its URL to the running instance and ends.
"$tavlin" "tavlin://show?bundle=$GTK_APP_ID" || fail "the forwarding start failed"
wait_until 30 shows_text "Gtk3-demo-application" || fail "the URL did not retarget the overlay"
kill -0 "$TAVLIN_PID" || fail "the instance ended"

# Links: the desktop entry makes Tavlin the handler of the tavlin scheme.
mkdir -p "$XDG_DATA_HOME/applications" "$TAVLIN_DESKTOP_DIR/bin"
cp "$here/../../data/tavlin.desktop" "$XDG_DATA_HOME/applications/"
update-desktop-database "$XDG_DATA_HOME/applications"   # as installing the entry does
ln -s "$(realpath "$tavlin")" "$TAVLIN_DESKTOP_DIR/bin/tavlin"
PATH="$TAVLIN_DESKTOP_DIR/bin:$PATH" gio open "tavlin://show?bundle=$QT_APP_ID" || fail "no handler for tavlin links"
wait_until 30 shows_text "Application Example" || fail "the link did not retarget the overlay"

# Other schemes and hosts are ignored; the overlay stays as it was.
"$tavlin" "tavlin://hide" "https://example.org/" || fail "the forwarding start failed"
sleep 0.5
overlay_shown || fail "an ignored URL hid the overlay"
echo PASS
