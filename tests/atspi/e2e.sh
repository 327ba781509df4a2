#!/usr/bin/env bash
# End-to-end checks of reading real applications' menus through AT-SPI. Runs inside
# scripts/with-desktop (a private Xvfb, D-Bus session, AT-SPI bus and window manager).
#
#   e2e.sh CHECK TAVLIN_SCAN ATSPI_PROBE QT5_APPLICATION_EXAMPLE [QT6_MENUS_FIXTURE]
#
# CHECK is one of gtk3-demo, qt5-application, qt6-menus, stopped-target,
# quitting-target, permission, descriptors, big-menus, libreoffice-writer, kate,
# dolphin, global-menu.
set -euo pipefail
check=$1 scan=$2 probe=$3 qt_application=$4 qt6_menus=${5:-}

started=()
cleanup() { for pid in "${started[@]}"; do kill -9 "$pid" 2>/dev/null || true; done; }
trap cleanup EXIT
fail() { echo "FAIL: $*" >&2; exit 1; }

# Starts an application in the background; its pid is left in $app.
start() { "$@" >/dev/null 2>&1 & app=$!; started+=("$app"); }
# Waits until the application has registered and its menu bar reads as rows, for as long
# as a loaded machine needs (a generated bar of 5,000 items takes a while to build) and
# the application runs.
await_rows() {
  local deadline=$(( $(date +%s) + 300 ))
  while [ "$(date +%s)" -lt "$deadline" ]; do
    kill -0 "$1" 2>/dev/null || fail "process $1 ended before its rows could be read"
    [ -n "$("$scan" --pid "$1" 2>/dev/null || true)" ] && return 0
    sleep 0.2
  done
  fail "no rows from process $1"
}
expect_same() { # what, expected, got
  if [ "$2" != "$3" ]; then
    echo "--- expected $1"; echo "$2"; echo "--- got"; echo "$3"
    fail "$1"
  fi
}
tsv() { printf '%s\n' "$@" | sed 's/ | /\t/g'; }
# Fails unless every expected row is among the rows of $out.
expect_rows() { # what, rows...
  local what=$1 row; shift
  while IFS= read -r row; do
    grep -qxF "$row" <<<"$out" || { echo "$out"; fail "$what: no row \"$row\""; }
  done < <(tsv "$@")
}
here=$(cd "$(dirname "$0")" && pwd)
# Prints "shown" or "hidden" for each menu bar of the process.
menu_bars() { /usr/bin/python3 "$here/menu_bars.py" "$1"; }
# Runs tavlin-scan and leaves its output in $out; any failure (a crash, a sanitizer's
# report) fails the check.
scan() { out=$("$scan" "$@") || fail "tavlin-scan $* ended with status $?"; }

# gtk3-demo-application's menus: the Color and Shape submenus are listed under
# Preferences; items with a mnemonic only (Open, Prefer Dark Theme, ...) are not.
gtk3_rows=$(tsv \
  "Application | New | ⌘N" "Application | Save | ⌘S" "Application | Save As... | ⌘S" \
  "Application | Quit | ⌘Q" "Preferences | Red | ⌘R" "Preferences | Green | ⌘G" \
  "Preferences | Blue | ⌘B" "Preferences | Square | ⌘S" "Preferences | Rectangle | ⌘R" \
  "Preferences | Oval | ⌘O" "Preferences | Bold | ⇧⌘B" "Help | About | ⌘A")
# The Qt example: Cut and Copy are disabled until text is selected; "Save As...",
# "About" and "About Qt" report Qt's mnemonic fallback (Alt+A, Alt+A, Alt+Q), which is
# no shortcut.
qt5_rows=$(tsv \
  "File | New | ⌘N" "File | Open... | ⌘O" "File | Save | ⌘S" "File | Exit | ⌘Q" "Edit | Paste | ⌘V")

