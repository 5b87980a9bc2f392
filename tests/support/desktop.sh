#!/bin/sh
# Runs a test on a real X server with a window manager, as a desktop user meets the program:
# Xvfb with openbox, ready before the test starts. Without them the test runs offscreen, where
# it skips and says why.
if ! command -v xvfb-run >/dev/null || ! command -v openbox >/dev/null; then
    exec env QUORBEL_NO_DESKTOP="xvfb-run or openbox is not installed" "$@"
fi
exec xvfb-run -a -s "-screen 0 1024x768x24" sh -c '
    ready=$(mktemp -u)
    openbox --startup "touch $ready" >/dev/null 2>&1 &
    wm=$!
    for i in $(seq 100); do [ -e "$ready" ] && break; sleep 0.1; done
    [ -e "$ready" ] || { echo "openbox did not start" >&2; exit 1; }
    rm -f "$ready"
    # No session bus either: without one, libdbus tries to start one through X and leaks when
    # that fails, which the sanitized run would report. Nor the desktop of the terminal it was
    # started from, whose theme could hand the save dialog to a toolkit the keys cannot reach.
    unset XDG_CURRENT_DESKTOP QT_QPA_PLATFORMTHEME
    DBUS_SESSION_BUS_ADDRESS=disabled: QT_QPA_PLATFORM=xcb "$@"
    status=$?
    kill $wm
    exit $status' desktop "$@"
