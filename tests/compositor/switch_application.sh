#!/usr/bin/env bash
# On GNOME's or KDE's compositor (headless mutter or KWin, XWayland on), with Alt+Space
# bound as those desktops bind it (a custom shortcut that runs `tavlin --toggle`): the
# overlay names the application by its own desktop entry and lists its menus; Escape hides
# it; Alt+Tab back to the very application it describes hides it too (the overlay lost the
# keyboard, though no other application came to the front); a second application becomes
# the target, and so does the first again.
#
#   switch_application.sh mutter|kwin TAVLIN
set -euo pipefail
source "$(dirname "$0")/../$1/lib.sh"
set_accessibility true

start_app MOUSEPAD mousepad
TAVLIN=$2
start_tavlin "$TAVLIN"

hot_key
wait_shown "after Alt+Space over mousepad"
# Not "Text Editor Settings", the name of mousepad's other entry.
wait_until 10 shows_text "$MOUSEPAD_NAME" || expect_text "$MOUSEPAD_NAME"
expect_text "EDIT" "Ctrl+T" "Ctrl+Alt+U"   # its own Edit menu: Transpose, To Opposite Case
expect_no_text "Text Editor Settings"

escape_key
wait_hidden "after Escape"

hot_key
wait_shown "after the second Alt+Space"
wait_until 10 is_active_pid "$TAVLIN_PID" || fail "the overlay did not get the keyboard"
# The only other window is the application itself.
alt_tab
wait_until 10 is_active_pid "$MOUSEPAD_PID" || fail "Alt+Tab did not go back to mousepad"
wait_hidden "after Alt+Tab back to mousepad"

# A second application: it is the target once it is in front.
start_app GTK gtk3-demo-application
show_over "$GTK_APP_NAME"
expect_text "PREFERENCES" "Ctrl+R"   # its own Preferences menu: Red
expect_no_text "$MOUSEPAD_NAME"

bring_to_front "$MOUSEPAD_PID"
wait_hidden "after mousepad came to the front"
show_over "$MOUSEPAD_NAME"
expect_no_text "$GTK_APP_NAME"
echo PASS
