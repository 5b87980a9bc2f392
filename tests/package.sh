#!/usr/bin/env bash
# Checks the .deb as a user's machine meets it: the files it installs, the menu entry and
# metainfo as the desktop's own validators read them, and both programs run from the package.
set -euo pipefail
deb=$1
id=io.github.quorbel.Quorbel
scratch=$(mktemp -d)
trap 'rm -rf "$scratch"' EXIT
fail() { echo "package.sh: $deb: $*" >&2; exit 1; }

contents=$(dpkg-deb -c "$deb")
for file in bin/quorbel{,-sheet} share/man/man1/quorbel{,-sheet}.1.gz \
    share/applications/$id.desktop share/metainfo/$id.metainfo.xml \
    share/doc/quorbel/{README.md,LICENSE} share/icons/hicolor/scalable/apps/$id.svg \
    share/bash-completion/completions/quorbel{,-sheet} \
    share/icons/hicolor/{16x16,24x24,32x32,48x48,64x64,128x128,256x256}/apps/$id.png; do
    grep -q " \./usr/$file\$" <<<"$contents" || fail "no /usr/$file"
done
dpkg-deb -f "$deb" Depends | grep -qw fonts-dejavu-core || fail "does not depend on fonts-dejavu-core"
dpkg-deb -x "$deb" "$scratch"
desktop-file-validate "$scratch/usr/share/applications/$id.desktop"
appstreamcli validate --no-net "$scratch/usr/share/metainfo/$id.metainfo.xml"

# The programs, the JSON they write and the package carry one version.
version=$(dpkg-deb -f "$deb" Version)
[ "$("$scratch/usr/bin/quorbel-sheet" --version)" = "quorbel-sheet $version" ] \
    || fail "quorbel-sheet --version is not $version"
[ "$("$scratch/usr/bin/quorbel" --version)" = "quorbel $version" ] \
    || fail "quorbel --version is not $version"
"$scratch/usr/bin/quorbel-sheet" "$(dirname "$0")/../samples/walk" --rows 2 \
    -o "$scratch/walk.bmp" --json "$scratch/walk.json" >/dev/null
grep -q "\"version\": \"$version\"" "$scratch/walk.json" || fail "the JSON's version is not $version"

# The desktop program cannot be told to quit, so it passes when it is still up after a few
# seconds offscreen, having written its settings file beside itself on the way in.
status=0
QT_QPA_PLATFORM=offscreen timeout 5 "$scratch/usr/bin/quorbel" 2>"$scratch/log" || status=$?
[ "$status" -eq 124 ] || fail "quorbel ended by itself, status $status: $(cat "$scratch/log")"
[ -s "$scratch/usr/bin/quorbel.ini" ] || fail "quorbel wrote no settings file beside itself"
echo "package.sh: $deb checked"
