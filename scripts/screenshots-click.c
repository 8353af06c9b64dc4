// Clicks the second tab of the settings window (no argument) or its button
// Konec ("exit"), as the user would, or scrolls its body to the end ("end");
// scripts/screenshots.sh builds it.
#include <windows.h>
static BOOL CALLBACK FindTab(HWND h, LPARAM out) {
  wchar_t cls[64];
  GetClassNameW(h, cls, 64);
  if (lstrcmpW(cls, L"SysTabControl32") == 0) { *(HWND*)out = h; return FALSE; }
  return TRUE;
}
static BOOL CALLBACK FindExit(HWND h, LPARAM out) {
  wchar_t text[64];
  GetWindowTextW(h, text, 64);
  if (lstrcmpW(text, L"Konec") == 0) { *(HWND*)out = h; return FALSE; }
  return TRUE;
}
static BOOL CALLBACK FindScrolled(HWND h, LPARAM out) {
  wchar_t cls[64];
  GetClassNameW(h, cls, 64);
  if ((GetWindowLongW(h, GWL_STYLE) & WS_VSCROLL) && lstrcmpW(cls, L"ODBPanel") == 0) {
    *(HWND*)out = h;
    return FALSE;
  }
  return TRUE;
}
int wmain(int argc, wchar_t** argv) {
  HWND main = FindWindowW(L"TFrmODBackupDB", NULL), target = NULL;
  if (!main) return 1;
  if (argc > 1 && lstrcmpW(argv[1], L"end") == 0) {
    EnumChildWindows(main, FindScrolled, (LPARAM)&target);
    if (target) PostMessageW(target, WM_VSCROLL, SB_BOTTOM, 0);
    return 0;
  }
  if (argc > 1 && lstrcmpW(argv[1], L"exit") == 0) {
    EnumChildWindows(main, FindExit, (LPARAM)&target);
    if (!target) return 2;
    PostMessageW(target, BM_CLICK, 0, 0);
    return 0;
  }
  EnumChildWindows(main, FindTab, (LPARAM)&target);
  if (!target) return 2;
  int x = MulDiv(140, GetDeviceCaps(GetDC(NULL), LOGPIXELSX), 96), y = 8;
  PostMessageW(target, WM_LBUTTONDOWN, MK_LBUTTON, MAKELPARAM(x, y));
  PostMessageW(target, WM_LBUTTONUP, 0, MAKELPARAM(x, y));
  return 0;
}
