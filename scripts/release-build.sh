#!/usr/bin/env bash
# Builds the core and the command-line tool the way a packager does: a plain
# CMake Release build, without turning warnings into errors, into
# build-release/ (or the folder given as $1).
set -euo pipefail
cd "$(dirname "$0")/.."
dir="${1:-build-release}"
if [ ! -f "$dir/build.ninja" ]; then
  cmake -S . -B "$dir" -G Ninja -DCMAKE_BUILD_TYPE=Release \
    -DQUARVINE_BUILD_GUI=OFF -DQUARVINE_BUILD_TESTS=OFF
fi
cmake --build "$dir" -j"$(nproc)"
"$dir/src/cli/quarvine-cli" --help >/dev/null
echo "Release build of the core and quarvine-cli: ok"
