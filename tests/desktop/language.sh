#!/usr/bin/env bash
# Under an English locale on GNOME everything the overlay says is English and in the
# desktop's key names: over a GTK application, its own rows and the always-present ones.
set -euo pipefail
source "$(dirname "$0")/lib.sh"
tavlin=$1
set_accessibility true
export TAVLIN_LOCALE=en_US.UTF-8 XDG_CURRENT_DESKTOP=GNOME

start_app GTK "$GTK_APP"
start_tavlin "$tavlin"

hot_key
wait_shown "after Alt+Space"
expect_text "Gtk3-demo-application" "Available shortcuts" "New" "Ctrl+N" "BASICS · ALWAYS" \
  "Switch Applications" "Alt+Tab" "SCREENSHOTS · ALWAYS" "Screenshot Tool" "Print" "Shift+Print" \
  "Alt+Space to show / hide" "Esc to close"
texts=$(overlay_texts)
! grep -F "⌘" <<<"$texts" || fail "the overlay shows the Command key"
! grep -P '[\p{Han}\p{Hiragana}\p{Katakana}]' <<<"$texts" || fail "the overlay shows Japanese"
xdotool key Escape
wait_hidden "after Escape"
echo PASS
