#!/usr/bin/env bash
# Builds the whole native test suite with AddressSanitizer and
# UndefinedBehaviorSanitizer in a build folder of its own and runs ctest.
# Leaks are errors; only the Firebird client library's own are suppressed
# (tests/lsan.supp). A case that failed only by LeakSanitizer's own crash runs
# once more (tests/sanitizers/tool_crashes.py).
set -euo pipefail
cd "$(dirname "$0")/.."
root=$PWD
build=${ODB_BUILD_DIR:-$root/build}/sanitize

bash scripts/start-firebird.sh
# -O1 keeps the instrumented build and its tests quick enough for two cores.
cmake -S . -B "$build" -G Ninja -DODB_SANITIZE=ON -DODB_TESTS=ON -DCMAKE_BUILD_TYPE=Debug \
  -DCMAKE_CXX_FLAGS_DEBUG="-g -O1" >/dev/null
cmake --build "$build"

export ASAN_OPTIONS=detect_leaks=1:abort_on_error=1:strict_string_checks=1:detect_stack_use_after_return=1
export LSAN_OPTIONS=suppressions=$root/tests/lsan.supp:print_suppressions=0
export UBSAN_OPTIONS=halt_on_error=1:print_stacktrace=1
cd "$build"
ctest --output-on-failure --no-tests=error --output-junit sanitize-report.xml && exit 0
# LeakSanitizer's tracer itself can crash in a process that used the Firebird
# client; only cases that failed so, and no other way, are tried once more.
if ! retry=$(python3 "$root/tests/sanitizers/tool_crashes.py" sanitize-report.xml) || [[ -z $retry ]]; then
  exit 1
fi
echo "LeakSanitizer's own crash, not a finding; once more:" $retry
ctest --output-on-failure --rerun-failed
