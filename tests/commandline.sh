#!/usr/bin/env bash
# quorbel-sheet as a shell user meets it: its help shows every option in an example, and TAB after
# a partial command line offers, as bash calls the completion script, every long option the help
# lists and no other, the values of options, folders and files; and quorbel's folders.
set -uo pipefail
source "$2"
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
exit $failed
