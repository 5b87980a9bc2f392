#!/usr/bin/env bash
# TAB after a partial command line, as bash calls the completion that the script registers: what
# it offers for quorbel-sheet's options and their values, folders and files, and quorbel's
# folders. Every long option quorbel-sheet --help lists must be offered, and no other.
# Usage: completion.sh QUORBEL-SHEET COMPLETION-SCRIPT
set -uo pipefail
sheet=$1
source "$2"
cd "$(mktemp -d)" || exit 1
trap 'rm -rf "$PWD"' EXIT
mkdir spin "walk cycle"
touch notes.txt walk.json
failed=0

# expect OFFERED WORD...: the words as bash splits the line, the last one completed; OFFERED is
# what TAB offers, sorted, joined by "|".
expect() {
    local want=$1 got
    shift
    COMP_WORDS=("$@")
    COMP_CWORD=$(($# - 1))
    COMPREPLY=()
    $(complete -p "$1" | sed -E 's/.* -F ([^ ]+) .*/\1/') "$1" "${!#}" "${COMP_WORDS[-2]}"
    got=$(printf '%s\n' "${COMPREPLY[@]}" | sort | paste -sd'|')
    [ "$got" = "$want" ] || { echo "completion.sh: $*: offers '$got', not '$want'" >&2; failed=1; }
}

expect "$("$sheet" --help | grep -oE -- '--[a-z][a-z-]*' | sort -u | paste -sd'|')" quorbel-sheet --
expect --frames quorbel-sheet --fr
expect 'natural|text' quorbel-sheet spin --order ''
expect 'natural|text' quorbel-sheet spin --order =
expect natural quorbel-sheet spin --order = n
expect 'bmp|bmp,png|png' quorbel-sheet spin --frames ''
expect '' quorbel-sheet spin --rows ''
expect 'spin|walk cycle' quorbel-sheet ''
expect 'walk cycle' quorbel-sheet 'walk\ c'
expect 'notes.txt|spin|walk cycle|walk.json' quorbel-sheet spin --rows 2 -o ''
expect 'walk cycle|walk.json' quorbel-sheet spin --rows 2 -o out.png --json w
expect 'spin|walk cycle' quorbel ''
expect 'walk cycle' quorbel "'walk"
exit $failed
