#!/usr/bin/env bash
# Times the further bar choices against plain bars on the same 5,000,000
# one-minute lines as side_by_side.sh: --volume (and --open-interest),
# --prices single on those lines and on lines of one price and a volume,
# --decimals input and --stamp-time start.
# With a second binary (the build before the choices existed) the plain bars
# of both are timed too.
#
#   bench/bar_options.sh [LINES] [BASELINE_VARN]     (default 5000000 lines)
#
# Needs the release build of varn, mawk and hyperfine.
set -euo pipefail
cd "$(dirname "$0")/.."
lines=${1:-5000000}
base=${2:-}
varn=build/release/src/cli/varn
work=$(mktemp -d)
trap 'rm -rf "$work"' EXIT

echo "machine: $(nproc) cores, $(grep -m1 'model name' /proc/cpuinfo | cut -d: -f2 | sed 's/^ *//')"
echo "lines: $lines"
mawk -v n="$lines" 'BEGIN { srand(6); for (i = 0; i < n; i++) {
    mi = i % 1440; day = int(i / 1440); d = day % 28 + 1; m = int(day / 28) % 12 + 1; y = 2000 + int(day / 336);
    p = 1.2 + rand() / 10;
    printf "%02d/%02d/%04d,%02d:%02d,%.4f,%.4f,%.4f,%.4f,%d\n", m, d, y, int(mi / 60), mi % 60, p, p + 0.001, p - 0.001, p, 100 + i % 900 } }' > "$work/minutes.csv"
mawk -v n="$lines" 'BEGIN { srand(7); for (i = 0; i < n; i++) {
    mi = i % 1440; day = int(i / 1440); d = day % 28 + 1; m = int(day / 28) % 12 + 1; y = 2000 + int(day / 336);
    printf "%02d/%02d/%04d,%02d:%02d,%.4f,%d\n", m, d, y, int(mi / 60), mi % 60, 1.2 + rand() / 10, 1 + i % 900 } }' > "$work/ticks.csv"
ls -l "$work" | awk 'NR > 1 { printf "  %s %d bytes\n", $9, $5 }'

# The commands, timed in turns (one run of each per round) so that other work
# on the machine weighs on all of them alike; median wall and CPU (user +
# system) seconds of the rounds.
rounds=${ROUNDS:-7}
bars="$varn bars -d 5 -t 3"
names=() commands=()
add() { names+=("$1"); commands+=("$2"); }
for p in day 5min; do
    add "bars -p $p" "$bars -p $p $work/minutes.csv $work/out"
    [ -n "$base" ] && add "bars -p $p, the build before" "$base bars -d 5 -t 3 -p $p $work/minutes.csv $work/out"
    add "bars -p $p --volume" "$bars -p $p --volume $work/minutes.csv $work/out"
    add "bars -p $p --volume --open-interest" "$bars -p $p --volume --open-interest $work/minutes.csv $work/out"
    add "bars -p $p --prices single" "$bars -p $p --prices single $work/minutes.csv $work/out"
    add "bars -p $p --prices single --volume, ticks" "$bars -p $p --prices single --volume $work/ticks.csv $work/out"
    add "bars -p $p --decimals input" "$bars -p $p --decimals input $work/minutes.csv $work/out"
    add "bars -p $p --stamp-time start" "$bars -p $p --stamp-time start $work/minutes.csv $work/out"
done
for ((r = 0; r < rounds + 1; r++)); do  # round 0 warms the page cache
    for i in "${!commands[@]}"; do
        /usr/bin/time -f "%e %U %S" -o "$work/t" bash -c "${commands[$i]}"
        [ $r -gt 0 ] && cat "$work/t" >> "$work/times.$i"
    done
done
for i in "${!commands[@]}"; do echo "${names[$i]}"; cat "$work/times.$i" | tr '\n' ' '; echo; done |
python3 -c '
import statistics, sys
rows = sys.stdin.read().split("\n")
medians = {}
for name, times in zip(rows[0::2], rows[1::2]):
    t = [float(x) for x in times.split()]
    wall = statistics.median(t[0::3])
    cpu = statistics.median(u + s for u, s in zip(t[1::3], t[2::3]))
    plain = name.split(" --")[0].split(",")[0]
    medians[name] = (wall, cpu)
    base = medians.get(plain)
    extra = "" if base is None or name == plain else f"   wall {(wall / base[0] - 1) * 100:+6.1f} %   cpu {(cpu / base[1] - 1) * 100:+6.1f} %   vs {plain}"
    print(f"  {name:<46} wall {wall:6.3f} s   cpu {cpu:6.3f} s{extra}")
'
