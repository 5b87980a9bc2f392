#!/usr/bin/env bash
# Both commands as a shell user meets them: quorbel-sheet's help shows every option in an example,
# and TAB after a partial command line offers, as bash calls the completion script, every long
# option each command's help lists and no other, the values of options, folders and files.
# quorbel answers its own options without a display. Usage: commandline.sh QUORBEL-SHEET
# COMPLETION-SCRIPT QUORBEL
set -uo pipefail
source "$2"
quorbel=$3
help=$("$1" --help)
options=$(grep -oE -- '--[a-z][a-z-]*' <<<"$help" | sort -u)
cd "$(mktemp -d)" || exit 1
trap 'rm -rf "$PWD"' EXIT
mkdir spin "walk cycle"
touch notes.txt walk.json
failed=0
for option in $options; do
    [[ $option == --help || $option == --version ]] || grep -qE -- "^ +e\.g\. .*$option( |\$)" \
        <<<"$help" || { echo "commandline.sh: --help shows no example of $option" >&2; failed=1; }
done

# expect OFFERED WORD...: the words as bash splits the line, the last one completed; OFFERED is
# what TAB offers, sorted, joined by "|".
expect() {
    local want=$1 got
    shift
    COMP_WORDS=("$@")
    COMP_CWORD=$(($# - 1))
    $(complete -p "$1" | sed -E 's/.* -F ([^ ]+) .*/\1/') "$1" "${!#}" "${COMP_WORDS[-2]}"
    got=$(printf '%s\n' "${COMPREPLY[@]}" | sort | paste -sd'|')
    [ "$got" = "$want" ] || { echo "commandline.sh: $*: offers '$got', not '$want'" >&2; failed=1; }
}

expect "$(paste -sd'|' <<<"$options")" quorbel-sheet --
expect --frames quorbel-sheet --fr
expect 'natural|text' quorbel-sheet spin --order =
expect natural quorbel-sheet spin --order = n
expect 'bmp|bmp,png|png' quorbel-sheet spin --frames ''
expect '' quorbel-sheet spin --rows ''
expect 'spin|walk cycle' quorbel-sheet ''
expect 'walk cycle' quorbel-sheet 'walk\ c'
expect 'walk cycle|walk.json' quorbel-sheet spin --rows 2 -o out.png --json w
expect 'walk cycle' quorbel "'walk"
expect "$("$quorbel" --help | grep -oE -- '--[a-z][a-z-]*' | sort -u | paste -sd'|')" quorbel -

# answers STATUS OUT ERR ARGUMENT...: quorbel's exit status, the first line it prints and what it
# says on standard error, lines joined by "|", where opening a window would fail.
answers() {
    local want="$1 $2 $3" got
    shift 3
    env -u DISPLAY -u WAYLAND_DISPLAY QT_QPA_PLATFORM=xcb timeout 10 "$quorbel" "$@" >out 2>err
    got="$? $(head -1 out) $(paste -sd'|' err)"
    [ "$got" = "$want" ] || { echo "commandline.sh: quorbel $*: '$got', not '$want'" >&2; failed=1; }
}
answers 0 'Usage: quorbel [FOLDER]' '' --help
answers 0 'Usage: quorbel [FOLDER]' '' -h
answers 2 '' "quorbel: Unknown option 'frob'.|Try quorbel --help" --frob
answers 2 '' "quorbel: Unknown option 'platform'.|Try quorbel --help" -platform offscreen walk
exit $failed
