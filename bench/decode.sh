#!/usr/bin/env bash
# Times varn on compressed and UTF-16 inputs, and checks that plain inputs
# cost what they did:
#
#   bench/decode.sh [LINES] [BASELINE_VARN]    (LINES: 5000000)
#
# 1. gzip through zlib, libarchive and varn's reader (varn_bench, one thread).
# 2. `varn bars -p day` on a gzip of the one-minute lines of side_by_side.sh
#    against `zcat f | varn bars - out`, and on a zip, UTF-16 and a UTF-8 mark.
# 3. Peak memory of every form at LINES/5 and LINES lines: it must not grow
#    with the file.
# 4. With BASELINE_VARN (a varn built before the decoding reader), plain
#    `convert -f 0`, `bars -p day`, `count` and `truncate` of both binaries,
#    the runs taken in turns, and their instructions under callgrind.
#
# Needs the release build (cmake --preset release && cmake --build --preset
# release), mawk, hyperfine, GNU time, gzip, zip and iconv; valgrind for
# the instruction counts of 4.
set -euo pipefail
cd "$(dirname "$0")/.."
lines=${1:-5000000}
baseline=${2:-}
varn=build/release/src/cli/varn
bench=build/release/bench/varn_bench
work=$(mktemp -d)
trap 'rm -rf "$work"' EXIT

echo "machine: $(nproc) cores, $(grep -m1 'model name' /proc/cpuinfo | cut -d: -f2 | sed 's/^ *//')"

minutes() {  # count, file: the one-minute lines of side_by_side.sh
    mawk -v n="$1" 'BEGIN { srand(6); for (i = 0; i < n; i++) {
        mi = i % 1440; day = int(i / 1440); d = day % 28 + 1; m = int(day / 28) % 12 + 1; y = 2000 + int(day / 336);
        p = 1.2 + rand() / 10;
        printf "%02d/%02d/%04d,%02d:%02d,%.4f,%.4f,%.4f,%.4f,%d\n", m, d, y, int(mi / 60), mi % 60, p, p + 0.001, p - 0.001, p, 100 + i % 900 } }' > "$2"
}
forms() {  # plain file: its gzip, zip, UTF-16 and UTF-8-mark forms beside it
    gzip -6 -k -c "$1" > "$1.gz"
    (cd "$(dirname "$1")" && zip -q -6 "$(basename "$1").zip" "$(basename "$1")")
    iconv -f UTF-8 -t UTF-16 "$1" > "$1.u16"
    { printf '\xef\xbb\xbf'; cat "$1"; } > "$1.bom"
}
small=$((lines / 5))
minutes "$lines" "$work/m.csv"
minutes "$small" "$work/s.csv"
forms "$work/m.csv"
forms "$work/s.csv"
ls -l "$work" | awk 'NR > 1 { printf "  %s %d bytes\n", $9, $5 }'

run() {  # name, command: median wall seconds and mean CPU seconds (user + system)
    hyperfine --style none --runs 5 --warmup 1 --export-json "$work/$1.json" "$2" >/dev/null 2>&1
    python3 -c "import json,statistics; r=json.load(open('$work/$1.json'))['results'][0]; print(f\"{statistics.median(r['times']):.3f} s wall, {r['user'] + r['system']:.3f} s CPU\")"
}
peak_mb() {  # command: peak resident set in MB
    /usr/bin/time -f '%M' bash -c "$1" 2>&1 >/dev/null | tail -1 | awk '{ printf "%.1f", $1 / 1024 }'
}

echo
echo "1. gzip of $lines lines ($(stat -c %s "$work/m.csv.gz") bytes), one thread:"
VARN_BENCH_GZIP=$work/m.csv.gz "$bench" --benchmark_filter=Inflate 2>/dev/null | grep BM_

