#!/usr/bin/env bash
# Builds the libFuzzer targets with clang (address and undefined-behaviour
# sanitizers) in their own build folder and runs each for a bounded time on
# its seed corpus. Fails on a crash, a leak or undefined behaviour.
# ODB_FUZZ_SECONDS sets the time per target (default 20).
set -euo pipefail
cd "$(dirname "$0")/.."
root=$PWD
build=${ODB_BUILD_DIR:-$root/build}/fuzz
seconds=${ODB_FUZZ_SECONDS:-20}

cmake -S fuzz -B "$build" -G Ninja -DCMAKE_CXX_COMPILER=clang++ -DCMAKE_BUILD_TYPE=RelWithDebInfo >/dev/null
cmake --build "$build"

export ASAN_OPTIONS=detect_leaks=1:abort_on_error=1
export UBSAN_OPTIONS=halt_on_error=1:print_stacktrace=1
for target in ini_roundtrip time_list service_reply; do
  corpus=$build/corpus/$target
  mkdir -p "$corpus" "$build/artifacts"
  echo "== fuzz_$target for ${seconds}s"
  # New inputs go to the build folder; the seeds in fuzz/corpus stay as they are.
  "$build/fuzz_$target" -max_total_time="$seconds" -max_len=4096 -timeout=10 \
    -artifact_prefix="$build/artifacts/$target-" -print_final_stats=1 \
    "$corpus" "fuzz/corpus/$target" 2>"$build/$target.log" || {
    tail -60 "$build/$target.log"
    echo "fuzz_$target failed; the input is in $build/artifacts/" >&2
    exit 1
  }
  grep -E "^stat::number_of_executed_units|^Done" "$build/$target.log" || true
done
echo "fuzzing passed"
