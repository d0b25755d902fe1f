#!/usr/bin/env bash
# Takes a picture of each page of the window, and of the progress window,
# under a virtual X display and puts them in docs/:
#   docs/varn-format-page.png  docs/trunc-file-page.png  docs/progress-window.png
#   docs/bar-page.png            150 made-up daily price lines, layouts detected
#   docs/bar-chart.png           the bar page after Create Bar
#   docs/bar-page-undetected.png 300 lines that fit no layout pair
#   docs/bar-report-skipped.png  the message after Create Bar on a file with a
#                                few lines that do not read
#   docs/bar-page-semicolon.png  the same prices gzipped, with a header,
#                                semicolons and decimal commas
#   docs/bar-page-symbols.png    minute lines of two symbols: the symbol list
#   docs/bar-report-newest-first.png  the message after Create Bar on the daily
#                                prices written newest first
# The window draws itself (varn-screenshots PAGE PICTURE [INPUT], built with the window).
#
# Usage: scripts/screenshots.sh [build folder]   (default: build/dev)
set -euo pipefail
cd "$(dirname "$0")/.."
build="${1:-build/dev}"
tool="$(realpath "$build/src/ui/varn-screenshots" 2>/dev/null || true)"
if [[ ! -x "$tool" ]]; then
    echo "screenshots.sh: $build/src/ui/varn-screenshots not found; build the target varn-screenshots first" >&2
    exit 1
fi
command -v xvfb-run >/dev/null || { echo "screenshots.sh: xvfb-run not found (package xvfb)" >&2; exit 1; }
mkdir -p docs
# The inputs get plain names: the status line and the message show them.
samples="$(mktemp -d)"
trap 'rm -rf "$samples"' EXIT

daily_line() {  # day number from 2 January 2006
    local day=$1 price=$((1200 + ($1 * 37) % 90))
    printf '%s %d.25 %d.75 %d.00 %d.50 %d\r\n' "$(date -u -d "2006-01-02 + $day days" +%m/%d/%Y)" \
        "$price" "$((price + 3))" "$((price - 2))" "$((price + 1))" "$((20000 + day * 13))"
}
for day in $(seq 0 149); do daily_line "$day"; done >"$samples/prices.txt"
# The same with three lines that do not read: a month that does not exist,
# prices that are not numbers and a remark.
for day in $(seq 0 149); do
    case $day in
        57) printf '13/01/2006 1250.25 1253.75 1248.00 1251.50 20741\r\n' ;;
        110) printf '04/22/2006 n/a n/a n/a n/a 0\r\n' ;;
        131) printf -- '--- no trading ---\r\n' ;;
        *) daily_line "$day" ;;
    esac
done >"$samples/prices-gaps.txt"
# The same prices as a vendor in Europe writes them, gzipped: a header,
# DD.MM.YYYY dates, semicolons, decimal commas and thousands points.
for day in $(seq 0 149); do
    price=$((1200 + (day * 37) % 90))
    printf '%s;1.%03d,25;1.%03d,75;1.%03d,00;1.%03d,50;%d\r\n' \
        "$(date -u -d "2006-01-02 + $day days" +%d.%m.%Y)" "$((price - 1000))" \
        "$((price - 997))" "$((price - 1002))" "$((price - 999))" "$((20000 + day * 13))"
done | { printf 'Date;Open;High;Low;Close;Volume\r\n'; cat; } | gzip -n >"$samples/dax.csv.gz"
# 300 lines whose prices carry names: no date layout reads them.
for n in $(seq 1 300); do
    printf 'bar %d open %d.25 high %d.75 low %d.00 close %d.50\r\n' "$n" "$((1200 + n % 90))" \
        "$((1203 + n % 90))" "$((1198 + n % 90))" "$((1201 + n % 90))"
done >"$samples/quotes.txt"

# Minute lines of two currency pairs, one after the other, after a header.
for i in $(seq 0 239); do
    minute=$((570 + i))
    for pair in EURUSD:109497 GBPUSD:127112; do
        price=$((${pair#*:} + (i * 37) % 90 - 45))
        printf '%s,01/15/2024,%02d:%02d:00,1.%05d,1.%05d,1.%05d,1.%05d,%d\r\n' "${pair%:*}" \
            "$((minute / 60))" "$((minute % 60))" "$((price - 100000))" "$((price - 99980))" \
            "$((price - 100030))" "$((price - 99990))" "$((100 + (i * 53) % 300))"
    done
done | { printf 'Symbol,Date,Time,Open,High,Low,Close,Volume\r\n'; cat; } >"$samples/fx-pairs.csv"
tac "$samples/prices.txt" >"$samples/prices-newest-first.txt"

shoot() {  # page picture [input]
    xvfb-run -a -s "-screen 0 1024x768x24" "$tool" "$1" "$PWD/$2" "${@:3}"
    echo "$2"
}
shoot 0 docs/varn-format-page.png "$samples/prices.txt"
shoot 1 docs/trunc-file-page.png "$samples/prices.txt"
shoot 2 docs/bar-page.png "$samples/prices.txt"
shoot 3 docs/progress-window.png "$samples/prices.txt"
shoot 4 docs/bar-chart.png "$samples/prices.txt"
shoot 2 docs/bar-page-undetected.png "$samples/quotes.txt"
shoot 5 docs/bar-report-skipped.png "$samples/prices-gaps.txt"
shoot 2 docs/bar-page-semicolon.png "$samples/dax.csv.gz"
shoot 2 docs/bar-page-symbols.png "$samples/fx-pairs.csv"
shoot 5 docs/bar-report-newest-first.png "$samples/prices-newest-first.txt"
