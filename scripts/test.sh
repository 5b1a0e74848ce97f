#!/usr/bin/env bash
# Installs what is missing, builds, and runs every test.
set -euo pipefail
cd "$(dirname "$0")/.."
bash scripts/install-deps.sh
# ccache (when installed) shares compiled objects between the build folders
# and between clones of the project in other folders.
export CCACHE_BASEDIR="$PWD"
bash scripts/build.sh build
export QT_QPA_PLATFORM=offscreen
(cd build && ctest --output-on-failure -j"$(nproc)" --timeout 300)
# A packager's build: Release flags and warnings not turned into errors, as
# distributions build it. The core and the command-line tool are enough to
# keep it buildable.
bash scripts/release-build.sh build-release
# The reliability runs: the whole suite again under AddressSanitizer and
# UndefinedBehaviorSanitizer, then each fuzz target for a minute
# (docs/RELIABILITY.md). QUARVINE_SKIP_RELIABILITY=1 leaves them out.
if [ "${QUARVINE_SKIP_RELIABILITY:-0}" != 1 ]; then
  bash scripts/sanitize.sh build-asan
  bash scripts/fuzz.sh "${QUARVINE_FUZZ_SECONDS:-60}"
fi
