#include "frontends/win32/Win32Ui.h"

#include "common/Utf16_win.h"
#include "frontends/win32/Win32Errors.h"
#include "resources/ResourceIds.h"

namespace odb::win {

void RegisterWindowClass(HINSTANCE instance, const wchar_t* name, WNDPROC proc, bool appIcon,
                         HBRUSH background) {
  WNDCLASSEXW wc{};
  if (GetClassInfoExW(instance, name, &wc)) return;
  wc.cbSize = sizeof wc;
  wc.lpfnWndProc = proc;
  wc.hInstance = instance;
  if (appIcon) {
    wc.hIcon = LoadIconW(instance, MAKEINTRESOURCEW(IDI_APP));
    wc.hIconSm = static_cast<HICON>(
        LoadImageW(instance, MAKEINTRESOURCEW(IDI_APP), IMAGE_ICON, 16, 16, LR_DEFAULTCOLOR));
  }
  wc.hCursor = LoadCursorW(nullptr, IDC_ARROW);
  wc.hbrBackground = background;
  wc.lpszClassName = name;
  if (!RegisterClassExW(&wc)) ThrowLastError("RegisterClassExW");
}

COLORREF ToColorRef(TColor color) {
  if (color & 0x80000000u) return GetSysColor(static_cast<int>(color & 0xFF));
  return static_cast<COLORREF>(color & 0xFFFFFF);
}

HBRUSH BrushFor(TColor color) {
  static std::map<COLORREF, HBRUSH> brushes;
  const COLORREF ref = ToColorRef(color);
  auto& brush = brushes[ref];
  if (!brush) brush = CreateSolidBrush(ref);
  return brush;
}

int Dpi() {
  static const int dpi = [] {
    HDC dc = GetDC(nullptr);
    const int value = GetDeviceCaps(dc, LOGPIXELSY);
    ReleaseDC(nullptr, dc);
    return value > 0 ? value : 96;
  }();
  return dpi;
}

int Scale(int px) { return MulDiv(px, Dpi(), 96); }
int Unscale(int px) { return MulDiv(px, 96, Dpi()); }

namespace {

int CALLBACK FoundFace(const LOGFONTW*, const TEXTMETRICW*, DWORD, LPARAM found) {
  *reinterpret_cast<bool*>(found) = true;
  return 0;
}

// The bitmap "MS Sans Serif" of some systems lacks the Czech letters; a face
// counts only when it offers the Central European character set.
bool HasCzechFace(const wchar_t* face) {
  LOGFONTW query{};
  query.lfCharSet = EASTEUROPE_CHARSET;
  lstrcpynW(query.lfFaceName, face, LF_FACESIZE);
  bool found = false;
  HDC dc = GetDC(nullptr);
  EnumFontFamiliesExW(dc, &query, FoundFace, reinterpret_cast<LPARAM>(&found), 0);
  ReleaseDC(nullptr, dc);
  return found;
}

HFONT MakeFont(bool bold) {
  const wchar_t* face = L"Tahoma";
  for (const wchar_t* candidate : {L"MS Sans Serif", L"Microsoft Sans Serif", L"Tahoma"}) {
    if (HasCzechFace(candidate)) {
      face = candidate;
      break;
    }
  }
  LOGFONTW font{};
  font.lfHeight = -MulDiv(8, Dpi(), 72);
  font.lfWeight = bold ? FW_BOLD : FW_NORMAL;
  font.lfCharSet = DEFAULT_CHARSET;
  lstrcpynW(font.lfFaceName, face, LF_FACESIZE);
  return CreateFontIndirectW(&font);
}

}  // namespace

HFONT WindowFont(bool bold) {
  static const HFONT normal = MakeFont(false);
  static const HFONT heavy = MakeFont(true);
  return bold ? heavy : normal;
}

std::string WindowText(HWND window) {
  std::wstring text(static_cast<size_t>(GetWindowTextLengthW(window)) + 1, L'\0');
  text.resize(static_cast<size_t>(GetWindowTextW(window, text.data(), static_cast<int>(text.size()))));
  return Narrow(text);
}

void SetWindowTextUtf8(HWND window, const std::string& text) {
  SetWindowTextW(window, Widen(text).c_str());
}

}  // namespace odb::win
