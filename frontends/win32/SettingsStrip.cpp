// The status strip: one row per line, each cut with "…" at the strip's edge
// rather than wrapped into the row below (a server's error text is longer
// than the window is wide), and the whole text in a tooltip when a row is cut.
#include <algorithm>

#include "app/ODBackupDB.h"
#include "common/Utf16_win.h"
#include "frontends/win32/SettingsView.h"
#include "frontends/win32/Win32Ui.h"

namespace odb {
namespace {

std::vector<std::wstring> SplitLines(const std::wstring& text) {
  std::vector<std::wstring> lines;
  size_t start = 0;
  for (size_t end; (end = text.find(L"\r\n", start)) != std::wstring::npos; start = end + 2) {
    lines.push_back(text.substr(start, end - start));
  }
  lines.push_back(text.substr(start));
  return lines;
}

// The line whole when it fits in width pixels, else its longest beginning
// that fits with the ellipsis after it.
std::wstring FitLine(HDC dc, const std::wstring& line, int width, bool& cut) {
  SIZE size{};
  GetTextExtentPoint32W(dc, line.c_str(), static_cast<int>(line.size()), &size);
  if (size.cx <= width) return line;
  cut = true;
  const std::wstring ellipsis = L"\u2026";
  GetTextExtentPoint32W(dc, ellipsis.c_str(), 1, &size);
  int fit = 0;
  GetTextExtentExPointW(dc, line.c_str(), static_cast<int>(line.size()), std::max(0, width - static_cast<int>(size.cx)), &fit,
                        nullptr, &size);
  return line.substr(0, static_cast<size_t>(std::max(0, fit))) + ellipsis;
}

}  // namespace

std::vector<std::wstring> TSettingsView::StripLinesShown(bool* cut) const {
  HWND strip = WindowOf(form_.LaStatus);
  RECT rc{};
  GetClientRect(strip, &rc);
  HDC dc = GetDC(strip);
  HGDIOBJ old = SelectObject(dc, win::WindowFont());
  bool any = false;
  std::vector<std::wstring> lines;
  for (const std::wstring& line : SplitLines(Widen(form_.LaStatus.Caption()))) {
    lines.push_back(FitLine(dc, line, rc.right, any));
  }
  SelectObject(dc, old);
  ReleaseDC(strip, dc);
  if (cut) *cut = any;
  return lines;
}

void TSettingsView::DrawStrip(const DRAWITEMSTRUCT& item) {
  HDC dc = item.hDC;
  RECT rc = item.rcItem;
  FillRect(dc, &rc, win::BrushFor(ColorOf(children_[static_cast<size_t>(IndexOf(item.hwndItem))].parent)));
  HGDIOBJ old = SelectObject(dc, win::WindowFont());
  TEXTMETRICW tm{};
  GetTextMetricsW(dc, &tm);
  SetBkMode(dc, TRANSPARENT);
  SetTextColor(dc, win::ToColorRef(form_.LaStatus.FontColor()));
  int y = rc.top;
  for (const std::wstring& line : StripLinesShown()) {
    TextOutW(dc, rc.left, y, line.c_str(), static_cast<int>(line.size()));
    y += tm.tmHeight;
  }
  SelectObject(dc, old);
}

std::wstring TSettingsView::StripTip() const {
  bool cut = false;
  StripLinesShown(&cut);
  // No text, no tip: rows shown whole need none.
  return cut ? Widen(form_.LaStatus.Caption()) : std::wstring();
}

void TSettingsView::AddStripTip() {
  TTTOOLINFOW info{};
  info.cbSize = sizeof info;
  info.uFlags = TTF_IDISHWND | TTF_SUBCLASS;
  info.hwnd = window_;
  info.uId = reinterpret_cast<UINT_PTR>(WindowOf(form_.LaStatus));
  // Asked for when the tip is about to show: the rows are cut or not by the
  // width the strip has then.
  info.lpszText = LPSTR_TEXTCALLBACKW;
  SendMessageW(tooltip_, TTM_ADDTOOLW, 0, reinterpret_cast<LPARAM>(&info));
}

LRESULT TSettingsView::StripTipText(NMTTDISPINFOW& info) {
  if (info.hdr.idFrom != reinterpret_cast<UINT_PTR>(WindowOf(form_.LaStatus))) return 0;
  stripTip_ = StripTip();
  info.lpszText = stripTip_.data();
  return 0;
}

}  // namespace odb
