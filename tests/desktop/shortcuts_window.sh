#!/usr/bin/env bash
# GNOME Text Editor and GNOME Files have no menu bar; their rows come from the shortcuts
# window each ships in its resources, in their own groups and titles: in English under
# an English locale, in the applications' own Japanese under a Japanese one. Read with
# tavlin-scan, and on the overlay as a user sees it.
#
#   shortcuts_window.sh TAVLIN TAVLIN_SCAN
set -euo pipefail
source "$(dirname "$0")/lib.sh"
tavlin=$1 scan=$2
set_accessibility true
export XDG_CURRENT_DESKTOP=GNOME

# A Japanese locale of the test's own (no root needed), unless the system has one.
if ! locale -a 2>/dev/null | grep -qix 'ja_JP.utf-\?8'; then
  export LOCPATH="$TAVLIN_DESKTOP_DIR/locale"
  mkdir -p "$LOCPATH"
  localedef --no-archive -i ja_JP -f UTF-8 "$LOCPATH/ja_JP.UTF-8" >/dev/null 2>&1 ||
    [ -e "$LOCPATH/ja_JP.UTF-8/LC_MESSAGES" ] || fail "can't make a Japanese locale (package locales)"
fi
for catalogue in nautilus gnome-text-editor; do
  [ -e "/usr/share/locale/ja/LC_MESSAGES/$catalogue.mo" ] || fail "no Japanese catalogue of $catalogue"
done

start_app EDITOR gnome-text-editor
start_app FILES nautilus --new-window
# A window comes before its application's registration on the accessibility bus.
wait_until 30 on_bus "$EDITOR_PID" || fail "Text Editor is not on the accessibility bus"
wait_until 30 on_bus "$FILES_PID" || fail "Files is not on the accessibility bus"

# rows LOCALE PID: the rows tavlin-scan reads, as "source | group | title | keys" lines.
rows() {
  LANG=$1 LC_ALL= LC_MESSAGES= LANGUAGE= "$scan" --pid "$2" --json | "$PYTHON" -c '
import json, sys
for row in json.load(sys.stdin): print(" | ".join([row["source"], row["group"], row["title"], row["keys"]]))'
}
# expect_rows WHAT ROWS LINE...: each LINE is among ROWS.
expect_rows() {
  local what=$1 got=$2; shift 2
  for line in "$@"; do
    grep -qxF -- "$line" <<<"$got" || { echo "$got" >&2; fail "$what: no row \"$line\""; }
  done
}
# expect_count WHAT ROWS AT_LEAST: at least that many rows, every one from the shortcuts window.
expect_count() {
  local count; count=$(grep -c . <<<"$2")
  [ "$count" -ge "$3" ] || { echo "$2" >&2; fail "$1: $count rows"; }
  ! grep -v '^shortcuts-window | ' <<<"$2" || fail "$1: rows from another source"
  note "$1: $count rows"
}

editor_en=$(rows en_US.UTF-8 "$EDITOR_PID")
expect_count "Text Editor in English" "$editor_en" 40
expect_rows "Text Editor in English" "$editor_en" \
  "shortcuts-window | Windows | New window | ⌘N" "shortcuts-window | Zoom | Zoom In | ⌘+" \
  "shortcuts-window | Documents | Save As | ⇧⌘S" "shortcuts-window | Editing | Toggle overwrite | ⌨"
editor_ja=$(rows ja_JP.UTF-8 "$EDITOR_PID")
expect_count "Text Editor in Japanese" "$editor_ja" 40
expect_rows "Text Editor in Japanese" "$editor_ja" \
  "shortcuts-window | ウィンドウ | 新しいウィンドウ | ⌘N" "shortcuts-window | ズーム | 拡大する | ⌘+"

# Nautilus's window shows two keys for some shortcuts ("Return <Primary>o"): one row each.
files_en=$(rows en_US.UTF-8 "$FILES_PID")
expect_count "Files in English" "$files_en" 45
expect_rows "Files in English" "$files_en" \
  "shortcuts-window | General | New window | ⌘N" "shortcuts-window | Opening | Open | ↩" \
  "shortcuts-window | Opening | Open | ⌘O" "shortcuts-window | Tabs | New tab | ⌘T"
files_ja=$(rows ja_JP.UTF-8 "$FILES_PID")
expect_count "Files in Japanese" "$files_ja" 45
expect_rows "Files in Japanese" "$files_ja" \
  "shortcuts-window | 全般 | 新しいウィンドウ | ⌘N" "shortcuts-window | 開き方 | 開く | ↩" \
  "shortcuts-window | タブ | 新しいタブを開く | ⌘T"

# The overlay over each, in English, then in Japanese.
TAVLIN_LOCALE=en_US.UTF-8 start_tavlin "$tavlin"
activate "$EDITOR_WINDOW"
hot_key
wait_shown "over Text Editor"
wait_until 10 shows_text "New window" "Ctrl+N" "Zoom In" "Save As" || expect_text "New window" "Ctrl+N" "Zoom In" "Save As"
xdotool key Escape
wait_hidden "after Escape"
activate "$FILES_WINDOW"
hot_key
wait_shown "over Files"
expect_text "New window" "New tab" "Bookmark current location"
xdotool key Escape
wait_hidden "after Escape"
TAVLIN_LOCALE=ja_JP.UTF-8 restart_tavlin "$tavlin"
activate "$EDITOR_WINDOW"
hot_key
wait_shown "over Text Editor in Japanese"
expect_text "新しいウィンドウ" "拡大する"
xdotool key Escape
wait_hidden "after Escape"
activate "$FILES_WINDOW"
hot_key
wait_shown "over Files in Japanese"
expect_text "新しいウィンドウ" "新しいタブを開く"
[ -z "${TAVLIN_SHORTCUTS_SHOT:-}" ] || screenshot "$TAVLIN_SHORTCUTS_SHOT"
echo PASS
