# What scripts/with-sway and scripts/with-mutter share: the unprivileged user the session
# runs as, a scratch folder and the environment of a private session, its D-Bus session
# bus and AT-SPI bus, and stopping all that when the command ends. Sourced.

# as_session_user SCRIPT ARG...: run as root, runs SCRIPT ARG... again as the unprivileged
# user $TAVLIN_SWAY_USER (default tavlin-e2e), created when missing, and never returns.
# Compositors refuse to run as root, and tests run as root in CI.
as_session_user() {
  [ "$(id -u)" = 0 ] || return 0
  local user=${TAVLIN_SWAY_USER:-tavlin-e2e} self
  if ! id "$user" >/dev/null 2>&1; then
    useradd --system --create-home --home-dir "/var/lib/$user" --shell /usr/sbin/nologin "$user" 2>/dev/null ||
      id "$user" >/dev/null 2>&1 || { echo "could not create the user $user" >&2; exit 1; }
  fi
  # A folder for failure screenshots must be the user's to write.
  if [ -n "${TAVLIN_E2E_SHOTS:-}" ]; then mkdir -p "$TAVLIN_E2E_SHOTS" && chmod 1777 "$TAVLIN_E2E_SHOTS"; fi
  # XWayland servers that put their socket in the shared folder need it writable.
  mkdir -p /tmp/.X11-unix && chmod 1777 /tmp/.X11-unix
  self=$(realpath "$1"); shift
  if ! runuser -u "$user" -- test -r "$self"; then
    echo "$user can't read $self: the sources and the build must be readable by it" \
      "(e.g. not under /root; or chmod o+rX along their path)" >&2
    exit 1
  fi
  exec runuser -u "$user" -- "$self" "$@"
}

# start_session NAME DESKTOP: a scratch folder ($dir, removed at the end) with the
# session's home, runtime and XDG folders; the desktop's name; a D-Bus session bus and
# the AT-SPI bus. Everything started and added to pids=() is stopped at the end.
start_session() {
  dir=$(mktemp -d "${TMPDIR:-/tmp}/tavlin-$1.XXXXXX")
  pids=()
  trap stop_session EXIT INT TERM
  export HOME="$dir/home"; mkdir -p "$HOME"
  export XDG_RUNTIME_DIR="$dir/runtime"; mkdir -m 700 -p "$XDG_RUNTIME_DIR"
  export XDG_CONFIG_HOME="$dir/config" XDG_CACHE_HOME="$dir/cache" XDG_DATA_HOME="$dir/data"
  mkdir -p "$XDG_CONFIG_HOME" "$XDG_CACHE_HOME" "$XDG_DATA_HOME"
  export XDG_SESSION_TYPE=wayland XDG_CURRENT_DESKTOP=$2
  export GSETTINGS_BACKEND=memory NO_AT_BRIDGE=0 GTK_A11Y=atspi QT_LINUX_ACCESSIBILITY_ALWAYS_ON=1
  export TAVLIN_DESKTOP_DIR="$dir"
  unset DISPLAY WAYLAND_DISPLAY SWAYSOCK XAUTHORITY

  eval "$(dbus-launch --sh-syntax)"
  pids+=("$DBUS_SESSION_BUS_PID")
  /usr/libexec/at-spi-bus-launcher --launch-immediately >"$dir/atspi.log" 2>&1 &
  pids+=($!)
}

stop_session() {
  local status=$?
  for ((i=${#pids[@]}-1; i>=0; i--)); do kill "${pids[i]}" 2>/dev/null || true; done
  # A compositor takes a moment to stop its XWayland.
  for _ in $(seq 20); do
    local alive=0 pid
    for pid in "${pids[@]}"; do kill -0 "$pid" 2>/dev/null && alive=1; done
    [ "$alive" = 1 ] || break
    sleep 0.1
  done
  for ((i=${#pids[@]}-1; i>=0; i--)); do kill -9 "${pids[i]}" 2>/dev/null || true; done
  rm -rf "$dir"
  exit "$status"
}

# Waits until the launcher started above owns the AT-SPI bus's name, so that applications
# started next register on it. Asking the name itself before that would have D-Bus start
# a second launcher of its own.
wait_for_atspi_bus() {
  for _ in $(seq 100); do
    dbus-send --session --print-reply --dest=org.freedesktop.DBus /org/freedesktop/DBus \
      org.freedesktop.DBus.NameHasOwner string:org.a11y.Bus 2>/dev/null | grep -q 'boolean true' && return 0
    sleep 0.1
  done
}

# run_command COMMAND...: runs the session's command and exits with its status.
run_command() {
  set +e
  "$@"
  local status=$?
  set -e
  exit "$status"
}
