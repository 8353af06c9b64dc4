// Colours and pictures of the settings window: panels and group boxes paint
// themselves in their colour, and the controls inside take it.
#include "app/ODBackupDB.h"
#include "common/Utf16_win.h"
#include "frontends/win32/SettingsView.h"
#include "frontends/win32/Win32Errors.h"
#include "frontends/win32/Win32Ui.h"

namespace odb {
namespace {

constexpr TColor kWindowColor = Rgb(240, 251, 255);
constexpr UINT_PTR kSpinFilterId = 1;

LRESULT CALLBACK PanelProc(HWND hwnd, UINT msg, WPARAM wParam, LPARAM lParam) {
  auto* view = reinterpret_cast<TSettingsView*>(GetWindowLongPtrW(hwnd, GWLP_USERDATA));
  switch (msg) {
    case WM_ERASEBKGND:
      return 1;
    case WM_PAINT: {
      PAINTSTRUCT ps;
      HDC dc = BeginPaint(hwnd, &ps);
      if (view) view->PaintPanel(hwnd, dc);
      EndPaint(hwnd, &ps);
      return 0;
    }
    case WM_SIZE:
      InvalidateRect(hwnd, nullptr, FALSE);
      return 0;
    case WM_VSCROLL:
    case WM_MOUSEWHEEL:
      // The wheel over a group inside the body comes up to it by the default.
      if (view && view->ScrollMessage(hwnd, msg, wParam)) return 0;
      return DefWindowProcW(hwnd, msg, wParam, lParam);
    case WM_CLOSE:
      // A multi-line edit asks its parent to close on Esc; a panel lives as
      // long as the window.
      return 0;
    case WM_COMMAND:
    case WM_NOTIFY:
    case WM_CTLCOLORSTATIC:
    case WM_CTLCOLORBTN:
    case WM_CTLCOLOREDIT:
    case WM_DRAWITEM:
      // Controls report to their parent; the settings window handles them all.
      return SendMessageW(GetAncestor(hwnd, GA_ROOT), msg, wParam, lParam);
    default:
      return DefWindowProcW(hwnd, msg, wParam, lParam);
  }
}

LRESULT CALLBACK SpinFilterProc(HWND hwnd, UINT msg, WPARAM wParam, LPARAM lParam, UINT_PTR, DWORD_PTR) {
  if (msg == WM_CHAR && wParam >= L' ' && !(wParam >= L'0' && wParam <= L'9') && wParam != L'+' &&
      wParam != L'-') {
    MessageBeep(MB_OK);
    return 0;
  }
  return DefSubclassProc(hwnd, msg, wParam, lParam);
}

}  // namespace

void RegisterPanelClass(HINSTANCE instance) {
  win::RegisterWindowClass(instance, L"ODBPanel", PanelProc, /*appIcon=*/false);
}

void FilterSpinKeys(HWND edit) {
  if (!SetWindowSubclass(edit, SpinFilterProc, kSpinFilterId, 0)) win::ReportLastError("SetWindowSubclass");
}

TColor TSettingsView::ColorOf(int index) const {
  if (index < 0) return kWindowColor;
  const TChild& child = children_[static_cast<size_t>(index)];
  if (child.kind == TChildKind::Page) return clBtnFace;
  const TControl* const own[] = {&form_.PnlTop,     &form_.PnlBody, &form_.PnlBottom,
                                 &form_.GBDatabaze, &form_.GBData,  &form_.GBInfo};
  for (const TControl* control : own) {
    if (child.model == control) return control->Color();
  }
  return ColorOf(child.parent);
}

void TSettingsView::PaintPanel(HWND panel, HDC dc) {
  const int index = IndexOf(panel);
  if (index < 0) return;
  const TChild& child = children_[static_cast<size_t>(index)];
  RECT rc{};
  GetClientRect(panel, &rc);
  const TColor color = ColorOf(index);
  FillRect(dc, &rc, win::BrushFor(color));
  if (child.kind == TChildKind::Lowered) DrawEdge(dc, &rc, BDR_SUNKENOUTER, BF_RECT);
  if (child.kind != TChildKind::GroupBox) return;
  HGDIOBJ oldFont = SelectObject(dc, win::WindowFont());
  TEXTMETRICW tm{};
  GetTextMetricsW(dc, &tm);
  RECT frame = rc;
  frame.top += tm.tmHeight / 2;
  DrawEdge(dc, &frame, EDGE_ETCHED, BF_RECT);
  const std::wstring caption = [&] {
    std::wstring text(static_cast<size_t>(GetWindowTextLengthW(panel)) + 1, L'\0');
    text.resize(static_cast<size_t>(GetWindowTextW(panel, text.data(), static_cast<int>(text.size()))));
    return text;
  }();
  SetBkColor(dc, win::ToColorRef(color));
  SetTextColor(dc, GetSysColor(COLOR_WINDOWTEXT));
  SetBkMode(dc, OPAQUE);
  TextOutW(dc, win::Scale(8), 0, caption.c_str(), static_cast<int>(caption.size()));
  SelectObject(dc, oldFont);
}

HBRUSH TSettingsView::CtlColor(HDC dc, HWND hwnd) {
  const int index = IndexOf(hwnd);
  if (index < 0) return nullptr;
  const TChild& child = children_[static_cast<size_t>(index)];
  switch (child.kind) {
    case TChildKind::Memo:
      SetTextColor(dc, GetSysColor(COLOR_INFOTEXT));
      SetBkColor(dc, win::ToColorRef(child.model->Color()));
      return win::BrushFor(child.model->Color());
    case TChildKind::Edit:
    case TChildKind::Spin: {
      const TColor back = child.model->Enabled() ? clWindow : clBtnFace;
      SetTextColor(dc, win::ToColorRef(child.model->FontColor()));
      SetBkColor(dc, win::ToColorRef(back));
      return win::BrushFor(back);
    }
    case TChildKind::Combo:
    case TChildKind::Grid:
    case TChildKind::Tab:
      return nullptr;
    case TChildKind::Panel:
    case TChildKind::Lowered:
    case TChildKind::GroupBox:
    case TChildKind::Page:
    case TChildKind::Label:
    case TChildKind::Bevel:
    case TChildKind::UpDown:
    case TChildKind::Check:
    case TChildKind::Radio:
    case TChildKind::FlatButton:
    case TChildKind::PushButton:
      break;
  }
  const TColor back = ColorOf(child.parent);
  // Labels keep their model's text colour (the status strip's warning).
  SetTextColor(dc, child.kind == TChildKind::Label ? win::ToColorRef(child.model->FontColor())
                                                   : GetSysColor(COLOR_WINDOWTEXT));
  SetBkColor(dc, win::ToColorRef(back));
  return win::BrushFor(back);
}

int TSettingsView::ImageOf(const TChild& child) const {
  if (child.model == &form_.SBExit) return 5;
  if (child.model == &form_.SBComStart) return 2;
  if (child.model == &form_.BtnOK) return 3;
  if (child.model == &form_.BtnCancel) return 4;
  return child.model->Enabled() ? 0 : 1;
}

void TSettingsView::DrawItem(const DRAWITEMSTRUCT& item) {
  const int index = IndexOf(item.hwndItem);
  if (index < 0) return;
  const TChild& child = children_[static_cast<size_t>(index)];
  if (child.model == &form_.LaStatus) {
    DrawStrip(item);
    return;
  }
  RECT rc = item.rcItem;
  HDC dc = item.hDC;
  const bool pushed = item.itemState & ODS_SELECTED;
  FillRect(dc, &rc, win::BrushFor(child.kind == TChildKind::PushButton ? clBtnFace : ColorOf(child.parent)));
  if (child.kind == TChildKind::PushButton) {
    if (child.model == &form_.BtnOK) {
      FrameRect(dc, &rc, static_cast<HBRUSH>(GetStockObject(BLACK_BRUSH)));
      InflateRect(&rc, -1, -1);
    }
    DrawFrameControl(dc, &rc, DFC_BUTTON, DFCS_BUTTONPUSH | (pushed ? DFCS_PUSHED : 0));
  } else if (pushed) {
    DrawEdge(dc, &rc, BDR_SUNKENOUTER, BF_RECT);
  }
  const int shift = pushed ? 1 : 0;
  const std::wstring caption = Widen(child.model->Caption());
  const int icon = win::Scale(16);
  const int iconX = caption.empty() ? (rc.left + rc.right - icon) / 2 : rc.left + win::Scale(5);
  ImageList_Draw(images_, ImageOf(child), dc, iconX + shift, (rc.top + rc.bottom - icon) / 2 + shift,
                 ILD_TRANSPARENT);
  if (!caption.empty()) {
    RECT text = rc;
    text.left = iconX + icon + win::Scale(4) + shift;
    text.top += shift;
    SetBkMode(dc, TRANSPARENT);
    SetTextColor(dc, GetSysColor(child.model->Enabled() ? COLOR_BTNTEXT : COLOR_GRAYTEXT));
    HGDIOBJ old = SelectObject(dc, win::WindowFont());
    DrawTextW(dc, caption.c_str(), -1, &text, DT_SINGLELINE | DT_VCENTER | DT_LEFT | DT_NOPREFIX);
    SelectObject(dc, old);
  }
  if ((item.itemState & ODS_FOCUS) && child.kind == TChildKind::PushButton) {
    InflateRect(&rc, -win::Scale(3), -win::Scale(3));
    DrawFocusRect(dc, &rc);
  }
}

}  // namespace odb
