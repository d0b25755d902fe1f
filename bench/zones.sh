#!/usr/bin/env bash
# Times bars in a time zone against bars as written, on the one-minute lines
# of side_by_side.sh read as London times (as FX data often is):
#
#   bench/zones.sh [LINES] [BASELINE_VARN]    (LINES: 5000000)
#
# 1. `varn bars -d 5 -t 3 -p day` without zones, with --zone-in Europe/London
#    --zone-out America/New_York (New York days), the same with 17:00 New York
#    sessions (--session-start -07:00), and UTC into UTC (the conversion with
#    nothing to move): hyperfine, the commands taken in turns, medians.
# 2. Instructions (callgrind, one thread) on the first 200,000 lines, with
#    and without zones, and of the start-up alone (varn count of two lines).
# With BASELINE_VARN (a varn built before the zones) its plain bars are timed
# and counted beside, and their output compared byte for byte.
#
# Needs the release build (cmake --preset release && cmake --build --preset
# release), mawk, hyperfine and python3; valgrind for the instruction counts.
set -euo pipefail
cd "$(dirname "$0")/.."
lines=${1:-5000000}
baseline=${2:-}
varn=build/release/src/cli/varn
work=$(mktemp -d)
trap 'rm -rf "$work"' EXIT

echo "machine: $(nproc) cores, $(grep -m1 'model name' /proc/cpuinfo | cut -d: -f2 | sed 's/^ *//')"
minutes() {  # count, file: the one-minute lines of side_by_side.sh
    mawk -v n="$1" 'BEGIN { srand(6); for (i = 0; i < n; i++) {
        mi = i % 1440; day = int(i / 1440); d = day % 28 + 1; m = int(day / 28) % 12 + 1; y = 2000 + int(day / 336);
        p = 1.2 + rand() / 10;
        printf "%02d/%02d/%04d,%02d:%02d,%.4f,%.4f,%.4f,%.4f,%d\n", m, d, y, int(mi / 60), mi % 60, p, p + 0.001, p - 0.001, p, 100 + i % 900 } }' > "$2"
}
minutes "$lines" "$work/m.csv"
head -n 200000 "$work/m.csv" > "$work/part.csv"
printf '1\n2\n' > "$work/two.txt"
echo "lines: $lines ($(stat -c %s "$work/m.csv") bytes)"

bars="bars -d 5 -t 3 -p day"
london="--zone-in Europe/London --zone-out America/New_York"
names=() commands=()
add() { names+=("$1"); commands+=("$2"); }
[ -n "$baseline" ] && add "as written, the build before" "$baseline $bars"
add "as written" "$varn $bars"
add "London into New York days" "$varn $bars $london"
add "London into 17:00 New York sessions" "$varn $bars $london --session-start -07:00"
add "UTC into UTC" "$varn $bars --zone-in UTC --zone-out UTC"

# Rounds of one hyperfine run of each command, so that other work on the
# machine weighs on all of them alike; medians over the rounds.
rounds=${ROUNDS:-11}
echo
echo "1. $bars, $lines lines (hyperfine, $rounds rounds of one run each after a warm-up, medians):"
args=()
for i in "${!commands[@]}"; do args+=(-n "${names[$i]}" "${commands[$i]} $work/m.csv $work/out.$i"); done
for ((r = 0; r <= rounds; r++)); do
    hyperfine --style none --runs 1 --export-json "$work/times.$r.json" "${args[@]}" >/dev/null 2>&1
done
python3 - "$work" "$rounds" <<'PY'
import json, statistics, sys
work, rounds = sys.argv[1], int(sys.argv[2])
wall, cpu = {}, {}
for r in range(1, rounds + 1):  # round 0 warms the page cache
    for result in json.load(open(f"{work}/times.{r}.json"))["results"]:
        wall.setdefault(result["command"], []).append(result["times"][0])
        cpu.setdefault(result["command"], []).append(result["user"] + result["system"])
base = statistics.median(wall["as written"])
for name in wall:
    w, c = statistics.median(wall[name]), statistics.median(cpu[name])
    print(f"  {name:<38} {w:6.3f} s wall  {c:6.3f} s CPU  {(w / base - 1) * 100:+6.1f} %")
PY
if [ -n "$baseline" ]; then
    cmp -s "$work/out.0" "$work/out.1" && echo "  as written: the same bytes as the build before" ||
        echo "  as written: DIFFERENT BYTES from the build before"
fi
"$varn" $bars $london "$work/m.csv" "$work/out" 2>&1 | sed 's/^/  /'

if [ -n "$baseline" ]; then
    echo
    echo "   start-up, varn count of two lines, 600 runs of each taken in turns, medians:"
    python3 - "$baseline count $work/two.txt" "$varn count $work/two.txt" <<'PY'
import statistics, subprocess, sys, time
times = {command: [] for command in sys.argv[1:]}
for _ in range(600):
    for command, spent in times.items():
        start = time.perf_counter()
        subprocess.run(command.split(), stdout=subprocess.DEVNULL, check=True)
        spent.append(time.perf_counter() - start)
for label, spent in zip(("the build before", "this build"), times.values()):
    print(f"  {label:<38} {statistics.median(spent) * 1000:6.2f} ms")
PY
fi

if command -v valgrind >/dev/null; then
    echo
    echo "2. instructions (callgrind, --threads 1), first 200,000 lines, and the start-up:"
    count() { valgrind --tool=callgrind --callgrind-out-file=/dev/null "$@" 2>&1 >/dev/null | awk '/Collected/ { print $4 }'; }
    for i in "${!commands[@]}"; do
        n=$(count ${commands[$i]} --threads 1 "$work/part.csv" "$work/out")
        python3 -c "print(f'  {\"${names[$i]}\":<38} {$n:>13,}  {$n / 200000:7.1f} a line')"
    done
    for v in $baseline $varn; do
        n=$(count "$v" count "$work/two.txt")
        python3 -c "print(f'  start-up, {\"$v\"}: {$n:,}')"
    done
fi