case "$check" in
gtk3-demo)
  start gtk3-demo-application
  await_rows "$app"
  scan --pid "$app"; expect_same "gtk3-demo rows by pid" "$gtk3_rows" "$out"
  scan --app gtk3-demo-application; expect_same "gtk3-demo rows by name" "$gtk3_rows" "$out"
  scan --pid "$app" --json
  rows=$(printf '%s' "$out" | python3 -c '
import json, sys
for row in json.load(sys.stdin): print("\t".join([row["group"], row["title"], row["keys"]]))')
  expect_same "gtk3-demo rows as JSON" "$gtk3_rows" "$rows"
  scan --pid "$app" --merged; merged=$out
  [ "$(printf '%s\n' "$merged" | wc -l)" -gt "$(printf '%s\n' "$gtk3_rows" | wc -l)" ] || fail "merged list"
  grep -qxF "$(tsv "Preferences | Bold | ⇧⌘B")" <<<"$merged" || fail "merged list without the application's rows"
  status=0; "$scan" --app "no such application" 2>/dev/null || status=$?
  [ "$status" = 1 ] || fail "an unknown application gave status $status"
  status=0; "$scan" --pid 999999 2>/dev/null || status=$?
  [ "$status" = 1 ] || fail "an unknown process gave status $status"
  ;;
qt5-application)
  start "$qt_application"
  await_rows "$app"
  scan --pid "$app"; expect_same "Qt 5 application rows" "$qt5_rows" "$out"
  scan --app "Application Example"; expect_same "Qt 5 application rows by name" "$qt5_rows" "$out"
  ;;
qt6-menus)
  # Save As..., Recent, "1 Recent" and "Übersicht" carry Qt's mnemonic fallback (Alt+A, Alt+R,
  # Alt+1, Alt+Ü); Disabled and Hidden are not enabled; "Too deep" is in a sub-submenu; a
  # key sequence is kept whole.
  start "$qt6_menus"
  await_rows "$app"
  scan --pid "$app"
  expect_same "Qt 6 rows" "$(tsv "File | New | ⌘N" "File | Clear | ⇧⌘⌦" "File | Zoom In | ⌘+" \
    "File | Comment | ⌘K, ⌘C" "File | Preferences | ⌘," "File | Quit | ⌥F4" "Go | Library | ⌥J" \
    "Help | Contents | F1")" "$out"
  ;;
stopped-target)
  start gtk3-demo-application; stopped=$app
  start "$qt_application"; healthy=$app
  await_rows "$stopped"; await_rows "$healthy"
  kill -STOP "$stopped"
  report=$("$probe" scan "$stopped" "$healthy" "$stopped" "$healthy") || fail "probe ended with status $?"
  echo "$report"
  # A stopped target costs a bounded time (about a second; 5 s would be a freeze) and
  # the next scan of a healthy application reads all of its rows.
  while IFS=$'\t' read -r pid rows ms; do
    [ "$ms" -lt 5000 ] || fail "scan of $pid took $ms ms"
    if [ "$pid" = "$healthy" ]; then [ "$rows" = 5 ] || fail "healthy application gave $rows rows"; fi
  done <<<"$report"
  scan --pid "$stopped"
  kill -CONT "$stopped"
  scan --pid "$stopped"; expect_same "rows once the target runs again" "$gtk3_rows" "$out"
  # A stopped accessibility bus (the daemon at-spi-bus-launcher started for this
  # desktop) costs a fresh reader a bounded time too: it can't even connect.
  launcher=$(pgrep -P "$PPID" -f at-spi-bus-launcher) || fail "no at-spi-bus-launcher in this desktop"
  bus=$(pgrep -P "$launcher" dbus-daemon) || fail "no accessibility bus daemon"
  kill -STOP "$bus"
  report=$(timeout 20 "$probe" scan "$healthy") || { status=$?; kill -CONT "$bus"; fail "probe ended with status $status over a stopped bus"; }
  kill -CONT "$bus"
  echo "$report"
  read -r _ rows ms <<<"$report"
  [ "$rows" = 0 ] && [ "$ms" -lt 5000 ] || fail "over a stopped bus: $rows rows in $ms ms"
  ;;
quitting-target)
  for how in KILL TERM; do
    start gtk3-demo-application; quitting=$app
    await_rows "$quitting"
    "$scan" --pid "$quitting" --repeat 400 >/dev/null 2>&1 & scanner=$!
    sleep 1 # well into the 400 scans, past its start on a loaded machine
    kill -"$how" "$quitting"
    wait "$scanner" || fail "tavlin-scan ended with status $? when its target quit (SIG$how)"
    # Gone for good before the next one starts: a demo application still dying holds
    # its unique name, and the next one would hand its start over to it and quit.
    wait "$quitting" 2>/dev/null || true
  done
  report=$("$probe" scan "$quitting") || fail "probe ended with status $?"
  [ "$(cut -f2 <<<"$report")" = 0 ] || fail "rows from a process that is gone"
  ;;
