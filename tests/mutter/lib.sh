# Helpers for driving Tavlin inside the headless mutter of scripts/with-mutter, the way a
# GNOME user would (tests/compositor/lib.sh): keys come from the seat's virtual keyboard
# (mutter's remote desktop API).

source "$(dirname "${BASH_SOURCE[0]}")/../compositor/lib.sh"

# keys KEYSYM...: one chord on the seat's keyboard, e.g. `keys Alt_L Tab`.
keys() { echo "$*" >"$TAVLIN_MUTTER_KEYS"; }
escape_key() { keys Escape; }
alt_tab() { keys Alt_L Tab; }

# bring_to_front PID: Alt+Tab (mutter's own switcher, no shell) until the process is
# active.
bring_to_front() {
  local attempt
  for attempt in 1 2 3 4; do
    alt_tab
    wait_until 5 is_active_pid "$1" && return 0
  done
  fail "Alt+Tab did not bring process $1 to the front"
}
