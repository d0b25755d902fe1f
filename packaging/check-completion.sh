#!/usr/bin/env bash
# Checks the bash completion of varn: each case is the words typed (the last
# one being completed) and what must be offered, or must not be.
#
#   check-completion.sh COMPLETION_FILE
set -u
completion=$(realpath "$1")
folder=$(mktemp -d)
trap 'rm -rf "$folder"' EXIT
cd "$folder" && touch a.csv b.csv

# Prints what completing the words offers, sorted, on one line.
offered() {
    bash -c '
        source /usr/share/bash-completion/bash_completion
        source "$0"
        COMP_WORDS=("$@"); COMP_CWORD=$(( $# - 1 ))
        COMP_LINE="$*"; COMP_POINT=${#COMP_LINE}
        _varn
        printf "%s\n" "${COMPREPLY[@]}" | sort | tr "\n" " "' "$completion" "$@"
}

failures=0
# expect WANTED|UNWANTED WORD... -- words
expect() {
    local mode=$1 word=$2
    shift 2
    local got
    got=" $(offered "$@")"
    if [[ $mode == offers && $got != *" $word "* ]] || [[ $mode == lacks && $got == *" $word "* ]]; then
        echo "$* : should $( [[ $mode == offers ]] && echo offer || echo not offer) $word; offered:$got"
        failures=$((failures + 1))
    fi
}

expect offers convert varn ''
expect offers help varn ''
expect offers -v varn -
expect offers a.csv varn bars ''
expect offers a.csv varn bars a.csv ''
expect lacks a.csv varn bars a.csv b.csv ''          # INPUT and OUTPUT given
expect offers --header varn bars a.csv b.csv ''
expect offers a.csv varn bars --out-dir d a.csv b.csv ''  # any number of inputs
expect lacks a.csv varn convert -f 0 --threads 2 a.csv b.csv ''
expect offers a.csv varn convert -f 0 a.csv ''
expect lacks a.csv varn detect a.csv ''
expect offers --json varn detect a.csv ''
expect offers a.csv varn count a.csv b.csv ''
expect lacks a.csv varn layouts ''
expect offers -p varn bars -
expect offers -f varn convert -
expect offers -n varn truncate -
expect offers csv varn bars --delimiter ''
expect offers lf varn convert --eol ''
expect offers bars varn help ''
exit $((failures > 0))
