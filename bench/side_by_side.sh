#!/usr/bin/env bash
# Times varn against the common tools doing the same work on the same
# 5,000,000-line inputs, in one run, and prints medians and ratios.
#
#   bench/side_by_side.sh [--only bars] [--data DIR] [LINES]    (LINES: 5000000)
#
# VARN=PATH times another varn binary (an earlier build, to compare before
# and after on the same inputs) in place of build/release/src/cli/varn.
# --only bars times the bar job alone. --data DIR takes the inputs that an
# earlier run left in DIR (conv0.csv, minutes.csv, ...; same names, same
# generator) when they hold LINES lines, and makes the others afresh.
#
# Needs the release build (cmake --preset release && cmake --build --preset
# release), mawk, hyperfine and datamash. Optional, each skipped with a note
# when missing: python3-pandas, and DuckDB and Polars (Node.js packages) for
# the bar job; scripts/install-deps.sh --bench installs them all.
set -euo pipefail
cd "$(dirname "$0")/.."
only=""
data=""
while [ $# -gt 0 ]; do
    case $1 in
        --only) only=$2; shift 2 ;;
        --data) data=$2; shift 2 ;;
        -*) echo "usage: bench/side_by_side.sh [--only bars] [--data DIR] [LINES]" >&2; exit 2 ;;
        *) break ;;
    esac
done
case $only in "" | bars) ;; *) echo "--only takes bars" >&2; exit 2 ;; esac
lines=${1:-5000000}
varn=${VARN:-build/release/src/cli/varn}
peers=build/bench-peers
work=$(mktemp -d)
trap 'rm -rf "$work"' EXIT
status=0

echo "machine: $(nproc) cores, $(grep -m1 'model name' /proc/cpuinfo | cut -d: -f2 | sed 's/^ *//')"
echo "lines: $lines"

# Inputs: conversion 0 (YYYY,MM,DD,PRICE), conversion 1 (intraday), daily
# MM/DD/YYYY lines for conversion 2, bare prices for conversion 3, truncated
# Julian days for conversion 4, and one-minute bar lines.
make_input() {  # file name, mawk program printing LINES lines
    if [ -n "$data" ] && [ -f "$data/$1" ] && [ "$(wc -l < "$data/$1")" -eq "$lines" ]; then
        ln -s "$(realpath "$data/$1")" "$work/$1"
    else
        mawk -v n="$lines" "$2" > "$work/$1"
    fi
}
if [ -z "$only" ]; then
    make_input conv0.csv 'BEGIN { srand(1); for (i = 0; i < n; i++) {
        d = i % 28 + 1; m = int(i / 28) % 12 + 1; y = 1971 + int(i / 336) % 50;
        printf "%d,%d,%d,%.4f\n", y, m, d, 4 + rand() } }'
    make_input conv1.csv 'BEGIN { srand(2); for (i = 0; i < n; i++) {
        t = i % 390; h = 9 + int((t + 30) / 60); mi = (t + 30) % 60; p = 1270 + rand() * 5;
        printf "06%02d%02d,%02d%02d,%.6f,%.6f,%.6f,%.6f,%d\n", int(i / 10000) % 12 + 1, int(i / 390) % 28 + 1,
            h, mi, p, p + 1, p - 1, p + 0.5, 20000 + int(rand() * 20000) } }'
    make_input daily.csv 'BEGIN { srand(3); for (i = 0; i < n; i++) {
        d = i % 28 + 1; m = int(i / 28) % 12 + 1; y = 1900 + int(i / 336) % 1000;
        printf "%02d/%02d/%04d,%.4f,%.4f,%.4f,%.4f,%d\n", m, d, y, 1.2, 1.3, 1.1, 1.25, 1000 + i % 5000 } }'
    make_input prices.txt 'BEGIN { srand(4); for (i = 0; i < n; i++) printf "%.4f\n", 4 + rand() }'
    make_input tjul.txt 'BEGIN { srand(5); for (i = 0; i < n; i++) printf "%.5f %.3f\n", 40000 + i / 96, 1 + rand() }'
fi
make_input minutes.csv 'BEGIN { srand(6); for (i = 0; i < n; i++) {
    mi = i % 1440; day = int(i / 1440); d = day % 28 + 1; m = int(day / 28) % 12 + 1; y = 2000 + int(day / 336);
    p = 1.2 + rand() / 10;
    printf "%02d/%02d/%04d,%02d:%02d,%.4f,%.4f,%.4f,%.4f,%d\n", m, d, y, int(mi / 60), mi % 60, p, p + 0.001, p - 0.001, p, 100 + i % 900 } }'
