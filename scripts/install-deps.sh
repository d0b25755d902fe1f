#!/usr/bin/env bash
# Installs what the build, the tests, the benchmarks and the Debian package
# (and its checks) need, from Debian 12 packages. Quick when everything is
# present; uses sudo only when not root.
# With --bench, also what the side-by-side benchmarks compare against.
set -euo pipefail

packages=(
    g++ cmake ninja-build pkg-config
    libgtest-dev libgmock-dev libbenchmark-dev libcli11-dev
    zlib1g-dev libarchive-dev libhowardhinnant-date-dev tzdata
    qt6-base-dev qt6-charts-dev libgl-dev
    xvfb x11-apps mawk hyperfine datamash locales
    clang libclang-rt-14-dev clang-format clang-tidy
    dpkg-dev file lintian desktop-file-utils appstream man-db bash-completion
)

# The side-by-side benchmarks also compare against pandas, and against DuckDB
# and Polars through Node.js (installed below; a node already on the machine
# will do); bench/decode.sh makes gzip and zip files and counts instructions
# with valgrind.
bench=0
if [ "${1:-}" = "--bench" ]; then
    bench=1
    packages+=(python3-pandas time gzip zip valgrind)
    command -v node >/dev/null || packages+=(nodejs)
    command -v npm >/dev/null || packages+=(npm)
fi

missing=()
for p in "${packages[@]}"; do
    if ! dpkg-query -W -f='${Status}' "$p" 2>/dev/null | grep -q "ok installed"; then
        missing+=("$p")
    fi
done

sudo=""
if [ "$(id -u)" -ne 0 ]; then
    sudo="sudo"
fi

if [ ${#missing[@]} -gt 0 ]; then
    echo "installing: ${missing[*]}"
    $sudo apt-get update -qq
    DEBIAN_FRONTEND=noninteractive $sudo apt-get install -y -qq --no-install-recommends "${missing[@]}"
fi

# The tests run once under a locale that writes a decimal comma.
if ! locale -a 2>/dev/null | grep -qi '^de_DE\.utf-\?8$'; then
    $sudo localedef -i de_DE -f UTF-8 de_DE.UTF-8
fi

# DuckDB and Polars for the benchmarks only, never for varn: the exact
# versions in bench/peers/package-lock.json go into build/bench-peers, and
# again only when that lock file changes.
if [ $bench = 1 ]; then
    root=$(cd "$(dirname "$0")/.." && pwd)
    peers=$root/build/bench-peers
    if ! cmp -s "$root/bench/peers/package-lock.json" "$peers/installed-lock.json"; then
        echo "installing DuckDB and Polars for the benchmarks into build/bench-peers"
        mkdir -p "$peers"
        rm -f "$peers/installed-lock.json"
        cp "$root/bench/peers/package.json" "$root/bench/peers/package-lock.json" "$peers/"
        (cd "$peers" && npm ci --no-audit --no-fund --loglevel=error)
        cp "$peers/package-lock.json" "$peers/installed-lock.json"
    fi
fi
