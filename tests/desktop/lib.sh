# Helpers for driving Tavlin inside the virtual desktop of scripts/with-desktop, the way
# a user would: start applications, press keys, click, and read the overlay back
# through the accessibility bus. Sourced by the end-to-end tests, the benchmark and
# scripts/run.

here=$(cd "$(dirname "${BASH_SOURCE[0]}")" && pwd)
# The system Python: python3-pyatspi is installed for it, not for other Pythons on PATH.
PYTHON=/usr/bin/python3
GTK_APP=gtk3-demo-application
GTK_APP_ID=org.gtk.Demo2
QT_APP=/usr/lib/x86_64-linux-gnu/qt5/examples/widgets/mainwindows/application/application
QT_APP_ID=application
started=()

# On failure, a screenshot goes to $TAVLIN_E2E_SHOTS when set.
fail() {
  echo "FAIL: $*" >&2
  if [ -n "${TAVLIN_E2E_SHOTS:-}" ]; then
    mkdir -p "$TAVLIN_E2E_SHOTS"
    local shot; shot="$TAVLIN_E2E_SHOTS/$(basename "$0" .sh)-$(date +%s%N).png"
    import -window root "$shot" 2>/dev/null && echo "screenshot: $shot" >&2
  fi
  exit 1
}
note() { echo "-- $*" >&2; }

