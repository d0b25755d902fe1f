#!/usr/bin/env bash
# Takes a picture of each page of the window, and of the progress window,
# under a virtual X display and puts them in docs/:
#   docs/varn-format-page.png  docs/trunc-file-page.png  docs/bar-page.png
#   docs/progress-window.png  docs/bar-chart.png (the bar page after Create Bar)
# The window draws itself (varn-gui --screenshot-page N FILE [INPUT]); the bar
# page shows 150 made-up daily price lines, whose layouts it detects.
#
# Usage: scripts/screenshots.sh [build folder]   (default: build/dev)
set -euo pipefail
cd "$(dirname "$0")/.."
build="${1:-build/dev}"
gui="$build/src/ui/varn-gui"
if [[ ! -x "$gui" ]]; then
    echo "screenshots.sh: $gui not found; build the target varn-gui first" >&2
    exit 1
fi
command -v xvfb-run >/dev/null || { echo "screenshots.sh: xvfb-run not found (package xvfb)" >&2; exit 1; }
mkdir -p docs
sample="$(mktemp --suffix=.txt)"
trap 'rm -f "$sample"' EXIT
for day in $(seq 0 149); do
    price=$((1200 + (day * 37) % 90))
    printf '%s %d.25 %d.75 %d.00 %d.50 %d\r\n' "$(date -u -d "2006-01-02 + $day days" +%m/%d/%Y)" \
        "$price" "$((price + 3))" "$((price - 2))" "$((price + 1))" "$((20000 + day * 13))"
done >"$sample"
names=(varn-format-page trunc-file-page bar-page progress-window bar-chart)
for page in 0 1 2 3 4; do
    out="docs/${names[$page]}.png"
    xvfb-run -a -s "-screen 0 1024x768x24" "$gui" --screenshot-page "$page" "$out" "$sample"
    echo "$out"
done
