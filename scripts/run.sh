#!/usr/bin/env bash
# Installs what is needed, builds the optimised configuration and starts the window.
set -euo pipefail
cd "$(dirname "$0")/.."
./scripts/install-deps.sh
cmake --preset release >/dev/null
cmake --build --preset release
if [ -x build/release/src/ui/varn-gui ]; then
    exec build/release/src/ui/varn-gui "$@"
fi
# Without the window, show the command line at work on the sample file.
out=$(mktemp --suffix=.txt)
build/release/src/cli/varn convert --format 0 samples/daily-prices.txt "$out"
cat "$out"
