#!/usr/bin/env bash
# Alt+Space over a GTK application shows its shortcuts merged with the common ones; a
# second press hides them; Escape hides them too.
set -euo pipefail
source "$(dirname "$0")/lib.sh"
tavlin=$1
set_accessibility true
# Under a Japanese locale the texts are the system's own; the keys are the desktop's.
export TAVLIN_LOCALE=ja_JP.UTF-8

start_app GTK "$GTK_APP"
start_tavlin "$tavlin"

hot_key
wait_shown "after Alt+Space"
# The header names the application; its own rows (New Ctrl+N) come with the common ones
# (アプリを切り替える Alt+Tab), in Japanese as written.
expect_text "Gtk3-demo-application" "New" "Ctrl+N" "使用できるショートカット" "基本操作 · 常設" \
  "アプリを切り替える" "Alt+Tab" "⌥ Space で表示 / 非表示" "Esc で閉じる"

hot_key
wait_hidden "after the second Alt+Space"

# The overlay had the keyboard, yet the application stayed the target.
hot_key
wait_shown "after the third Alt+Space"
expect_text "Gtk3-demo-application" "New"
xdotool key Escape
wait_hidden "after Escape"

# The lock keys don't change the hot key.
xdotool key Num_Lock Caps_Lock
hot_key
wait_shown "with Num Lock and Caps Lock on"
hot_key
wait_hidden "with Num Lock and Caps Lock on"

# `tavlin --toggle` does what the hot key does (desktops without a grab bind it).
"$tavlin" --toggle || fail "tavlin --toggle failed"
wait_shown "after tavlin --toggle"
expect_text "Gtk3-demo-application" "New"
"$tavlin" --toggle || fail "tavlin --toggle failed"
wait_hidden "after the second tavlin --toggle"
echo PASS
