#!/usr/bin/env bash
# Installs what the build, the tests, the benchmarks and the Debian package
# (and its checks) need, from Debian 12 packages. Quick when everything is
# present; uses sudo only when not root.
# With --bench, also what the side-by-side benchmarks compare against.
set -euo pipefail

packages=(
    g++ cmake ninja-build pkg-config
    libgtest-dev libgmock-dev libbenchmark-dev libcli11-dev
    qt6-base-dev qt6-charts-dev libgl-dev
    xvfb x11-apps mawk hyperfine datamash locales
    clang libclang-rt-14-dev clang-format clang-tidy
    dpkg-dev file lintian desktop-file-utils appstream man-db bash-completion
)

# The side-by-side benchmarks also compare against pandas.
if [ "${1:-}" = "--bench" ]; then
    packages+=(python3-pandas time)
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