ls -lL "$work" | awk 'NR > 1 { printf "  %s %d bytes\n", $9, $5 }'

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
cpu_row() {  # label, run name, baseline label, baseline run name: wall, then CPU time
    # CPU time (user + system, mean) moves less than wall time on a busy
    # machine, but counts every thread of a tool that uses several.
    python3 - "$@" "$work" <<'PY'
import json, statistics, sys
label, name, base_label, base, work = sys.argv[1:]
def load(n):
    r = json.load(open(f"{work}/{n}.json"))["results"][0]
    return statistics.median(r["times"]), r["user"] + r["system"]
(w, c), (bw, bc) = load(name), load(base)
cpu_ratio = f"{c / bc:5.2f}" if bc > 0 else "    -"
print(f"  {label:<34} {w:8.3f} s   {base_label:<22} {bw:8.3f} s   ratio {w / bw:5.2f}"
      f"   CPU {c:6.2f} s / {bc:6.2f} s, ratio {cpu_ratio}")
PY
}

if [ -z "$only" ]; then
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
        if [ "$n" = 4 ]; then c4=$c; fi
    done
    # Conversion 4 in mawk: the Julian day half a day on, to the calendar by
    # the classic formulas, the time to the nearest second (same output).
    cat > "$work/c4.awk" <<'AWK'
{ jd = ("24" $1) + 1; z = int(jd); f = jd - z; s = int(f * 86400 + 0.5)
  if (s >= 86400) { z++; s -= 86400 }
  if (z >= 2299161) { a = int((z - 1867216.25) / 36524.25); a = z + 1 + a - int(a / 4) } else a = z
  b = a + 1524; c = int((b - 122.1) / 365.25); d = int(365.25 * c); e = int((b - d) / 30.6001)
  day = b - d - int(30.6001 * e); mo = e < 14 ? e - 1 : e - 13; yr = mo > 2 ? c - 4716 : c - 4715
  printf "%d/%d/%d %d:%02d:%02d  %s\r\n", mo, day, yr, int(s / 3600), int(s / 60) % 60, s % 60, $2 }
AWK
    m4=$(run m4 "mawk -f $work/c4.awk $work/tjul.txt > $work/out")
    row "varn convert 4 (tjul.txt)" "$c4" "mawk" "$m4"
    echo "  peak memory (KiB): convert 0 $(peak_kb "$varn convert -f 0 $work/conv0.csv $work/out"), convert 2 $(peak_kb "$varn convert -f 2 $work/daily.csv $work/out") for $(($(stat -L -c %s $work/daily.csv) / 1024)) KiB input, convert 3 $(peak_kb "$varn convert -f 3 $work/prices.txt $work/out") for $(($(stat -L -c %s $work/prices.txt) / 1024)) KiB input"

    echo
    echo "counting and truncation:"
    count=$(run count "$varn count $work/conv0.csv")
    wc_s=$(run wc "wc -l $work/conv0.csv")
    row "varn count" "$count" "wc -l" "$wc_s"
    trunc=$(run trunc "$varn truncate --lines 10000 $work/conv0.csv $work/out")
    tail_s=$(run tail "tail -n 10000 $work/conv0.csv > $work/out")
    row "varn truncate --lines 10000" "$trunc" "tail -n 10000" "$tail_s"
fi

echo "bars from one-minute lines (wall: median of 5 runs; ratio = varn / other):"
m=$work/minutes.csv
detect=$(run detect "$varn detect $m")
echo "  varn detect                        $(python3 -c "print(f'{$detect*1000:8.1f} ms')")"
run wc_m "wc -l $m" >/dev/null

# Every tool writes its bars to a file of its own, so that each can be
# checked to hold as many bars as varn's.
tally() {  # label, output file, header lines: adds the bar count to $counts
    local n=$(($(wc -l < "$2") - $3))
    counts+=", $1 $n"
    if [ "$n" -ne "$nb" ]; then
        echo "    CHECK FAILED: $1 wrote $n bars, varn $nb"
        status=1
    fi
}

