#!/usr/bin/env bash
# Alt+Space over a GTK application shows its shortcuts merged with the common ones; a
# second press hides them; Escape hides them too.
set -euo pipefail
source "$(dirname "$0")/lib.sh"
tavlin=$1
set_accessibility true

start_app GTK "$GTK_APP"
start_tavlin "$tavlin"

hot_key
wait_shown "after Alt+Space"
# The header names the application; its own rows come with the common ones.
expect_text "Gtk3-demo-application" "閉じる"
texts=$(overlay_texts)
grep -qx "⌘N" <<<"$texts" || { echo "$texts" >&2; fail "no scanned row (⌘N) in the overlay"; }
grep -qx "⌘C" <<<"$texts" || { echo "$texts" >&2; fail "no common row (⌘C) in the overlay"; }
is_active "$GTK_WINDOW" || fail "the application lost the front to the overlay"

hot_key
wait_hidden "after the second Alt+Space"

hot_key
wait_shown "after the third Alt+Space"
xdotool key Escape
wait_hidden "after Escape"
echo PASS
