# Helpers for driving Tavlin inside the headless sway of scripts/with-sway, the way a
# user would: applications run natively on Wayland, keys come from wtype, focus changes
# from swaymsg, and sway's own key binding runs `tavlin --toggle` for Alt+Space. What
# the overlay shows is read through the accessibility bus, as on X11 (tests/desktop).
# Sourced by the Wayland end-to-end tests, the benchmark and scripts/run.

source "$(dirname "${BASH_SOURCE[0]}")/../desktop/lib.sh"

# Native Wayland clients: GTK 3's demo application and a small Qt 6 window.
GTK_APP_NAME=gtk3-demo-application   # the name it gives itself on the bus
start_gtk() { start_app GTK env GDK_BACKEND=wayland "$GTK_APP"; }
# start_qt6 FIXTURE: the Qt 6 window with menus, launched through a desktop entry of its
# own so that its record comes from that entry.
QT6_APP_ID=tavlin-qt6-menus
QT6_APP_NAME="Qt6 Menus Example"
start_qt6() {
  mkdir -p "$XDG_DATA_HOME/applications"
  printf '[Desktop Entry]\nType=Application\nName=%s\nIcon=accessories-text-editor\nExec=%s\n' \
    "$QT6_APP_NAME" "$1" >"$XDG_DATA_HOME/applications/$QT6_APP_ID.desktop"
  start_app QT6 env QT_QPA_PLATFORM=wayland "$1"
}

fail() {
  echo "FAIL: $*" >&2
  if [ -n "${TAVLIN_E2E_SHOTS:-}" ]; then
    local shot; shot="$TAVLIN_E2E_SHOTS/$(basename "$0" .sh)-$(date +%s%N).png"
    grim "$shot" 2>/dev/null && echo "screenshot: $shot" >&2
  fi
  exit 1
}

# The process of the window sway has focused; empty when none.
focused_pid() {
  swaymsg -t get_tree | jq -r '.. | objects | select(.focused? == true) | .pid // empty' | head -n1
}
has_window() { swaymsg -t get_tree | jq -e --argjson pid "$1" '[.. | objects | select(.pid? == $pid)] | length > 0'; }
is_focused() { [ "$(focused_pid)" = "$1" ]; }

# start_app NAME COMMAND...: starts an application, waits for its window, focuses it.
# Sets ${NAME}_PID.
start_app() {
  local name=$1; shift
  "$@" >/dev/null 2>&1 &
  local pid=$!
  started+=("$pid")
  wait_until 30 has_window "$pid" || fail "$name did not open a window"
  printf -v "${name}_PID" %s "$pid"
  activate "$pid"
}

# activate PID: focuses the application's window, as a click on it would.
activate() {
  swaymsg "[pid=$1] focus" >/dev/null
  wait_until 30 is_focused "$1" || fail "process $1 did not get the focus"
}


# start_tavlin BINARY [ARG...]: starts Tavlin, binds Alt+Space to its toggle in sway, and
# waits until it has launched.
start_tavlin() {
  local binary=$1; shift
  swaymsg "bindsym Mod1+space exec $binary --toggle" >/dev/null || fail "sway took no key binding"
  "$binary" "$@" &
  TAVLIN_PID=$!
  started+=("$TAVLIN_PID")
  wait_until 20 test -S "$XDG_RUNTIME_DIR/tavlin/instance.socket" || fail "Tavlin did not start"
  wait_until 20 tavlin_on_bus || fail "Tavlin is not on the accessibility bus"
}

# Alt+Space on the virtual keyboard: sway runs the binding.
hot_key() { wtype -M alt -k space -m alt; }
escape_key() { wtype -k Escape; }

# show_with TEXT...: Alt+Space shows the overlay with each TEXT, and the overlay holds the
# keyboard. The panel hides itself when the desktop has not given it the keyboard within
# its grace (it never stays where it can't be reached); a loaded machine can take longer
# than that, and then the key is pressed again. Shown without the texts is a failure.
shows_and_holds() { shows_text "$@" && is_active_pid "$TAVLIN_PID"; }
settled_or_hidden() { shows_and_holds "$@" || overlay_hidden; }
show_with() {
  local attempt
  for attempt in 1 2 3; do
    hot_key
    wait_shown "after Alt+Space (press $attempt, for: $*)"
    wait_until 10 settled_or_hidden "$@" || true # expect_text below says what is shown
    overlay_shown && break
    note "the overlay hid itself without the keyboard (press $attempt): pressing again"
  done
  expect_text "$@"
  wait_until 10 is_active_pid "$TAVLIN_PID" || fail "the overlay did not get the keyboard"
}
screenshot() { grim "$1"; }
