#!/usr/bin/env bash
# Builds the optimised configuration and the Debian package from it:
# build/release/varn_<version>_amd64.deb, which installs with
#   sudo apt install ./build/release/varn_*.deb
set -euo pipefail
cd "$(dirname "$0")/.."
./scripts/install-deps.sh
cmake --preset release >/dev/null
cmake --build --preset release
rm -f build/release/varn_*.deb
(cd build/release && cpack -G DEB)
ls build/release/varn_*.deb
