#!/usr/bin/env bash
# Builds the Debian package in a folder of its own, optimised and hardened:
# build/package/varn_<version>_amd64.deb (or in the folder given), which
# installs with
#   sudo apt install ./build/package/varn_*.deb
# Two builds of the same sources give the same bytes: every time stamp (files
# in the package, Qt's resources) is the date of the newest changelog entry,
# and no path of the build machine goes into the programs.
#
#   scripts/package.sh [BUILD_FOLDER]
set -euo pipefail
cd "$(dirname "$0")/.."
./scripts/install-deps.sh
build=${1:-build/package}
SOURCE_DATE_EPOCH=$(date -d "$(dpkg-parsechangelog -l packaging/changelog -S Date)" +%s)
export SOURCE_DATE_EPOCH
source_dir=$(pwd)
mkdir -p "$build"
build_dir=$(cd "$build" && pwd)
cmake -S . -B "$build" -G Ninja -DCMAKE_BUILD_TYPE=Release -DVARN_BUILD_TESTS=OFF \
    -DVARN_BUILD_BENCH=OFF \
    "-DCMAKE_CXX_FLAGS=-ffile-prefix-map=$source_dir=. -ffile-prefix-map=$build_dir=." >/dev/null
cmake --build "$build"
rm -f "$build"/varn_*.deb
(cd "$build" && cpack -G DEB >/dev/null)
ls "$build"/varn_*.deb
