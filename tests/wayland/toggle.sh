#!/usr/bin/env bash
# In a Wayland session, Alt+Space (sway's binding to `tavlin --toggle`) over a native GTK
# application shows its shortcuts; a second press hides them; Escape hides them too.
# mousepad is named after its own desktop entry; an application run under another name
# after the entry its app_id names. `tavlin --bind-hot-key` takes its own
# binding in sway's config for done.
# Without XWayland, Tavlin refuses to start.
set -euo pipefail
source "$(dirname "$0")/lib.sh"
tavlin=$1
set_accessibility true

start_gtk
start_tavlin "$tavlin"

show_with "$GTK_APP_NAME" "New" "Save As..."

hot_key
wait_hidden "after the second Alt+Space"

# The overlay had the keyboard, yet the application stayed the target.
show_with "$GTK_APP_NAME" "New"
# Escape is the overlay's own key press: it holds the keyboard through XWayland.
escape_key
wait_hidden "after Escape"

# mousepad has two entries for one program (the other one runs its settings): the
# overlay names it after its own.
start_app MOUSEPAD env GDK_BACKEND=wayland mousepad
# Tavlin learns the application in front from the accessibility bus: the press waits until
# mousepad has told the bus it is active, as a user's press comes after its window does.
wait_until 30 is_active_pid "$MOUSEPAD_PID" || fail "mousepad did not become active on the bus"
show_with Mousepad
expect_no_text "Text Editor Settings"
escape_key
wait_hidden "after Escape over mousepad"

# A program under a name no entry runs: only the app_id that sway tells of its window
# (GNOME Text Editor's application id) leads to its entry.
cp "$(command -v gnome-text-editor)" "$TAVLIN_DESKTOP_DIR/plain-editor"
start_app RENAMED env GDK_BACKEND=wayland "$TAVLIN_DESKTOP_DIR/plain-editor"
wait_until 30 is_active_pid "$RENAMED_PID" || fail "the renamed text editor did not become active on the bus"
show_with "Text Editor"
expect_no_text "plain-editor"
escape_key
wait_hidden "after Escape over the renamed text editor"

# `tavlin --bind-hot-key` finds its own binding in sway's config, written by hand with a
# path of its own: done, not "taken".
printf "bindsym Mod1+space exec \"'%s' --toggle\"\n" "$tavlin" >>"$TAVLIN_DESKTOP_DIR/sway.conf"
swaymsg reload >/dev/null || fail "sway did not reload its config"
"$tavlin" --bind-hot-key >"$TAVLIN_DESKTOP_DIR/bind" 2>&1 || { cat "$TAVLIN_DESKTOP_DIR/bind" >&2; fail "--bind-hot-key over its own binding"; }
grep -q "already runs Tavlin" "$TAVLIN_DESKTOP_DIR/bind" || fail "--bind-hot-key did not say the binding is there"

# A Wayland session without XWayland: Tavlin says so and ends with a failure.
! env -u DISPLAY "$tavlin" tavlin://show 2>"$TAVLIN_DESKTOP_DIR/no-xwayland" || fail "started without XWayland"
grep -q XWayland "$TAVLIN_DESKTOP_DIR/no-xwayland" || fail "no word about XWayland"
echo PASS
