#!/usr/bin/env bash
# The tray menu's start-at-login entry writes a valid autostart entry that starts this
# Tavlin, and removes it again; the entry follows the file, not what was last chosen.
set -euo pipefail
source "$(dirname "$0")/lib.sh"
tavlin=$1
entry=$XDG_CONFIG_HOME/autostart/tavlin.desktop

# The menu: show, separator, settings, start at login, separator, quit.
# The Tavlin process of this virtual desktop, however it was started.
tavlin_of_this_desktop() {
  local pid
  for pid in $(pgrep -x tavlin); do
    tr '\0' '\n' <"/proc/$pid/environ" 2>/dev/null | grep -qxF "XDG_RUNTIME_DIR=$XDG_RUNTIME_DIR" &&
      { echo "$pid"; return 0; }
  done
  return 1
}
toggle_start_at_login() {
  open_tray_menu
  xdotool key Down Down Down Return
}

start_tray
start_tavlin "$tavlin"
[ ! -e "$entry" ] || fail "an autostart entry before any choice"

toggle_start_at_login
wait_until 10 test -f "$entry" || fail "no autostart entry after turning it on"
desktop-file-validate "$entry" || fail "the autostart entry is not a valid desktop entry"

# Removed by hand: the entry's next choice turns it on again rather than off.
rm "$entry"
toggle_start_at_login
wait_until 10 test -f "$entry" || fail "the choice did not follow the removed file"

# A new session starts what the entry says: this Tavlin, once.
kill "$TAVLIN_PID"; wait "$TAVLIN_PID" 2>/dev/null || true
wait_until 10 eval '! tray_icon' || fail "Tavlin did not end"
# It runs the `tavlin` command this Tavlin was started with (the launcher), not the
# program behind it.
command=$(sed -n 's/^Exec=//p' "$entry")
[ "$(realpath "$(command -v "$command")")" = "$(realpath "$(command -v "$tavlin")")" ] ||
  fail "the autostart entry runs $command, not $tavlin"
gio launch "$entry" || fail "the autostart entry does not launch"
wait_until 20 tavlin_of_this_desktop || fail "the autostart entry did not start Tavlin"
TAVLIN_PID=$(tavlin_of_this_desktop)
started+=("$TAVLIN_PID")
wait_until 20 tray_icon || fail "the started Tavlin has no tray icon"

toggle_start_at_login
wait_until 10 test ! -e "$entry" || fail "the autostart entry stayed after turning it off"
echo PASS