descriptors)
  # Every show opens connections of its own (to the session bus, to the application):
  # none may outlive its show. 300 shows of a GTK 3 application keep the count flat.
  start gtk3-demo-application
  await_rows "$app"
  report=$("$probe" shows "$app" 300) || fail "probe ended with status $?"
  echo "$report"
  read -r _ rows _ first last _ <<<"$report"
  [ "$rows" = "$(printf '%s\n' "$gtk3_rows" | wc -l)" ] || fail "the last show gave $rows rows"
  [ "$last" -le $((first + 2)) ] || fail "open descriptors grew from $first to $last over 300 shows"
  ;;
big-menus)
  # Generated menu bars of 10 menus × 500 items, GTK 3 and Qt 6: the overlay's 80 rows,
  # the first in menu order. With a shortcut on every 50th item only, the 80 rows lie
  # spread over 4,000 items: whatever the scan read by its deadline is shown, in order.
  # Every scan gives a prefix of the rows; a loaded machine may need a few scans before
  # one reads any, or all 80 of a full menu bar, within the budget.
  [ -n "$qt6_menus" ] || fail "no Qt 6 fixture"
  for every in 1 50; do
    expected=$(for ((n = 1; n <= 80; n++)); do
      i=$((n * every)); printf 'Menu %d\tItem %d.%d\n' $(((i - 1) / 500 + 1)) $(((i - 1) / 500 + 1)) $(((i - 1) % 500 + 1))
    done)
    for toolkit in gtk qt; do
      if [ $toolkit = gtk ]; then start /usr/bin/python3 "$here/gtk3_generated_menus.py" 10 500 $every
      else start "$qt6_menus" --generated 10 500 $every; fi
      await_rows "$app"
      what="$toolkit rows of 5,000 items, one in $every with a shortcut"
      # Each tavlin-scan is a first read of the application (three seconds); one that read
      # nothing by then counts as an attempt too.
      count=0
      for ((attempt = 1; attempt <= 5; attempt++)); do
        scan --pid "$app"
        got=$(cut -f1,2 <<<"$out")
        [ -n "$got" ] || { echo "$what: attempt $attempt read no rows"; continue; }
        count=$(printf '%s\n' "$got" | wc -l)
        expect_same "$what" "$(head -n "$count" <<<"$expected")" "$got"
        [ "$count" = 80 ] || [ $every != 1 ] && break
      done
      echo "$what: $count rows"
      [ "$count" -gt 0 ] || fail "$what: no rows"
      [ $every != 1 ] || [ "$count" = 80 ] || fail "$what: $count rows"
      kill "$app"
    done
  done
  ;;
libreoffice-writer)
  # Writer's window holds two menu bars: LibreOffice's own copy, whose key strings are
  # broken (Styles "Y", Spelling "S", Page Break ⌘P), and the GTK bar it shows. The
  # launcher restarts the office once on a fresh profile, so the process read is the
  # launcher's soffice.bin child of the moment. A first start takes a while.
  export SAL_USE_VCLPLUGIN=gtk3
  start /usr/lib/libreoffice/program/soffice --writer --norestore --nologo \
    "-env:UserInstallation=file://$TAVLIN_DESKTOP_DIR/libreoffice"
  # Its GTK bar is read call by call, which a busy machine may cut short at the scan's
  # deadline: the rows checked are those of the first scan that read up to the last
  # menu, Help, once Writer has filled its menus in.
  launcher=$app out=
  for _ in $(seq 600); do
    # Status 1 until the office has registered on the accessibility bus; any other
    # failure (a crash, a sanitizer's report) fails the check.
    status=0
    office=$(pgrep -P "$launcher" soffice.bin) && { out=$("$scan" --pid "$office" 2>/dev/null) || status=$?; }
    [ "$status" -le 1 ] || fail "tavlin-scan ended with status $status"
    grep -q "^Help"$'\t' <<<"$out" && break
    sleep 0.5
  done
  grep -q "^Help"$'\t' <<<"$out" || { echo "$out"; fail "no rows of LibreOffice Writer's Help menu"; }
  started+=("$office")
  echo "LibreOffice Writer: $(grep -c . <<<"$out") rows"
  expect_rows "LibreOffice Writer" "View | Styles | F11" "Tools | Spelling... | F7" \
    "Insert | Page Break | ⌘↩" "Format | Increase Size | ⌘]" "Help | LibreOffice Help | F1" \
    "Edit | Paste | ⌘V" "Tools | Automatic Spell Checking | ⇧F7"
  # No key the menus don't show: no mnemonic letter taken for a key, no bare space.
  if grep -P '\t⇧?\p{L}$|\t[^\t]* [^\t]*$' <<<"$out"; then fail "LibreOffice Writer: rows with keys its menus don't show"; fi
  [ "$(grep -c . <<<"$out")" -ge 60 ] || fail "LibreOffice Writer: too few rows"
  ;;
