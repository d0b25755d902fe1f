#!/usr/bin/env bash
# Installs what is needed, builds the optimised configuration and starts the
# window; without a display to show it on, shows the command line instead.
set -euo pipefail
cd "$(dirname "$0")/.."
./scripts/install-deps.sh
cmake --preset release >/dev/null
cmake --build --preset release
gui=build/release/src/ui/varn-gui
if [ -x "$gui" ] && { [ -n "${DISPLAY:-}" ] || [ -n "${WAYLAND_DISPLAY:-}" ] ||
    [ -n "${QT_QPA_PLATFORM:-}" ]; }; then
    exec "$gui" "$@"
fi
if [ -x "$gui" ]; then
    echo "No display to show the window on (neither DISPLAY nor WAYLAND_DISPLAY is set)."
    echo "The same jobs on the command line, build/release/src/cli/varn:"
    echo
fi
exec build/release/src/cli/varn --help
