#!/usr/bin/env bash
# Configures and builds the project in build/ (or the folder given as $1).
# This is the developers' build: compiler warnings are errors here
# (QUARVINE_WERROR), unlike a user's or a packager's plain CMake build.
set -euo pipefail
cd "$(dirname "$0")/.."
dir="${1:-build}"
shift || true
if [ ! -f "$dir/build.ninja" ]; then
  cmake -S . -B "$dir" -G Ninja -DQUARVINE_WERROR=ON "$@"
elif ! grep -q '^QUARVINE_WERROR:BOOL=ON' "$dir/CMakeCache.txt"; then
  cmake -S . -B "$dir" -DQUARVINE_WERROR=ON "$@" >/dev/null
fi
cmake --build "$dir" -j"$(nproc)"
