#!/usr/bin/env bash
# Checks the sources as CI does: clang-format (a dry run that fails on any
# difference) and clang-tidy over src/ with the checks of .clang-tidy, every
# finding an error. Needs a configured build/dev for the compile commands.
set -euo pipefail
cd "$(dirname "$0")/.."

git ls-files '*.cpp' '*.h' | xargs clang-format --dry-run --Werror

if [ ! -f build/dev/compile_commands.json ]; then
    cmake --preset dev >/dev/null
fi
# The window's sources need the generated moc files.
cmake --build build/dev --target varn_ui_lib_autogen >/dev/null 2>&1 || true
git ls-files 'src/*.cpp' | xargs -P"$(nproc)" -n4 \
    clang-tidy -p build/dev --quiet --warnings-as-errors="*" --extra-arg=-Wno-unknown-warning-option --extra-arg=-Wno-double-promotion
