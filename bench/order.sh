#!/usr/bin/env bash
# Times bars by time (--order auto, the default) against bars of runs
# (--order keep) on the one-minute lines of side_by_side.sh as written, newest
# first, shuffled, and as two downloads that overlap by a tenth:
#
#   bench/order.sh [LINES] [BASELINE_VARN]    (LINES: 5000000)
#
# For each file and period (5min, day): the median wall and CPU time of
# rounds taken in turns under hyperfine, and the peak resident memory
# (/usr/bin/time). Out of order, auto reads the file twice (the second pass
# keeps the bars by key, with 8 bytes a line, or 32 with --volume, to count
# repeats once); the note it writes is shown. With BASELINE_VARN (a varn
# built before bars by time) its bars of the file as written are timed
# beside and compared byte for byte.
#
# Needs the release build (cmake --preset release && cmake --build --preset
# release), mawk, hyperfine, GNU time and python3.
set -euo pipefail
cd "$(dirname "$0")/.."
lines=${1:-5000000}
baseline=${2:-}
varn=build/release/src/cli/varn
work=$(mktemp -d)
trap 'rm -rf "$work"' EXIT

echo "machine: $(nproc) cores, $(grep -m1 'model name' /proc/cpuinfo | cut -d: -f2 | sed 's/^ *//')"
mawk -v n="$lines" 'BEGIN { srand(6); for (i = 0; i < n; i++) {
    mi = i % 1440; day = int(i / 1440); d = day % 28 + 1; m = int(day / 28) % 12 + 1; y = 2000 + int(day / 336);
    p = 1.2 + rand() / 10;
    printf "%02d/%02d/%04d,%02d:%02d,%.4f,%.4f,%.4f,%.4f,%d\n", m, d, y, int(mi / 60), mi % 60, p, p + 0.001, p - 0.001, p, 100 + i % 900 } }' > "$work/sorted.csv"
tac "$work/sorted.csv" > "$work/newest.csv"
# A fixed random source, so that every run shuffles alike.
shuf --random-source=<(yes) "$work/sorted.csv" > "$work/shuffled.csv"
tenth=$((lines / 10))
{ head -n $((lines / 2 + tenth)) "$work/sorted.csv"; tail -n +$((lines / 2 + 1)) "$work/sorted.csv"; } > "$work/overlap.csv"
echo "lines: $lines ($(stat -c %s "$work/sorted.csv") bytes); overlap.csv has $tenth lines twice"

rounds=${ROUNDS:-5}
for period in 5min day; do
    names=() commands=()
    add() { names+=("$1"); commands+=("$2"); }
    bars="bars -d 5 -t 3 -p $period --volume"
    [ -n "$baseline" ] && add "sorted, the build before" "$baseline $bars $work/sorted.csv $work/out.before"
    for file in sorted newest shuffled overlap; do
        add "$file, auto" "$varn -q $bars $work/$file.csv $work/out.$file"
        add "$file, keep" "$varn -q $bars --order keep $work/$file.csv $work/out.keep"
    done
    echo
    echo "-p $period --volume (hyperfine, $rounds rounds of one run each after a warm-up, medians):"
    args=()
    for i in "${!commands[@]}"; do args+=(-n "${names[$i]}" "${commands[$i]}"); done
    for ((r = 0; r <= rounds; r++)); do
        hyperfine --style none --runs 1 --export-json "$work/times.$r.json" "${args[@]}" >/dev/null 2>&1
    done
    for i in "${!commands[@]}"; do
        /usr/bin/time -f '%M' -o "$work/peak.$i" ${commands[$i]} 2>/dev/null
    done
    python3 - "$work" "$rounds" "${names[@]}" <<'PY'
import json, statistics, sys
work, rounds, names = sys.argv[1], int(sys.argv[2]), sys.argv[3:]
wall, cpu = {}, {}
for r in range(1, rounds + 1):  # round 0 warms the page cache
    for result in json.load(open(f"{work}/times.{r}.json"))["results"]:
        wall.setdefault(result["command"], []).append(result["times"][0])
        cpu.setdefault(result["command"], []).append(result["user"] + result["system"])
for i, name in enumerate(names):
    peak = int(open(f"{work}/peak.{i}").read().split()[-1])
    w, c = statistics.median(wall[name]), statistics.median(cpu[name])
    print(f"  {name:<26} {w:6.3f} s wall  {c:6.3f} s CPU  {peak / 1024:7.1f} MiB peak")
PY
    for file in newest shuffled overlap; do
        if cmp -s "$work/out.sorted" "$work/out.$file"; then same="the bars of sorted.csv"; else same="OTHER BARS than sorted.csv"; fi
        echo "  $file, auto: $same; $("$varn" $bars "$work/$file.csv" /dev/null 2>&1 | tr '\n' ' ')"
    done
    if [ -n "$baseline" ]; then
        cmp -s "$work/out.before" "$work/out.sorted" && echo "  sorted: the same bytes as the build before" ||
            echo "  sorted: DIFFERENT BYTES from the build before"
    fi
done
