#!/usr/bin/env bash
# The settings window at 96, 120 and 144 dpi on a 1366x768 screen, a common
# laptop's at 100, 125 and 150 %: the SettingsDpi cases of the test program,
# each run in a prefix of its own set to that dpi (made at the first run).
# Environment: ODB_TESTS_EXE, ODB_DPI_PREFIX, ODB_BITS (64 or 32).
set -euo pipefail
exe=${ODB_TESTS_EXE:?odbackup_tests.exe} prefix=${ODB_DPI_PREFIX:?prefix}
arch=win64
[[ ${ODB_BITS:-64} == 32 ]] && arch=win32
export WINEPREFIX=$prefix WINEARCH=$arch WINEDEBUG=-all
for dpi in 96 120 144; do
  bash "$(dirname "$0")/../bridge/prefix.sh" "$prefix" "$arch" "$dpi" >/dev/null
  if ! out=$(xvfb-run -a -s "-screen 0 1366x768x24" wine "$exe" --gtest_filter='SettingsDpi.*' 2>&1); then
    printf '%s\nFAILED at %s dpi\n' "$out" "$dpi"
    exit 1
  fi
  # A prefix that kept its old dpi would pass without testing anything new.
  grep -q "^at $dpi dpi" <<<"$out" || { printf '%s\nthe program did not run at %s dpi\n' "$out" "$dpi"; exit 1; }
  echo "$dpi dpi: $(grep -c '^\[       OK \]' <<<"$out") passed"
done
