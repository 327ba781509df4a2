#!/usr/bin/env bash
# The browsers give no menu bar to read: the overlay shows Tavlin's table for each, merged
# with the always-present rows (the browser's own title on a key both have), in English
# and under a Japanese locale.
set -euo pipefail
source "$(dirname "$0")/lib.sh"
tavlin=$1
set_accessibility true
profiles=$(mktemp -d)
trap 'stop_started; rm -rf "$profiles"' EXIT

start_app CHROMIUM chromium --no-sandbox --user-data-dir="$profiles/chromium" --no-first-run --disable-gpu \
  --disable-background-networking --disable-component-update --disable-sync --password-store=basic about:blank
start_tavlin "$tavlin"
hot_key
wait_shown "over Chromium"
# A row of the table, and the common Ctrl+W row under the browser's own title.
wait_until 10 shows_text "New Incognito Window" "Reopen Closed Tab" "Close Tab" "Copy" ||
  expect_text "New Incognito Window" "Reopen Closed Tab" "Close Tab" "Copy"
hot_key
wait_hidden "after the second Alt+Space"

start_app FIREFOX firefox-esr --no-remote --profile "$profiles/firefox" about:blank
hot_key
wait_shown "over Firefox"
wait_until 10 shows_text "New Private Window" "Reader View" "Close Tab" "Copy" ||
  expect_text "New Private Window" "Reader View" "Close Tab" "Copy"
expect_no_text "New Incognito Window"
hot_key
wait_hidden "after the second Alt+Space over Firefox"

# The same table in Japanese, with the common rows in Japanese.
TAVLIN_LOCALE=ja_JP.UTF-8 restart_tavlin "$tavlin"
activate "$FIREFOX_WINDOW"
hot_key
wait_shown "over Firefox, in Japanese"
wait_until 10 shows_text "新しいプライベートウィンドウ" "コピー" || expect_text "新しいプライベートウィンドウ" "コピー"
echo PASS
