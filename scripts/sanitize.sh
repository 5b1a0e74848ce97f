#!/usr/bin/env bash
# Builds the whole project with AddressSanitizer and UndefinedBehaviorSanitizer
# in build-asan (or the folder given as $1) and runs every test there. Any
# report fails the run; leaks inside system libraries are listed, with the
# reason, in tests/lsan.supp.
set -euo pipefail
cd "$(dirname "$0")/.."
dir="${1:-build-asan}"
if [ ! -f "$dir/build.ninja" ]; then
  cmake -S . -B "$dir" -G Ninja -DCMAKE_BUILD_TYPE=Debug -DQUARVINE_SANITIZE=ON -DQUARVINE_WERROR=ON
fi
cmake --build "$dir" -j"$(nproc)"
export QT_QPA_PLATFORM=offscreen
export ASAN_OPTIONS="detect_leaks=1:abort_on_error=1:strict_string_checks=1:detect_stack_use_after_return=1"
export UBSAN_OPTIONS="print_stacktrace=1:halt_on_error=1"
export LSAN_OPTIONS="suppressions=$PWD/tests/lsan.supp:print_suppressions=0"
cd "$dir"
ctest --output-on-failure -j"$(nproc)" --timeout 600
