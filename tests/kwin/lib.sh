# Helpers for driving Tavlin inside the headless KWin of scripts/with-kwin, the way a
# Plasma user would: applications run natively on Wayland, Alt+Space is the desktop's
# custom shortcut, which runs `tavlin --toggle`, and Alt+Tab is KWin's own window switcher.
# What the overlay shows, and which application is active, is read through the
# accessibility bus, as on X11 (tests/desktop). KWin needs no keyboard on the seat for a
# GTK window to report itself active.

source "$(dirname "${BASH_SOURCE[0]}")/../desktop/lib.sh"

GTK_APP_NAME=gtk3-demo-application   # the name it gives itself on the bus
MOUSEPAD_NAME=Mousepad               # the name of its own desktop entry

# What Plasma runs for a custom Alt+Space shortcut.
hot_key() { "$TAVLIN" --toggle; }
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

# kwin_script JAVASCRIPT: runs a KWin script (its scripting D-Bus API), as a click would
# do what it does.
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
# activate PID: KWin activates the process's window, as a click on it would.
activate() {
  kwin_script "for (const w of workspace.clientList()) if (w.pid === $1) workspace.activeClient = w;"
  wait_until 10 is_active_pid "$1" || fail "KWin did not activate process $1"
}

# start_app NAME COMMAND...: starts a native Wayland application and waits until its
# window is active. Sets ${NAME}_PID.
start_app() {
  local name=$1; shift
  env GDK_BACKEND=wayland "$@" >/dev/null 2>&1 &
  local pid=$!
  started+=("$pid")
  wait_until 60 is_active_pid "$pid" || fail "$name did not open an active window"
  printf -v "${name}_PID" %s "$pid"
}

# show_over NAME: Alt+Space shows the overlay for the application named NAME, which has
# just come to the front. Tavlin follows the front on a thread of its own and a show waits
# for it only briefly, so on a loaded machine the first press may still describe the
# application before: then the overlay is closed and the key pressed again.
show_over() {
  local attempt
  for attempt in 1 2 3 4 5; do
    hot_key
    wait_shown "over $1"
    wait_until 3 shows_text "$1" && return 0
    note "press $attempt described another application than $1: pressing again"
    # Over the application before: Escape closes it, unless it has hidden by itself
    # meanwhile, as it does once Tavlin sees another application come to the front.
    wait_until 10 eval 'overlay_hidden || is_active_pid "$TAVLIN_PID"' || fail "the overlay did not get the keyboard"
    overlay_hidden || xdotool key Escape
    wait_hidden "after Escape over the application before $1"
  done
  expect_text "$1"
}
