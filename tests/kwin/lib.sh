# Helpers for driving Tavlin inside the headless KWin of scripts/with-kwin, the way a
# Plasma user would (tests/compositor/lib.sh). KWin needs no keyboard on the seat for a
# GTK window to report itself active; keys for the overlay go through XTEST into
# XWayland, and KWin's own actions are asked of it over D-Bus.

source "$(dirname "${BASH_SOURCE[0]}")/../compositor/lib.sh"

# Escape, through XTEST into XWayland, where the overlay is: it reaches the window with
# the keyboard, so only once the overlay has it.
escape_key() {
  wait_until 10 is_active_pid "$TAVLIN_PID" || fail "the overlay did not get the keyboard"
  xdotool key Escape
}
# Alt+Tab: KWin's "Walk Through Windows" invoked through kglobalaccel. With no modifier
# held the switcher does not stay open: it goes at once to the window used before, as a
# quick Alt+Tab does.
alt_tab() {
  gdbus call --session --dest org.kde.kglobalaccel --object-path /component/kwin \
    --method org.kde.kglobalaccel.Component.invokeShortcut "Walk Through Windows" >/dev/null
}

# kwin_script JAVASCRIPT: runs a KWin script (its scripting D-Bus API).
kwin_script() {
  local file="$TAVLIN_DESKTOP_DIR/tavlin-test.js" id
  printf '%s\n' "$1" >"$file"
  gdbus call --session --dest org.kde.KWin --object-path /Scripting \
    --method org.kde.kwin.Scripting.unloadScript tavlin-test >/dev/null
  id=$(gdbus call --session --dest org.kde.KWin --object-path /Scripting \
    --method org.kde.kwin.Scripting.loadScript "$file" tavlin-test | tr -dc 0-9-)
  [ "${id:--1}" -ge 0 ] || fail "KWin did not load the script"
  gdbus call --session --dest org.kde.KWin --object-path "/$id" --method org.kde.kwin.Script.run >/dev/null
}
# bring_to_front PID: KWin activates the process's window, as a click on it would.
bring_to_front() {
  kwin_script "for (const w of workspace.clientList()) if (w.pid === $1) workspace.activeClient = w;"
  wait_until 10 is_active_pid "$1" || fail "KWin did not activate process $1"
}
