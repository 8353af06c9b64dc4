#!/bin/bash
# Screenshots of the Windows settings window under Wine: both tabs, from a
# sample configuration. Needs the Windows build (see README) and imagemagick.
# Usage: scripts/screenshots.sh [BUILD_DIR]   (default /tmp/b-win32-win)
set -euo pipefail
ROOT=$(cd "$(dirname "$0")/.." && pwd)
BUILD=${1:-/tmp/b-win32-win}
WORK=$(mktemp -d /tmp/odb-shots.XXXXXX)
export WINEPREFIX=${WINEPREFIX:-$BUILD/wineprefix} WINEDEBUG=-all

cp "$BUILD/odbackup.exe" "$WORK/"
# No Firebird on Wine: the tests' scripted client library, given no script,
# refuses every attach, which is enough to open the window.
cp "$BUILD/fbclient.dll" "$WORK/"
# Clicks the second tab of the settings window, as the user would.
cat > "$WORK/tab.c" <<'C'
#include <windows.h>
static BOOL CALLBACK Find(HWND h, LPARAM out) {
  wchar_t cls[64];
  GetClassNameW(h, cls, 64);
  if (lstrcmpW(cls, L"SysTabControl32") == 0) { *(HWND*)out = h; return FALSE; }
  return TRUE;
}
int main(void) {
  HWND main = FindWindowW(L"TFrmODBackupDB", NULL), tab = NULL;
  if (!main) return 1;
  EnumChildWindows(main, Find, (LPARAM)&tab);
  if (!tab) return 2;
  int x = MulDiv(140, GetDeviceCaps(GetDC(NULL), LOGPIXELSX), 96), y = 8;
  PostMessageW(tab, WM_LBUTTONDOWN, MK_LBUTTON, MAKELPARAM(x, y));
  PostMessageW(tab, WM_LBUTTONUP, 0, MAKELPARAM(x, y));
  return 0;
}
C
x86_64-w64-mingw32-gcc -o "$WORK/tab.exe" "$WORK/tab.c" -lgdi32
printf '%s\r\n' '[OrdavaDB]' 'LocalHost=N' 'ServerName=server1' \
  'DatabaseName=D:\Data\Ordava.fdb' 'LogFileName=C:\Ordava\odbackup.log' \
  '[Backups]' 'BackupPath=C:\Zálohy\Ordava' 'BackupCount=5' 'LastRun=01.03.2024 18:00:00' \
  '[Settings]' 'LogToFile=N' 'ClearLog=A' 'RunMinimalized=N' 'EventAction=BackupOnTimer' \
  'Days=1,2,3,4,5' 'EventCountTimes=3' 'Time_1=07:30:00' 'Time_2=12:00:00' 'Time_3=18:00:00' \
  '[UserInterface]' 'IconSet=1' | iconv -f utf-8 -t cp1250 > "$WORK/odbackup.ini"

xvfb-run -a -s "-screen 0 640x720x24" bash -c '
  set -e
  cd "$1"
  wine odbackup.exe >/dev/null 2>&1 & pid=$!
  sleep 10
  import -window root settings-paths.png
  wine tab.exe >/dev/null 2>&1
  sleep 2
  import -window root settings-plan.png
  kill $pid 2>/dev/null || true
  wineserver -k || true
' _ "$WORK"
mkdir -p "$ROOT/docs"
convert "$WORK/settings-paths.png" -trim +repage "$ROOT/docs/settings-paths.png"
convert "$WORK/settings-plan.png" -trim +repage "$ROOT/docs/settings-plan.png"
echo "docs/settings-paths.png docs/settings-plan.png written ($WORK)"