# mawk: a bar ends where the key (the date, the date and five-minute slot,
# or month and year) changes, as varn's and datamash's do; no date checks.
cat > "$work/bars.awk" <<'AWK'
BEGIN { FS = "," }
{
    if (p == "5min") k = $1 " " substr($2, 1, 3) sprintf("%02d", int(substr($2, 4, 2) / 5) * 5)
    else if (p == "month") k = substr($1, 1, 3) substr($1, 7, 4)
    else k = $1
    if (NR == 1 || k != key) {
        if (NR > 1) print key "," o "," h "," l "," c
        key = k; o = $3; h = $4; l = $5
    }
    if ($4 + 0 > h + 0) h = $4
    if ($5 + 0 < l + 0) l = $5
    c = $6
}
END { if (NR > 0) print key "," o "," h "," l "," c }
AWK

# DuckDB and Polars run as Node.js scripts beside their packages, which
# scripts/install-deps.sh --bench puts in build/bench-peers.
have_peer() {  # npm package name
    command -v node >/dev/null && [ -d "$peers/node_modules/$1" ] &&
        (cd "$peers" && node --input-type=module -e "await import('$1')") >/dev/null 2>&1
}
peer_names=()
if have_peer @duckdb/node-api; then peer_names+=(duckdb); else echo "  (DuckDB not installed: scripts/install-deps.sh --bench)"; fi
if have_peer nodejs-polars; then peer_names+=(polars); else echo "  (Polars not installed: scripts/install-deps.sh --bench)"; fi
for peer in "${peer_names[@]}"; do cp "bench/peers/${peer}_bars.mjs" "$peers/"; done
have_pandas=0
if /usr/bin/python3 -c 'import pandas' 2>/dev/null; then have_pandas=1; else echo "  (pandas not installed)"; fi

for p in 5min day month; do
    echo "  -p $p:"
    run "bars_$p" "$varn bars -d 5 -t 3 -p $p $m $work/bars_varn" >/dev/null
    nb=$(wc -l < "$work/bars_varn")
    counts="varn $nb"
    cpu_row "varn bars -p $p" "bars_$p" "wc -l" wc_m
    if [ $p = day ]; then
        run datamash "datamash -t, groupby 1 first 3 max 4 min 5 last 6 < $m > $work/bars_datamash" >/dev/null
        tally datamash "$work/bars_datamash" 0
        cpu_row "varn bars -p day" bars_day datamash datamash
    fi
    for peer in "${peer_names[@]}"; do
        label=$(case $peer in duckdb) echo DuckDB ;; polars) echo Polars ;; esac)
        if ! node "$peers/${peer}_bars.mjs" "$m" $p "$work/bars_$peer" 2> "$work/$peer.err"; then
            echo "  $label failed, left out: $(head -c 300 "$work/$peer.err")"
            status=1
            continue
        fi
        tally "$label" "$work/bars_$peer" 0
        run "${peer}_$p" "node $peers/${peer}_bars.mjs $m $p $work/bars_$peer" >/dev/null
        cpu_row "varn bars -p $p" "bars_$p" "$label" "${peer}_$p"
    done
    run "mawk_$p" "mawk -v p=$p -f $work/bars.awk $m > $work/bars_mawk" >/dev/null
    tally mawk "$work/bars_mawk" 0
    cpu_row "varn bars -p $p" "bars_$p" mawk "mawk_$p"
    if [ $have_pandas = 1 ]; then
        rule=$(case $p in 5min) echo 5min ;; day) echo D ;; month) echo MS ;; esac)
        cat > "$work/pd_$p.py" <<PY
import pandas as pd, sys
df = pd.read_csv("$m", header=None, names=["d","t","o","h","l","c","v"], dtype={"d": str, "t": str})
df.index = pd.to_datetime(df["d"] + " " + df["t"], format="%m/%d/%Y %H:%M")
r = df.resample("$rule").agg({"o": "first", "h": "max", "l": "min", "c": "last"}).dropna()
r.to_csv("$work/bars_pandas")
PY
        run "pd_$p" "/usr/bin/python3 $work/pd_$p.py" >/dev/null
        tally pandas "$work/bars_pandas" 1
        cpu_row "varn bars -p $p" "bars_$p" pandas "pd_$p"
    fi
    echo "    bars written: $counts"
done
peak="varn $(peak_kb "$varn bars -d 5 -t 3 -p day $m $work/out")"
for peer in "${peer_names[@]}"; do
    peak+=", $peer $(peak_kb "node $peers/${peer}_bars.mjs $m day $work/out")"
done
echo "  peak memory, day bars (KiB): $peak"
exit $status
