#!/usr/bin/env bash
# With the desktop's accessibility switched off the overlay shows the permission notice;
# its button switches accessibility on, and the next show lists the shortcuts.
set -euo pipefail
source "$(dirname "$0")/lib.sh"
tavlin=$1
export TAVLIN_LOCALE=ja_JP.UTF-8

set_accessibility false
! accessibility_enabled || fail "could not switch accessibility off"

# The desktop's accessibility settings: Xfce's tool, played by the Qt example under
# that tool's window class.
mkdir -p "$TAVLIN_DESKTOP_DIR/bin"
printf '#!/bin/sh\necho "$@" >"%s/settings-arguments"\nexec "%s" -name xfce4-accessibility-settings\n' \
  "$TAVLIN_DESKTOP_DIR" "$QT_APP" >"$TAVLIN_DESKTOP_DIR/bin/xfce4-accessibility-settings"
chmod +x "$TAVLIN_DESKTOP_DIR/bin/xfce4-accessibility-settings"
export PATH="$TAVLIN_DESKTOP_DIR/bin:$PATH"
# An Xfce desktop: its own tool is the one chosen, whatever other desktops' tools the
# machine has.
export XDG_CURRENT_DESKTOP=XFCE
settings_in_front() { xprop -id "$(active_window)" WM_CLASS | grep -q '"xfce4-accessibility-settings"'; }

start_app GTK "$GTK_APP"
start_tavlin "$tavlin"

hot_key
wait_shown "with accessibility off"
expect_text "許可画面を開く"
expect_no_text "Ctrl+N"

click_text "許可画面を開く"
wait_hidden "after the permission button"
wait_until 30 accessibility_enabled || fail "the permission button did not switch accessibility on"
wait_until 30 test -e "$TAVLIN_DESKTOP_DIR/settings-arguments" || fail "the accessibility settings did not open"
# The window manager puts the new settings window in front as it maps it; Tavlin asks
# for it once more on its next look for the settings (every 0.25 s). Let that land
# before going back to the application, or it takes the front from under the overlay.
settings_stay_in_front() { settings_in_front && sleep 0.6 && settings_in_front; }
wait_until 30 settings_stay_in_front || fail "the accessibility settings did not come to the front"

activate "$GTK_WINDOW"
hot_key
wait_shown "with accessibility on"
wait_until 15 shows_text "Ctrl+N" || fail "no scanned rows after the permission was given"
expect_no_text "許可画面を開く"
echo PASS
