#!/usr/bin/env bash
# Makes the README's two pictures again from the built programs (./build.sh first):
# - docs/screenshot.png: Quorbel on an invisible X server, started in a folder of frames it
#   remembers, 2 rows picked and Draw pressed, as a user would;
# - docs/sheet-padded.png: the PNG sheet of the README's quorbel-sheet command, with padding and
#   extrusion, enlarged 4 times on a checkerboard that shows where it is transparent.
# The frames are a copy of samples/walk in /tmp/art/walk, so the folder list shows no build or
# checkout path. Needs the packages xvfb, xdotool and imagemagick.
set -euo pipefail
here=$(cd "$(dirname "${BASH_SOURCE[0]}")/.." && pwd)
art=/tmp/art
[ ! -e "$art" ] || { echo "make-screenshot.sh: $art is in the way; move it first" >&2; exit 1; }
work=$(mktemp -d)
trap 'kill $(jobs -p) 2>/dev/null; rm -rf "$work" "$art"' EXIT
mkdir -p "$art"
cp -r "$here/samples/walk" "$art/walk"
# Pictures without the time they were made, so the same programs make the same files.
keep() { convert "$1" -strip -define png:exclude-chunks=date,time "$2"; echo "wrote $2"; }

# A copy of the program with a settings file of its own beside it, which remembers the folder it
# starts in and leaves the user's settings alone.
cp "$here/build/src/quorbel" "$work/"
printf '%s\r\n' "$art/walk" >"$work/quorbel.ini"

Xvfb -displayfd 3 -screen 0 800x600x24 -nolisten tcp 3>"$work/display" &
while [ ! -s "$work/display" ]; do sleep 0.1; done
export DISPLAY=:$(cat "$work/display")
(cd "$art/walk" && "$work/quorbel" 2>/dev/null) &
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
import -window "$window" "$work/screenshot.png"
keep "$work/screenshot.png" "$here/docs/screenshot.png"

# The README shows this command beside the picture.
(cd "$art" && "$here/build/src/quorbel-sheet" walk --rows 2 --padding 4 --extrude 1 \
    -o "$work/walk.png" >/dev/null)
convert "$work/walk.png" -filter point -resize 400% "$work/big.png"
convert -size "$(identify -format %wx%h "$work/big.png")" tile:pattern:checkerboard \
    "$work/big.png" -composite "$work/sheet-padded.png"
keep "$work/sheet-padded.png" "$here/docs/sheet-padded.png"
