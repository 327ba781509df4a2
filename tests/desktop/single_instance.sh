#!/usr/bin/env bash
# Two starts at once leave one instance; after a crash the next start takes over the
# stale socket and serves URLs.
set -euo pipefail
source "$(dirname "$0")/lib.sh"
tavlin=$1
set_accessibility true

alive() { local n=0; for pid in "$@"; do kill -0 "$pid" 2>/dev/null && n=$((n + 1)); done; echo "$n"; }

start_app GTK "$GTK_APP"
"$tavlin" & first=$!
"$tavlin" & second=$!
started+=("$first" "$second")
wait_until 20 test -S "$XDG_RUNTIME_DIR/tavlin/instance.socket" || fail "no instance started"
one_alive() { [ "$(alive "$first" "$second")" = 1 ]; }   # counted again at every poll
wait_until 30 one_alive || fail "$(alive "$first" "$second") instances are running"
sleep 1
[ "$(alive "$first" "$second")" = 1 ] || fail "$(alive "$first" "$second") instances are running"
TAVLIN_PID=$(for pid in "$first" "$second"; do if kill -0 "$pid" 2>/dev/null; then echo "$pid"; fi; done)

# A crash leaves the socket behind; the next start recovers it.
kill -9 "$TAVLIN_PID"; wait "$TAVLIN_PID" 2>/dev/null || true
test -S "$XDG_RUNTIME_DIR/tavlin/instance.socket" || fail "the crash left no socket to recover"
activate "$GTK_WINDOW"
start_tavlin "$tavlin"
"$tavlin" "tavlin://show" || fail "the forwarding start failed"
wait_shown "after recovering from a crash"
[ "$(stat -c %a "$XDG_RUNTIME_DIR/tavlin")" = 700 ] || fail "the instance directory is not private"
echo PASS
