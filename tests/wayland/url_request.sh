#!/usr/bin/env bash
# In a Wayland session, "tavlin tavlin://show?bundle=ID" shows the named application: by
# the desktop entry it was launched from, by its executable's desktop entry, or by the
# name it gives itself on the bus.
set -euo pipefail
source "$(dirname "$0")/lib.sh"
tavlin=$1 qt6=$2
set_accessibility true

# The GTK application started from a desktop entry by a launcher that says so in its
# environment, as GIO's launchers do: the entry's file and the pid it was started as.
# (Its Exec line runs env, so only that environment can tell the entry.)
mkdir -p "$XDG_DATA_HOME/applications"
launched_entry="$XDG_DATA_HOME/applications/org.example.LaunchedDemo.desktop"
printf '[Desktop Entry]\nType=Application\nName=Launched Demo\nExec=env GDK_BACKEND=wayland %s\n' "$GTK_APP" >"$launched_entry"
# shellcheck disable=SC2016
start_app LAUNCHED sh -c 'exec env GIO_LAUNCHED_DESKTOP_FILE="$1" GIO_LAUNCHED_DESKTOP_FILE_PID=$$ \
  GDK_BACKEND=wayland "$2"' sh "$launched_entry" "$GTK_APP"

wait_until 30 is_active_pid "$LAUNCHED_PID" || fail "the launched application did not become active on the bus"

# An application without a desktop entry (the Qt 6 window under another file name)
# goes by its name on the bus.
mkdir -p "$TAVLIN_DESKTOP_DIR/bin"
cp "$qt6" "$TAVLIN_DESKTOP_DIR/bin/unlisted-menus"
start_app UNLISTED env QT_QPA_PLATFORM=wayland "$TAVLIN_DESKTOP_DIR/bin/unlisted-menus"
wait_until 30 is_active_pid "$UNLISTED_PID" || fail "the unlisted application did not become active on the bus"

start_qt6 "$qt6"
wait_until 30 is_active_pid "$QT6_PID" || fail "the Qt 6 application did not become active on the bus"
# Every application has told the bus of its window before Tavlin starts: an activation
# told late would hide the overlay a request has just shown, as a click elsewhere does.
start_tavlin "$tavlin"

"$tavlin" "tavlin://show?bundle=org.example.LaunchedDemo" || fail "the forwarding start failed"
wait_until 30 shows_text "Launched Demo" || fail "the launch environment did not name the application"
expect_text "New" "Save As..."

"$tavlin" "tavlin://show?bundle=$QT6_APP_ID" || fail "the forwarding start failed"
wait_until 30 shows_text "$QT6_APP_NAME" || fail "the executable's desktop entry did not name the application"
expect_no_text "Launched Demo"

"$tavlin" "tavlin://show?bundle=Tavlin%20Qt6%20Menus" || fail "the forwarding start failed"
wait_until 30 shows_text "Tavlin Qt6 Menus" || fail "the bus name did not name the application"

# A bundle that runs nowhere keeps the target; the overlay stays.
"$tavlin" "tavlin://show?bundle=org.example.Missing" || fail "the forwarding start failed"
sleep 0.5
expect_text "Tavlin Qt6 Menus"
kill -0 "$TAVLIN_PID" || fail "the instance ended"
echo PASS
