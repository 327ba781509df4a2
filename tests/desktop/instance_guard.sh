#!/usr/bin/env bash
# Starts that must end at once with one clear line: no display, a private folder someone
# else got to first, an argument list too long to hand over. And an argument holding a
# newline reaches the instance as one argument, not as two requests.
set -euo pipefail
source "$(dirname "$0")/lib.sh"
tavlin=$1
set_accessibility true
ulimit -Sn 1024 # the usual soft limit of descriptors, which Tavlin inherits

# expect_refusal PATTERN COMMAND...: COMMAND ends within 10 s with status 1 and says
# PATTERN on one line of standard error.
expect_refusal() {
  local pattern=$1 status=0; shift
  timeout 10 "$@" 2>"$TAVLIN_DESKTOP_DIR/err" || status=$?
  [ "$status" = 1 ] || fail "$* ended with status $status, not 1: $(cat "$TAVLIN_DESKTOP_DIR/err")"
  grep -q -- "$pattern" "$TAVLIN_DESKTOP_DIR/err" || fail "$* did not say \"$pattern\": $(cat "$TAVLIN_DESKTOP_DIR/err")"
  [ "$(grep -vc '^QStandardPaths:' "$TAVLIN_DESKTOP_DIR/err")" = 1 ] || fail "$* said more than one line"
}

expect_refusal "DISPLAY is not set" env -u DISPLAY "$tavlin"
expect_refusal "can't open the X11 display" env DISPLAY=:4999 "$tavlin" "tavlin://show"
expect_refusal "has no screen 3" env DISPLAY="$DISPLAY.3" "$tavlin"
expect_refusal "has no screen 3" env DISPLAY="$DISPLAY.3" "$tavlin" --toggle
expect_refusal "has no screen 3" env DISPLAY="$DISPLAY.3" QT_QPA_PLATFORM=xcb "$tavlin" tavlin://show

# --help and --version need no display, and say nothing but their answer.
for display in "$DISPLAY.3" :4999 ""; do
  for option in --help --version; do
    status=0
    env -u XDG_RUNTIME_DIR DISPLAY="$display" "$tavlin" "$option" >"$TAVLIN_DESKTOP_DIR/out" \
      2>"$TAVLIN_DESKTOP_DIR/err" || status=$?
    [ "$status" = 0 ] || fail "$option with DISPLAY=$display ended with status $status: $(cat "$TAVLIN_DESKTOP_DIR/err")"
    [ ! -s "$TAVLIN_DESKTOP_DIR/err" ] || fail "$option with DISPLAY=$display said: $(cat "$TAVLIN_DESKTOP_DIR/err")"
    grep -q Tavlin "$TAVLIN_DESKTOP_DIR/out" || fail "$option printed no answer"
  done
done

# GNOME's settings in a store that keeps nothing (keyfile under a configuration folder
# that can't be made, even by root): --bind-hot-key fails and says why.
# (GLib warns about the folder on a line of its own.)
touch "$TAVLIN_DESKTOP_DIR/unwritable-config"
status=0
env GSETTINGS_BACKEND=keyfile XDG_CONFIG_HOME="$TAVLIN_DESKTOP_DIR/unwritable-config" XDG_CURRENT_DESKTOP=GNOME \
  "$tavlin" --bind-hot-key >"$TAVLIN_DESKTOP_DIR/out" 2>&1 || status=$?
[ "$status" = 1 ] || fail "--bind-hot-key into a store that keeps nothing ended with status $status"
grep -q "did not store the custom shortcut" "$TAVLIN_DESKTOP_DIR/out" ||
  fail "--bind-hot-key did not say that nothing was stored: $(cat "$TAVLIN_DESKTOP_DIR/out")"

# Without a runtime directory a user's instance lives in /tmp/tavlin-UID. Another user
# (here root) who creates that path first, as a folder or a link, gets no second
# instance and no forwarder that stays: every start stops and says why.
user=$((50000 + $$ % 10000))
as_user=(setpriv --reuid "$user" --regid "$user" --clear-groups env -u XDG_RUNTIME_DIR HOME=/nonexistent)
claimed=/tmp/tavlin-$user
trap 'rm -rf "$claimed"; stop_started' EXIT
mkdir -m 777 "$claimed"
expect_refusal "$claimed belongs to another user" "${as_user[@]}" "$tavlin"
expect_refusal "$claimed belongs to another user" "${as_user[@]}" "$tavlin" "tavlin://show"
rmdir "$claimed"; ln -s "$TAVLIN_DESKTOP_DIR" "$claimed"
expect_refusal "$claimed is a symbolic link" "${as_user[@]}" "$tavlin" "tavlin://show"
[ ! -e "$TAVLIN_DESKTOP_DIR/instance.lock" ] || fail "Tavlin followed the link"
rm "$claimed"

start_app GTK "$GTK_APP"
start_tavlin "$tavlin"
"$tavlin" $'https://example.org/\ntavlin://show' || fail "the forwarding start failed"
sleep 1
overlay_hidden || fail "a newline inside an argument made a second request"
expect_refusal "too long" "$tavlin" "tavlin://show?bundle=$(head -c 70000 /dev/zero | tr '\0' x)"
"$tavlin" "tavlin://show" || fail "the forwarding start failed"
wait_shown "for a request after the refused ones"

# The socket file removed behind the instance's back: it listens again, so a toggle and
# a plain start still reach it.
rm "$XDG_RUNTIME_DIR/tavlin/instance.socket"
"$tavlin" --toggle || fail "a toggle after the socket file was removed failed"
wait_hidden "by a toggle after the socket file was removed"
"$tavlin" 2>"$TAVLIN_DESKTOP_DIR/err" || fail "a plain start beside the instance failed: $(cat "$TAVLIN_DESKTOP_DIR/err")"
grep -q "already running" "$TAVLIN_DESKTOP_DIR/err" || fail "a plain start did not say that Tavlin runs"

# A process of the user's holding more connections than the instance has descriptors
# (a soft limit of 1,024): a toggle still gets through once the instance drops them.
"$PYTHON" - "$XDG_RUNTIME_DIR/tavlin/instance.socket" 1100 <<'PY' &
import resource, socket, sys, time
soft, hard = resource.getrlimit(resource.RLIMIT_NOFILE)
resource.setrlimit(resource.RLIMIT_NOFILE, (hard, hard))
held = []
for _ in range(int(sys.argv[2])):
    s = socket.socket(socket.AF_UNIX, socket.SOCK_STREAM)
    s.connect(sys.argv[1])
    try:
        s.send(b"\0\0\0\1")
    except OSError:
        pass
    held.append(s)
print("held", flush=True)
time.sleep(600)
PY
holder=$!
started+=("$holder")
wait_until 60 "$tavlin" --toggle || fail "no toggle got through beside 1,100 held connections"
wait_shown "by a toggle beside 1,100 held connections"
kill "$holder"
echo PASS
