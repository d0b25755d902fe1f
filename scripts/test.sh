#!/usr/bin/env bash
# Installs what is needed, builds the debug configuration and runs every test.
set -euo pipefail
cd "$(dirname "$0")/.."
./scripts/install-deps.sh
cmake --workflow --preset dev
