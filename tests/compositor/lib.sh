# What the end-to-end tests on GNOME's and KDE's compositors share (tests/mutter/lib.sh and
# tests/kwin/lib.sh source it): applications run natively on Wayland, Alt+Space is the
# desktop's custom binding, which runs `tavlin --toggle`, and what the overlay shows and
# which application is active are read through the accessibility bus, as on X11
# (tests/desktop). Each compositor's helpers add escape_key, alt_tab (one quick Alt+Tab)
# and bring_to_front PID (the process's window comes to the front, as a click on it).

source "$(dirname "${BASH_SOURCE[0]}")/../desktop/lib.sh"

GTK_APP_NAME=gtk3-demo-application   # the name it gives itself on the bus
MOUSEPAD_NAME=Mousepad               # the name of its own desktop entry

# What GNOME and Plasma run for a custom Alt+Space binding; TAVLIN is the program.
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

# show_over NAME: Alt+Space shows the overlay for the application named NAME, which has
# just come to the front. Tavlin follows the front on a thread of its own and a show waits
# for it only briefly, so on a slow build (the sanitizers') the first press may still
# describe the application before: then the overlay is closed (unless it hid by itself,
# as it does once Tavlin sees another application come to the front) and the key
# pressed again.
show_over() {
  local attempt
  for attempt in 1 2 3 4 5; do
    hot_key
    wait_shown "over $1"
    wait_until 3 shows_text "$1" && return 0
    note "press $attempt described another application than $1: pressing again"
    overlay_hidden || escape_key
    wait_hidden "after Escape over the application before $1"
  done
  expect_text "$1"
}
