#!/usr/bin/env bash
# Times varn against the common tools doing the same work on the same
# 5,000,000-line inputs, in one run, and prints medians and ratios.
#
#   bench/side_by_side.sh [LINES]      (default 5000000)
#
# Needs the release build (cmake --preset release && cmake --build --preset
# release), mawk, hyperfine and datamash; python3-pandas for the bar case is
# optional.
set -euo pipefail
cd "$(dirname "$0")/.."
lines=${1:-5000000}
varn=build/release/src/cli/varn
work=$(mktemp -d)
trap 'rm -rf "$work"' EXIT

echo "machine: $(nproc) cores, $(grep -m1 'model name' /proc/cpuinfo | cut -d: -f2 | sed 's/^ *//')"
echo "lines: $lines"

# Inputs: conversion 0 (YYYY,MM,DD,PRICE), conversion 1 (intraday), daily
# MM/DD/YYYY lines for conversion 2, bare prices for conversion 3, truncated
# Julian days for conversion 4, and one-minute bar lines.
mawk -v n="$lines" 'BEGIN { srand(1); for (i = 0; i < n; i++) {
    d = i % 28 + 1; m = int(i / 28) % 12 + 1; y = 1971 + int(i / 336) % 50;
    printf "%d,%d,%d,%.4f\n", y, m, d, 4 + rand() } }' > "$work/conv0.csv"
mawk -v n="$lines" 'BEGIN { srand(2); for (i = 0; i < n; i++) {
    t = i % 390; h = 9 + int((t + 30) / 60); mi = (t + 30) % 60; p = 1270 + rand() * 5;
    printf "06%02d%02d,%02d%02d,%.6f,%.6f,%.6f,%.6f,%d\n", int(i / 10000) % 12 + 1, int(i / 390) % 28 + 1,
        h, mi, p, p + 1, p - 1, p + 0.5, 20000 + int(rand() * 20000) } }' > "$work/conv1.csv"
mawk -v n="$lines" 'BEGIN { srand(3); for (i = 0; i < n; i++) {
    d = i % 28 + 1; m = int(i / 28) % 12 + 1; y = 1900 + int(i / 336) % 1000;
    printf "%02d/%02d/%04d,%.4f,%.4f,%.4f,%.4f,%d\n", m, d, y, 1.2, 1.3, 1.1, 1.25, 1000 + i % 5000 } }' > "$work/daily.csv"
mawk -v n="$lines" 'BEGIN { srand(4); for (i = 0; i < n; i++) printf "%.4f\n", 4 + rand() }' > "$work/prices.txt"
mawk -v n="$lines" 'BEGIN { srand(5); for (i = 0; i < n; i++) printf "%.5f %.3f\n", 40000 + i / 96, 1 + rand() }' > "$work/tjul.txt"
mawk -v n="$lines" 'BEGIN { srand(6); for (i = 0; i < n; i++) {
    mi = i % 1440; day = int(i / 1440); d = day % 28 + 1; m = int(day / 28) % 12 + 1; y = 2000 + int(day / 336);
    p = 1.2 + rand() / 10;
    printf "%02d/%02d/%04d,%02d:%02d,%.4f,%.4f,%.4f,%.4f,%d\n", m, d, y, int(mi / 60), mi % 60, p, p + 0.001, p - 0.001, p, 100 + i % 900 } }' > "$work/minutes.csv"
ls -l "$work" | awk 'NR > 1 { printf "  %s %d bytes\n", $9, $5 }'

run() {  # name, command...
    hyperfine --style none --runs 5 --warmup 1 --export-json "$work/$1.json" "$2" >/dev/null 2>&1
    python3 -c "import json,statistics; r=json.load(open('$work/$1.json'))['results'][0]; print(statistics.median(r['times']))"
}
peak_kb() {  # command: peak resident set in KiB
    /usr/bin/time -f '%M' bash -c "$1" 2>&1 >/dev/null | tail -1
}
row() {  # label, seconds, baseline label, baseline seconds
    python3 -c "print(f'  {\"$1\":<34} {$2:8.3f} s   {\"$3\":<22} {$4:8.3f} s   ratio {$2/$4:5.2f}')"
}

