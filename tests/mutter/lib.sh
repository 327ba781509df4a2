# Helpers for driving Tavlin inside the headless mutter of scripts/with-mutter, the way a
# GNOME user would: applications run natively on Wayland, keys come from the seat's
# virtual keyboard (mutter's remote desktop API), and Alt+Space is the desktop's custom
# binding, which runs `tavlin --toggle`. What the overlay shows is read through the
# accessibility bus, as on X11 (tests/desktop); which application is active, too.

source "$(dirname "${BASH_SOURCE[0]}")/../desktop/lib.sh"

GTK_APP_NAME=gtk3-demo-application   # the name it gives itself on the bus
MOUSEPAD_NAME=Mousepad               # the name of its own desktop entry


# keys KEYSYM...: one chord on the seat's keyboard, e.g. `keys Alt_L Tab`.
keys() { echo "$*" >"$TAVLIN_MUTTER_KEYS"; }
escape_key() { keys Escape; }
# What GNOME runs for its custom Alt+Space binding.
hot_key() { "$TAVLIN" --toggle; }

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

# switch_to PID: Alt+Tab (mutter's own switcher, no shell) until the process is active.
switch_to() {
  local attempt
  for attempt in 1 2 3 4; do
    keys Alt_L Tab
    wait_until 5 is_active_pid "$1" && return 0
  done
  fail "Alt+Tab did not bring process $1 to the front"
}

# start_tavlin BINARY [ARG...]: starts Tavlin and waits until it has launched.
start_tavlin() {
  TAVLIN=$1; shift
  "$TAVLIN" "$@" &
  TAVLIN_PID=$!
  started+=("$TAVLIN_PID")
  wait_until 30 test -S "$XDG_RUNTIME_DIR/tavlin/instance.socket" || fail "Tavlin did not start"
  wait_until 30 tavlin_on_bus || fail "Tavlin is not on the accessibility bus"
}

# show_over NAME: Alt+Space shows the overlay for the application named NAME, which has
# just come to the front. Tavlin follows the front on a thread of its own and a show waits
# for it only briefly, so on a slow build (the sanitizers') the first press may still
# describe the application before: then the overlay is closed and the key pressed again.
show_over() {
  local attempt
  for attempt in 1 2 3 4 5; do
    hot_key
    wait_shown "over $1"
    wait_until 3 shows_text "$1" && return 0
    note "press $attempt described another application than $1: pressing again"
    escape_key
    wait_hidden "after Escape over the application before $1"
  done
  expect_text "$1"
}
