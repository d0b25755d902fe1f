#!/usr/bin/env bash
# Checks the bash completion of varn: each line below gives the words typed
# (the last one being completed), then "+" and a word that must be offered or
# "-" and one that must not.
#
#   check-completion.sh COMPLETION_FILE
set -u
completion=$(realpath "$1")
folder=$(mktemp -d) && trap 'rm -rf "$folder"' EXIT && cd "$folder" && touch a.csv b.csv
failures=0
while read -r sign word words; do
    offered=" $(bash -c 'source /usr/share/bash-completion/bash_completion; source "$0"
        COMP_WORDS=($1 ""); COMP_CWORD=${#COMP_WORDS[@]}; ((COMP_CWORD--))
        COMP_LINE="$1 "; COMP_POINT=${#COMP_LINE}; _varn
        printf "%s " "${COMPREPLY[@]}"' "$completion" "$words") "
    if [[ ($sign == + && $offered != *" $word "*) || ($sign == - && $offered == *" $word "*) ]]; then
        echo "'$words ': $sign$word expected; offered:$offered"
        failures=$((failures + 1))
    fi
done <<'CASES'
+ convert varn
+ help varn
+ a.csv varn bars
+ a.csv varn bars a.csv
- a.csv varn bars a.csv b.csv
+ --header varn bars a.csv b.csv
+ a.csv varn bars --out-dir d a.csv b.csv
- a.csv varn convert -f 0 --threads 2 a.csv b.csv
+ a.csv varn convert -f 0 a.csv
- a.csv varn detect a.csv
+ --json varn detect a.csv
+ a.csv varn count a.csv b.csv
- a.csv varn layouts
+ -p varn bars a.csv b.csv
+ -f varn convert a.csv b.csv
+ -n varn truncate a.csv b.csv
+ -v varn detect a.csv
+ csv varn bars --delimiter
+ lf varn convert --eol
+ bars varn help
+ America/New_York varn bars --zone-in
+ Europe/London varn detect --zone-out
- posixrules varn bars --zone-out
+ --zone-out varn bars a.csv b.csv
+ a.csv varn bars --zone-in UTC
CASES
exit $((failures > 0))