echo
echo "2. varn bars -d 5 -t 3 -p day, $lines lines (median of 5):"
for input in m.csv m.csv.gz m.csv.zip m.csv.u16 m.csv.bom; do
    echo "  $input: $(run "bars_$input" "$varn bars -d 5 -t 3 -p day $work/$input $work/out")"
    cmp -s "$work/out" <("$varn" bars -d 5 -t 3 -p day "$work/m.csv" -) || echo "    DIFFERENT BARS"
done
echo "  zcat m.csv.gz | varn bars -: $(run zcat_bars "zcat $work/m.csv.gz | $varn bars -d 5 -t 3 -p day - $work/out")"
echo "  cat m.csv.gz | varn bars -: $(run pipe_bars "cat $work/m.csv.gz | $varn bars -d 5 -t 3 -p day - $work/out")"

echo
echo "3. peak memory (MB) at $small and $lines lines:"
for form in "" .gz .zip .u16 .bom; do
    for job in "bars -d 5 -t 3 -p day" "convert -f 2" "count" "truncate -n 10000"; do
        out=$work/out
        [ "$job" = count ] && out=""
        echo "  ${job%% *} m.csv$form: $(peak_mb "$varn $job $work/s.csv$form $out") / $(peak_mb "$varn $job $work/m.csv$form $out")"
    done
done

if [ -n "$baseline" ]; then
    echo
    echo "4. plain files, $baseline (A) against $varn (B): runs taken in turns, medians of 21;"
    echo "   then instructions (callgrind, one thread, first LINES/10 lines) when valgrind is there"
    mawk -v n="$lines" 'BEGIN { srand(1); for (i = 0; i < n; i++) {
        d = i % 28 + 1; m = int(i / 28) % 12 + 1; y = 1971 + int(i / 336) % 50;
        printf "%d,%d,%d,%.4f\n", y, m, d, 4 + rand() } }' > "$work/conv0.csv"
    head -n $((lines / 10)) "$work/conv0.csv" > "$work/conv0-part.csv"
    head -n $((lines / 10)) "$work/m.csv" > "$work/m-part.csv"
    for job in "convert -f 0 conv0" "bars -d 5 -t 3 -p day m" "count m" "truncate -n 10000 m"; do
        input=${job##* }
        args="${job% *} $work/$input.csv"
        part="${job% *} --threads 1 $work/$input-part.csv"
        case $job in count*) part="count $work/$input-part.csv" ;; truncate*) part=$args ;; esac
        case $job in count*) ;; *) args+=" $work/out"; part+=" $work/out" ;; esac
        python3 - "$baseline $args" "$varn $args" "${job% *}" <<'PY'
import resource, statistics, subprocess, sys, time
a, b, label = sys.argv[1:]
wall, cpu = {a: [], b: []}, {a: [], b: []}
for _ in range(21):
    for command in (a, b):
        before = resource.getrusage(resource.RUSAGE_CHILDREN)
        start = time.perf_counter()
        subprocess.run(command, shell=True, stdout=subprocess.DEVNULL, check=True)
        wall[command].append(time.perf_counter() - start)
        after = resource.getrusage(resource.RUSAGE_CHILDREN)
        cpu[command].append(after.ru_utime - before.ru_utime + after.ru_stime - before.ru_stime)
wa, wb = statistics.median(wall[a]), statistics.median(wall[b])
ca, cb = statistics.median(cpu[a]), statistics.median(cpu[b])
print(f"  {label:<24} A {wa:.3f} s ({ca:.3f} s CPU)   B {wb:.3f} s ({cb:.3f} s CPU)"
      f"   ratio {wb / wa:.3f} (CPU {cb / ca:.3f})")
PY
        if command -v valgrind >/dev/null; then
            instructions() { valgrind --tool=callgrind --callgrind-out-file=/dev/null "$@" 2>&1 >/dev/null | awk '/Collected/ { print $4 }'; }
            ia=$(instructions $baseline $part)
            ib=$(instructions $varn $part)
            python3 -c "print(f'    instructions: A {$ia:,}  B {$ib:,}  {($ib - $ia) / $ia * 100:+.2f} %')"
        fi
    done
fi
