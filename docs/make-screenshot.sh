#!/usr/bin/env bash
# Makes docs/screenshot.png again: the built Quorbel (build/src/quorbel, from ./build.sh) on an
# invisible X server, opened at samples/walk, 2 rows picked and Draw pressed, as a user would.
# Needs the packages xvfb, xdotool and imagemagick.
set -euo pipefail
here=$(cd "$(dirname "${BASH_SOURCE[0]}")/.." && pwd)
work=$(mktemp -d)
trap 'kill $(jobs -p) 2>/dev/null; rm -rf "$work"' EXIT

# A copy of the program with a settings file of its own beside it, which opens the Navigator
# at the sample and leaves the user's settings alone.
cp "$here/build/src/quorbel" "$work/"
printf '%s\r\n' "$here/samples/walk" >"$work/quorbel.ini"

Xvfb -displayfd 3 -screen 0 800x600x24 -nolisten tcp 3>"$work/display" &
while [ ! -s "$work/display" ]; do sleep 0.1; done
export DISPLAY=:$(cat "$work/display")
"$work/quorbel" 2>/dev/null &
window=$(xdotool search --sync --onlyvisible --classname '^quorbel$' | head -1)
sleep 1

# The Rows list: the Navigator opens at the top left of the workspace, and the list's middle
# lies 376 x 106 pixels into the Navigator's client area, which starts 2 x 39 pixels into the
# main window, below its menu bar and the Navigator's title bar. Its second entry is 2.
xdotool mousemove --window "$window" 378 145 click 1
sleep 0.5
xdotool key Down Return
sleep 0.5
xdotool key alt+d
sleep 1
import -window "$window" "$here/docs/screenshot.png"
echo "wrote $here/docs/screenshot.png"
