#!/usr/bin/env bash
# Builds the fuzz targets with clang into build-fuzz and runs each for SECONDS
# (default 60), two at a time. New inputs found go to build-fuzz/fuzz-run/;
# a failing input is saved there as crash-* (copy it into
# fuzz/regressions/<target>/ so that it runs in every test build).
#   bash scripts/fuzz.sh [SECONDS]
set -euo pipefail
cd "$(dirname "$0")/.."
seconds="${1:-60}"
dir="${QUARVINE_FUZZ_BUILD:-build-fuzz}" # a folder of its own: the compiler is clang
targets=(dataset textimport ini filelist colours)

if [ ! -f "$dir/build.ninja" ]; then
  CXX=clang++ cmake -S . -B "$dir" -G Ninja -DCMAKE_BUILD_TYPE=RelWithDebInfo \
    -DQUARVINE_BUILD_FUZZ=ON -DQUARVINE_WERROR=ON -DQUARVINE_BUILD_GUI=OFF -DQUARVINE_BUILD_TESTS=OFF \
    -DQUARVINE_BUILD_TOOLS=OFF
fi
cmake --build "$dir" -j"$(nproc)" --target "${targets[@]/#/fuzz_}"

run_target() {
  local t="$1" work="$dir/fuzz-run/$1"
  mkdir -p "$work/corpus"
  local seeds=("fuzz/corpus/$t")
  [ -d "fuzz/regressions/$t" ] && seeds+=("fuzz/regressions/$t")
  local dict=()
  [ -f "fuzz/$t.dict" ] && dict=(-dict="fuzz/$t.dict")
  set +e
  "$dir/fuzz/fuzz_$t" -max_total_time="$seconds" -max_len=8192 -timeout=10 \
    -print_final_stats=1 -artifact_prefix="$work/" "${dict[@]}" \
    "$work/corpus" "${seeds[@]}" >"$work/log.txt" 2>&1
  echo $? >"$work/rc"
  set -e
}

# Two at a time: the machine has two cores.
for ((i = 0; i < ${#targets[@]}; i += 2)); do
  run_target "${targets[$i]}" &
  [ $((i + 1)) -lt ${#targets[@]} ] && run_target "${targets[$((i + 1))]}" &
  wait
done

failed=0
printf '%-12s %12s %8s  %s\n' target executions seconds result
for t in "${targets[@]}"; do
  work="$dir/fuzz-run/$t"
  runs=$(sed -n 's/^stat::number_of_executed_units: *//p' "$work/log.txt" | tail -1)
  secs=$(sed -n 's/^Done [0-9]* runs in \([0-9]*\) second.*/\1/p' "$work/log.txt" | tail -1)
  if [ "$(cat "$work/rc")" = 0 ]; then
    result="no failures"
  else
    result="FAILED, see $work/log.txt and $work/crash-*"
    failed=1
  fi
  printf '%-12s %12s %8s  %s\n' "$t" "${runs:-?}" "${secs:-?}" "$result"
done
exit "$failed"