echo
echo "conversions (median of 5 runs):"
cat_s=$(run cat "cat $work/conv0.csv > $work/out")
c0=$(run c0 "$varn convert -f 0 $work/conv0.csv $work/out")
m0=$(run m0 "mawk -F, '{ printf \"%s/%s/%s   %s\\r\\n\", \$2, \$3, \$1, \$4 }' $work/conv0.csv > $work/out")
c1=$(run c1 "$varn convert -f 1 $work/conv1.csv $work/out")
m1=$(run m1 "mawk -F, '\$1 ~ /^[0-9][0-9][0-9][0-9][0-9][0-9]\$/ && \$2 ~ /^[0-9][0-9][0-9][0-9]\$/ { printf \"%s/%s/20%s  %s:%s  %s  %s  %s  %s  %s  %s\\r\\n\", substr(\$1,3,2), substr(\$1,5,2), substr(\$1,1,2), substr(\$2,1,2), substr(\$2,3,2), \$3, \$4, \$5, \$6, \$7, \$8 }' $work/conv1.csv > $work/out")
row "varn convert 0" "$c0" "mawk" "$m0"
row "varn convert 0" "$c0" "cat > out" "$cat_s"
row "varn convert 1" "$c1" "mawk" "$m1"
cat1=$(run cat1 "cat $work/conv1.csv > $work/out")
row "varn convert 1" "$c1" "cat > out" "$cat1"
for n in 2 3 4; do
    case $n in 2) in=daily.csv ;; 3) in=prices.txt ;; 4) in=tjul.txt ;; esac
    c=$(run "c$n" "$varn convert -f $n $work/$in $work/out")
    row "varn convert $n ($in)" "$c" "varn convert 0" "$c0"
done
echo "  peak memory (KiB): convert 0 $(peak_kb "$varn convert -f 0 $work/conv0.csv $work/out"), convert 2 $(peak_kb "$varn convert -f 2 $work/daily.csv $work/out") for $(($(stat -c %s $work/daily.csv) / 1024)) KiB input, convert 3 $(peak_kb "$varn convert -f 3 $work/prices.txt $work/out") for $(($(stat -c %s $work/prices.txt) / 1024)) KiB input"

echo
echo "counting and truncation:"
count=$(run count "$varn count $work/conv0.csv")
wc_s=$(run wc "wc -l $work/conv0.csv")
row "varn count" "$count" "wc -l" "$wc_s"
trunc=$(run trunc "$varn truncate --lines 10000 $work/conv0.csv $work/out")
tail_s=$(run tail "tail -n 10000 $work/conv0.csv > $work/out")
row "varn truncate --lines 10000" "$trunc" "tail -n 10000" "$tail_s"

echo
echo "bars from one-minute lines:"
detect=$(run detect "$varn detect $work/minutes.csv")
echo "  varn detect                        $(python3 -c "print(f'{$detect*1000:8.1f} ms')")"
dm=$(run datamash "datamash -t, -g 1 first 3 max 4 min 5 last 6 < $work/minutes.csv > $work/out")
for p in 5min day month; do
    b=$(run "bars_$p" "$varn bars -d 5 -t 3 -p $p $work/minutes.csv $work/out")
    if [ $p = day ]; then row "varn bars -p day" "$b" "datamash (daily)" "$dm"; fi
    if /usr/bin/python3 -c 'import pandas' 2>/dev/null; then
        rule=$(case $p in 5min) echo 5min ;; day) echo D ;; month) echo MS ;; esac)
        cat > "$work/pd_$p.py" <<PY
import pandas as pd, sys
df = pd.read_csv("$work/minutes.csv", header=None, names=["d","t","o","h","l","c","v"], dtype={"d": str, "t": str})
df.index = pd.to_datetime(df["d"] + " " + df["t"], format="%m/%d/%Y %H:%M")
r = df.resample("$rule").agg({"o": "first", "h": "max", "l": "min", "c": "last"}).dropna()
r.to_csv("$work/out")
PY
        pd_s=$(run "pd_$p" "/usr/bin/python3 $work/pd_$p.py")
        row "varn bars -p $p" "$b" "pandas" "$pd_s"
    else
        echo "  varn bars -p $p                   $b s   (pandas not installed)"
    fi
done
echo "  peak memory (KiB): varn bars -p day $(peak_kb "$varn bars -d 5 -t 3 -p day $work/minutes.csv $work/out")"
