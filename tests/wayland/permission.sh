#!/usr/bin/env bash
# In a Wayland session, with the desktop's accessibility switched off the overlay still
# names the application in front and shows the permission notice; its button switches
# accessibility on, opens the accessibility settings and brings them to the front (sway
# focuses them on request), and the next show lists the shortcuts.
set -euo pipefail
source "$(dirname "$0")/lib.sh"
tavlin=$1 qt6=$2
# The notice's button is found by its text: read it in the source language.
{ export LC_ALL=ja_JP.UTF-8 LANGUAGE=ja; } 2>/dev/null

set_accessibility false
! accessibility_enabled || fail "could not switch accessibility off"

# The desktop's accessibility settings: Xfce's tool, played by the Qt 6 window under
# that tool's file name, with a desktop entry of its own.
mkdir -p "$TAVLIN_DESKTOP_DIR/bin" "$TAVLIN_DESKTOP_DIR/libexec" "$XDG_DATA_HOME/applications"
cp "$qt6" "$TAVLIN_DESKTOP_DIR/libexec/xfce4-accessibility-settings"
printf '#!/bin/sh\necho "$@" >"%s/settings-arguments"\nQT_QPA_PLATFORM=wayland exec "%s"\n' \
  "$TAVLIN_DESKTOP_DIR" "$TAVLIN_DESKTOP_DIR/libexec/xfce4-accessibility-settings" \
  >"$TAVLIN_DESKTOP_DIR/bin/xfce4-accessibility-settings"
chmod +x "$TAVLIN_DESKTOP_DIR/bin/xfce4-accessibility-settings"
printf '[Desktop Entry]\nType=Application\nName=Accessibility\nExec=xfce4-accessibility-settings\n' \
  >"$XDG_DATA_HOME/applications/xfce4-accessibility-settings.desktop"
export PATH="$TAVLIN_DESKTOP_DIR/bin:$PATH"
# sway with Xfce's settings: their tool is the one chosen, whatever other desktops'
# tools the machine has.
export XDG_CURRENT_DESKTOP=sway:XFCE
settings_pid() { pgrep -u "$(id -u)" -f "$TAVLIN_DESKTOP_DIR/libexec/xfce4-accessibility-settings" | head -n1; }
settings_in_front() { local pid; pid=$(settings_pid) && [ -n "$pid" ] && is_focused "$pid"; }

start_gtk
start_tavlin "$tavlin"

hot_key
wait_shown "with accessibility off"
expect_text "$GTK_APP_NAME" "許可画面を開く"
expect_no_text "New"

click_text "許可画面を開く"
wait_hidden "after the permission button"
wait_until 30 accessibility_enabled || fail "the permission button did not switch accessibility on"
wait_until 30 test -e "$TAVLIN_DESKTOP_DIR/settings-arguments" || fail "the accessibility settings did not open"
wait_until 30 settings_pid || fail "the accessibility settings did not start"
started+=("$(settings_pid)")
# Tavlin looks for the settings on the accessibility bus every 0.25 s for a while and
# asks sway to focus them once they are there: let that land before going back to the
# application, or it takes the front from under the overlay.
wait_until 30 on_bus "$(settings_pid)" || fail "the accessibility settings are not on the bus"
settings_stay_in_front() { settings_in_front && sleep 0.6 && settings_in_front; }
wait_until 30 settings_stay_in_front || fail "the accessibility settings did not come to the front"

activate "$GTK_PID"
hot_key
wait_shown "with accessibility on"
wait_until 15 shows_text "$GTK_APP_NAME" "New" || { overlay_texts >&2; echo "focused: $(focused_pid) gtk $GTK_PID settings $(settings_pid)" >&2; fail "no scanned rows after the permission was given"; }
expect_no_text "許可画面を開く"
echo PASS
