#!/usr/bin/env bash
# Makes the Wine prefix the Windows tests run in and says how long that took:
# a new prefix boots Wine's services for seconds, which is setup, not the
# time of any test or benchmark run.
# Its windows are unmanaged: Xvfb runs no window manager, and for a managed
# window Wine waits up to 2 s at every hide for a WM_STATE change that never
# comes (each window test took 4 s, all of it that wait).
# With DPI, the screen's dots per inch are set to it (Wine reads them at each
# program's start), for the tests and pictures of the window at that scale.
# Usage: prefix.sh PREFIX [win64|win32] [DPI]
set -euo pipefail
prefix=$1 arch=${2:-win64} dpi=${3:-}
export WINEPREFIX=$prefix WINEARCH=$arch WINEDEBUG=-all
# Nothing here needs .NET or the HTML engine; their installers would ask.
export WINEDLLOVERRIDES="mscoree,mshtml="
start=$(date +%s%N)
made=kept
if [[ ! -f $prefix/system.reg ]]; then
  wineboot -i >/dev/null 2>&1
  made=made
fi
if ! grep -q '^"Managed"="N"' "$prefix/user.reg" 2>/dev/null; then
  wine reg add 'HKCU\Software\Wine\X11 Driver' /v Managed /d N /f >/dev/null 2>&1
fi
if [[ -n $dpi ]]; then
  hex=$(printf '0x%x' "$dpi")
  wine reg add 'HKCU\Control Panel\Desktop' /v LogPixels /t REG_DWORD /d "$hex" /f >/dev/null 2>&1
  wine reg add 'HKLM\System\CurrentControlSet\Hardware Profiles\Current\Software\Fonts' \
    /v LogPixels /t REG_DWORD /d "$hex" /f >/dev/null 2>&1
  made="$made, $dpi dpi"
fi
wineserver -w
echo "Wine prefix $prefix ($arch, $made): ready in $((($(date +%s%N) - start) / 1000000)) ms"