kate)
  # "Open Folder" is bound to a key sequence, Ctrl+T then O.
  start kate -n
  await_rows "$app"
  scan --pid "$app"
  expect_rows "Kate" "File | Open Folder... | ⌘T, O" "File | Open... | ⌘O" "View | Full Screen Mode | F11"
  scan --pid "$app" --json
  grep -qF '"title": "Open Folder...", "keys": "⌘T, O"' <<<"$out" || { echo "$out"; fail "Kate's sequence as JSON"; }
  ;;
dolphin)
  # Dolphin hides its menu bar by default; its shortcuts work all the same.
  start dolphin
  await_rows "$app"
  expect_same "Dolphin's menu bar" "hidden" "$(menu_bars "$app")"
  scan --pid "$app"
  expect_rows "Dolphin" "File | New Tab | ⌘T" "View | Show Hidden Files | ⌘H" "View | Split | F3" \
    "Settings | Show Menubar | ⌘M" "Help | Dolphin Handbook | F1"
  [ "$(grep -c . <<<"$out")" -ge 30 ] || fail "Dolphin: too few rows"
  ;;
global-menu)
  # With a global menu on the session bus, Qt exports the menus and hides the window's
  # bar; the bar still holds the application's working shortcuts.
  coproc REGISTRAR { exec /usr/bin/python3 "$here/appmenu_registrar_standin.py"; }
  started+=("$REGISTRAR_PID")
  read -r -t 60 ready <&"${REGISTRAR[0]}" && [ "$ready" = ready ] || fail "the registrar stand-in did not start"
  start "$qt_application"
  await_rows "$app"
  expect_same "the Qt 5 application's menu bar under a global menu" "hidden" "$(menu_bars "$app")"
  scan --pid "$app"; expect_same "Qt 5 application rows under a global menu" "$qt5_rows" "$out"
  ;;
permission)
  got=$("$probe" trust) || fail "probe ended with status $?"
  expect_same "trust before, when prompting, after" "0 1 1" "$got"
  # One service follows the setting as it is changed elsewhere, from show to show.
  coproc PROBE { "$probe" trust-lines; }
  ask() { echo >&"${PROBE[1]}"; read -r -t 10 answer <&"${PROBE[0]}"; printf '%s' "$answer"; }
  enable() { dbus-send --session --print-reply --dest=org.a11y.Bus /org/a11y/bus org.freedesktop.DBus.Properties.Set \
    string:org.a11y.Status string:IsEnabled "variant:boolean:$1" >/dev/null; }
  seen=$(ask)
  for state in false true false true; do enable "$state"; seen+=" $(ask)"; done
  expect_same "trust as set elsewhere" "1 0 1 0 1" "$seen"
  eval "exec ${PROBE[1]}>&-"; wait "$PROBE_PID"
  reader=$(dbus-send --session --print-reply --dest=org.a11y.Bus /org/a11y/bus org.freedesktop.DBus.Properties.Get \
    string:org.a11y.Status string:ScreenReaderEnabled | grep -o 'boolean [a-z]*')
  expect_same "the screen reader stays off" "boolean false" "$reader"
  # No accessibility bus at all: not trusted, nothing read, no crash, and no session bus
  # started on the way (with a display, a session bus could be launched on demand).
  empty=$(mktemp -d)
  for address in unix:path="$empty"/none ""; do
    got=$(env -u AT_SPI_BUS_ADDRESS DBUS_SESSION_BUS_ADDRESS="$address" XDG_RUNTIME_DIR="$empty" \
      "$probe" trust) || fail "probe ended with status $?"
    expect_same "trust without a session bus" "0 0 0" "$got"
    got=$(env -u AT_SPI_BUS_ADDRESS DBUS_SESSION_BUS_ADDRESS="$address" XDG_RUNTIME_DIR="$empty" \
      "$probe" scan $$) || fail "probe ended with status $?"
    got=$(cut -f2 <<<"$got")
    expect_same "scan without a session bus" "0" "$got"
  done
  rmdir "$empty"
  ;;
*) fail "unknown check $check" ;;
esac
echo "PASS: $check"