stop_started() {
  for ((i=${#started[@]}-1; i>=0; i--)); do kill "${started[i]}" 2>/dev/null || true; done
  for ((i=${#started[@]}-1; i>=0; i--)); do wait "${started[i]}" 2>/dev/null || true; done
}
trap stop_started EXIT

# wait_until SECONDS COMMAND...: polls every 0.1 s until COMMAND succeeds, for SECONDS
# times $TAVLIN_TEST_PATIENCE (3 unless set): a loaded machine (a sanitizer build, other
# work beside it) may take that much longer, and a condition met returns at once.
wait_until() {
  local deadline=$(( $(date +%s%N) + ${1%.*} * ${TAVLIN_TEST_PATIENCE:-3} * 1000000000 )); shift
  until "$@" >/dev/null 2>&1; do
    [ "$(date +%s%N)" -lt "$deadline" ] || return 1
    sleep 0.1
  done
}

# The top-level window of a process, once it is mapped.
visible_window_of() {
  local window; window=$(xdotool search --onlyvisible --pid "$1" 2>/dev/null | head -n1)
  [ -n "$window" ] && echo "$window"
}
active_window() { xprop -root _NET_ACTIVE_WINDOW | sed -n 's/.*# \(0x[0-9a-f]*\).*/\1/p'; }
is_active() { [ "$(( $(active_window) ))" = "$(( $1 ))" ]; }

# start_app NAME COMMAND...: starts an application, waits for its window, makes it active.
# Sets ${NAME}_PID and ${NAME}_WINDOW.
start_app() {
  local name=$1; shift
  local attempt pid window=""
  # A loaded machine sometimes loses an application's start-up on the fresh session
  # bus; start it once more before giving up.
  for attempt in 1 2; do
    "$@" >/dev/null 2>&1 &
    pid=$!
    started+=("$pid")
    wait_until 15 visible_window_of "$pid" && { window=$(visible_window_of "$pid"); break; }
    kill "$pid" 2>/dev/null || true
  done
  [ -n "$window" ] || fail "$name did not open a window"
  printf -v "${name}_PID" %s "$pid"
  printf -v "${name}_WINDOW" %s "$window"
  activate "$window"
}

activate() {
  xdotool windowactivate "$1" 2>/dev/null || true
  wait_until 30 is_active "$1" || fail "window $1 did not become active"
}

# start_tavlin BINARY [URL...]: starts Tavlin and waits until it has launched. With
# TAVLIN_LOCALE set (e.g. ja_JP.UTF-8), Tavlin runs under that locale alone.
start_tavlin() {
  local binary=$1; shift
  if [ -n "${TAVLIN_LOCALE:-}" ]; then
    env LANG="$TAVLIN_LOCALE" LC_ALL= LC_MESSAGES= LANGUAGE= "$binary" "$@" &
  else
    "$binary" "$@" &
  fi
  TAVLIN_PID=$!
  started+=("$TAVLIN_PID")
  wait_until 20 test -S "$XDG_RUNTIME_DIR/tavlin/instance.socket" || fail "Tavlin did not start"
  wait_until 20 tavlin_on_bus || fail "Tavlin is not on the accessibility bus"
}
# restart_tavlin BINARY: ends the running Tavlin and starts it again (under TAVLIN_LOCALE, when set).
restart_tavlin() {
  kill "$TAVLIN_PID"; wait "$TAVLIN_PID" 2>/dev/null || true
  start_tavlin "$1"
}
tavlin_on_bus() { "$PYTHON" "$here/overlay.py" texts; }
# on_bus PID: whether the process has registered on the accessibility bus.
on_bus() {
  "$PYTHON" -c 'import sys, pyatspi
d = pyatspi.Registry.getDesktop(0)
sys.exit(0 if any(a is not None and a.get_process_id() == int(sys.argv[1]) for a in d) else 1)' "$1"
}

# Tavlin's windows on screen, with their sizes: "WINDOW WIDTH HEIGHT" per line.
tavlin_windows() {
  local window
  for window in $(xdotool search --onlyvisible --pid "$TAVLIN_PID" 2>/dev/null); do
    echo "$window $(xwininfo -id "$window" 2>/dev/null | awk '/Width:/ { w = $2 } /Height:/ { h = $2 } END { print w, h }')"
  done
}
# The overlay: Tavlin's big window on screen (the panel is never smaller than 720 × 520).
overlay_window() {
  local window; window=$(tavlin_windows | awk '$2 >= 600 && $3 >= 400 { print $1; exit }')
  [ -n "$window" ] && echo "$window"
}
# The tray icon: Tavlin's small window on screen, inside the tray.
tray_icon() {
  local window; window=$(tavlin_windows | awk '$2 > 0 && $2 <= 64 && $3 <= 64 { print $1; exit }')
  [ -n "$window" ] && echo "$window"
}
overlay_shown() { [ -n "$(overlay_window)" ]; }
overlay_hidden() { ! overlay_shown; }
wait_shown() { wait_until 30 overlay_shown || fail "the overlay did not show${1:+: $1}"; }
wait_hidden() { wait_until 30 overlay_hidden || fail "the overlay did not hide${1:+: $1}"; }

# Every name the overlay shows, one per line.
overlay_texts() { "$PYTHON" "$here/overlay.py" texts; }
# shows_text TEXT...: whether the overlay shows each TEXT (whole names); for wait_until.
shows_text() {
  local texts; texts=$(overlay_texts) || return 1
  for text in "$@"; do grep -qxF -- "$text" <<<"$texts" || return 1; done
}
# expect_text TEXT...: the overlay shows each TEXT. The window is mapped a moment before
# its contents reach the accessibility bus (longer on a loaded machine), so this waits.
expect_text() {
  wait_until 5 shows_text "$@" || {
    overlay_texts >&2 || true
    echo "Tavlin's windows (id width height):" >&2; tavlin_windows >&2 || true
    echo "Tavlin's accessible tree:" >&2; "$PYTHON" "$here/overlay.py" tree 2>&1 | head -n 40 >&2 || true
    fail "the overlay does not show all of: $*"
  }
}
expect_no_text() {
  local texts; texts=$(overlay_texts) || fail "Tavlin is not on the accessibility bus"
  for text in "$@"; do
    ! grep -qxF -- "$text" <<<"$texts" || fail "the overlay shows \"$text\""
  done
}
# click_text TEXT: clicks the centre of the overlay's element named TEXT.
click_text() {
  local position; position=$("$PYTHON" "$here/overlay.py" centre "$1") || fail "no \"$1\" on screen"
  # shellcheck disable=SC2086
  xdotool mousemove $position click 1
}

# The desktop's accessibility switch (org.a11y.Status IsEnabled), which Tavlin reads as
# its permission to read other applications.
set_accessibility() {
  dbus-send --session --print-reply --dest=org.a11y.Bus /org/a11y/bus org.freedesktop.DBus.Properties.Set \
    string:org.a11y.Status string:IsEnabled "variant:boolean:$1" >/dev/null
}
accessibility_enabled() {
  dbus-send --session --print-reply --dest=org.a11y.Bus /org/a11y/bus \
    org.freedesktop.DBus.Properties.Get string:org.a11y.Status string:IsEnabled | grep -q "boolean true"
}

# A system tray (trayer) on the top edge; Tavlin puts its icon there when it starts later.
start_tray() {
  local attempt
  for attempt in 1 2 3; do
    trayer --edge top --align right --widthtype pixel --width 120 --height 32 --transparent false \
      >/dev/null 2>&1 &
    started+=($!)
    wait_until 5 xdotool search --onlyvisible --class trayer && { sleep 1; return 0; }
  done
  fail "no tray"
}
# Whether the tray icon sits inside a tray (docked icons are reparented into the tray).
icon_docked() {
  local icon; icon=$(tray_icon) || return 1
  ! xwininfo -tree -id "$icon" | grep -q 'Parent window id: .*(the root window)'
}
# open_tray_menu: opens Tavlin's menu from its tray icon.
open_tray_menu() {
  wait_until 30 icon_docked || fail "no tray icon in the tray"
  # (Under trayer on Xvfb a real click sometimes lands on the tray's socket instead of the
  # icon; the click is then sent to the icon window itself. A loaded machine may need
  # another round.)
  local attempt
  for attempt in 1 2 3; do
    xdotool mousemove --window "$(tray_icon)" 8 8 click 3
    wait_until 3 menu_window && return 0
    xdotool click --window "$(tray_icon)" 3
    wait_until 5 menu_window && return 0
  done
  fail "the tray menu did not open"
}
# Tavlin's menu, once it is open: a window of Tavlin's that is neither the overlay nor the icon.
menu_window() {
  local window; window=$(tavlin_windows | awk '$2 > 64 && $2 < 600 { print $1; exit }')
  [ -n "$window" ] && echo "$window"
}

# The process whose window is active, as the applications tell the accessibility bus.
active_pid() { "$PYTHON" "$here/overlay.py" active; }
is_active_pid() { [ "$(active_pid)" = "$1" ]; }
hot_key() { xdotool key alt+space; }
screenshot() { import -window root "$1"; }
