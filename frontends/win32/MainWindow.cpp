#include "frontends/win32/MainWindow.h"
#include "frontends/win32/WindowObject.h"

#include <commctrl.h>

#include <algorithm>
#include <utility>

#include "app/AppTexts.h"
#include "app/Form.h"
#include "app/ODBackupDB.h"
#include "common/Utf16_win.h"
#include "frontends/win32/SettingsView.h"
#include "frontends/win32/SingleInstance.h"
#include "frontends/win32/Win32Application.h"
#include "frontends/win32/Win32Errors.h"
#include "frontends/win32/Win32Ui.h"
#include "resources/ResourceIds.h"

namespace odb {
namespace {

constexpr int kOuterWidth = 284;
// 642, plus the status strip's three lines beyond the first (40), the
// verification's check box row on the paths page (20) and the mirror's rows
// (76, of which the log view gave 36): without them the page hides its last rows.
constexpr int kOuterHeight = 642 + 40 + 20 + 76 - 36;
constexpr TColor kWindowColor = Rgb(240, 251, 255);
constexpr DWORD kStyle = WS_OVERLAPPEDWINDOW | WS_CLIPCHILDREN;
constexpr DWORD kExStyle = WS_EX_CONTROLPARENT;

}  // namespace

TMainWindow::TMainWindow(TWin32Application& app, HINSTANCE instance)
    : app_(app), taskbar_(instance) {
  INITCOMMONCONTROLSEX icc{sizeof icc, ICC_STANDARD_CLASSES | ICC_TAB_CLASSES | ICC_UPDOWN_CLASS |
                                           ICC_LISTVIEW_CLASSES | ICC_BAR_CLASSES};
  InitCommonControlsEx(&icc);
  win::RegisterWindowClass(instance, ClassName, WndProc, /*appIcon=*/true);
  // Owned by the taskbar window, whose button carries the application title.
  CreateWindowExW(kExStyle, ClassName, Widen(msg::WindowCaption).c_str(), kStyle, CW_USEDEFAULT, CW_USEDEFAULT,
                  win::Scale(kOuterWidth), win::Scale(kOuterHeight), taskbar_.Handle(), nullptr,
                  instance, this);
  if (!hwnd_) win::ThrowLastError("CreateWindowExW");
  taskbar_.SetOwned(hwnd_);
}

TMainWindow::~TMainWindow() {
  view_.reset();
  if (hwnd_) DestroyWindow(hwnd_);
}

LRESULT CALLBACK TMainWindow::WndProc(HWND hwnd, UINT msg, WPARAM wParam, LPARAM lParam) {
  auto* self = win::WindowObject(hwnd, msg, lParam, &TMainWindow::hwnd_);
  if (!self) return DefWindowProcW(hwnd, msg, wParam, lParam);
  return self->Dispatch(msg, wParam, lParam);
}

TMainWindow::THandler TMainWindow::HandlerFor(UINT msg) {
  static const std::pair<UINT, THandler> handlers[] = {
      {WM_COMMAND, &TMainWindow::OnCommand},
      {WM_NOTIFY, &TMainWindow::OnNotify},
      {WM_CTLCOLORSTATIC, &TMainWindow::OnCtlColor},
      {WM_CTLCOLORBTN, &TMainWindow::OnCtlColor},
      {WM_CTLCOLOREDIT, &TMainWindow::OnCtlColor},
      {WM_DRAWITEM, &TMainWindow::OnDrawItem},
      {WM_SIZE, &TMainWindow::OnSize},
      {WM_GETMINMAXINFO, &TMainWindow::OnMinMaxInfo},
      {WM_ERASEBKGND, &TMainWindow::OnEraseBackground},
      {WM_TIMER, &TMainWindow::OnTimer},
      {WM_CLOSE, &TMainWindow::OnClose},
      {WM_DELIVER, &TMainWindow::OnDeliver},
      {WM_FLUSHMEMO, &TMainWindow::OnFlushMemo},
      {WM_TRAYNOTIFY, &TMainWindow::OnFormMessage},
      {WM_HIDEATSTART, &TMainWindow::OnFormMessage},
      {DM_GETDEFID, &TMainWindow::OnGetDefId},
      {WM_SYSCOMMAND, &TMainWindow::OnSysCommand},
      {WM_ACTIVATE, &TMainWindow::OnActivate},
  };
  for (const auto& [id, handler] : handlers) {
    if (id == msg) return handler;
  }
  return nullptr;
}

LRESULT TMainWindow::Dispatch(UINT msg, WPARAM wParam, LPARAM lParam) {
  if (THandler handler = HandlerFor(msg)) {
    const UINT outer = std::exchange(currentMsg_, msg);
    const LRESULT result = (this->*handler)(wParam, lParam);
    currentMsg_ = outer;
    return result;
  }
  if (win::IsShowRequest(msg, wParam)) {
    if (auto* settings = dynamic_cast<TFrmODBackupDB*>(form_)) app_.Dispatch([&] { settings->miOpenFormClick(); });
    BringToFront();
    return 0;
  }
  // Registered messages ("TaskbarCreated") belong to the tray entry.
  if (msg >= 0xC000 && msg <= 0xFFFF && app_.ForwardToTray(msg)) return 0;
  return DefWindowProcW(hwnd_, msg, wParam, lParam);
}

void TMainWindow::Attach(TForm& form) {
  Detach();
  form_ = &form;
  if (auto* settings = dynamic_cast<TFrmODBackupDB*>(&form)) {
    view_ = std::make_unique<TSettingsView>(app_, *settings, hwnd_, DesignClient());
  }
}

void TMainWindow::Detach() {
  view_.reset();
  form_ = nullptr;
}

SIZE TMainWindow::DesignClient() const {
  // From the layout's outer size, not the window's: on a short screen the
  // window is shorter than its layout from the start.
  RECT frame{};
  AdjustWindowRectEx(&frame, kStyle, FALSE, kExStyle);
  return {win::Unscale(win::Scale(kOuterWidth) - (frame.right - frame.left)),
          win::Unscale(win::Scale(kOuterHeight) - (frame.bottom - frame.top))};
}

RECT TMainWindow::WorkArea() const {
  MONITORINFO info{};
  info.cbSize = sizeof info;
  if (GetMonitorInfoW(MonitorFromWindow(hwnd_, MONITOR_DEFAULTTONEAREST), &info)) return info.rcWork;
  RECT work{};
  SystemParametersInfoW(SPI_GETWORKAREA, 0, &work, 0);
  return work;
}

void TMainWindow::ShowCentred() {
  RECT rc{};
  GetWindowRect(hwnd_, &rc);
  const RECT work = WorkArea();
  const int workW = work.right - work.left, workH = work.bottom - work.top;
  // The layout's size where the work area has room for it, else the work
  // area's: a window taller than the screen has its title bar off it. The
  // layout then shortens the log and scrolls the body.
  const int h = std::min(std::max<int>(rc.bottom - rc.top, win::Scale(kOuterHeight)), workH);
  // A body that scrolls has its scroll bar beside the controls, not over them.
  RECT frame{};
  AdjustWindowRectEx(&frame, kStyle, FALSE, kExStyle);
  const bool scrolls = view_ && win::Unscale(h - (frame.bottom - frame.top)) < view_->LeastClientHeight();
  const int least = win::Scale(kOuterWidth) + (scrolls ? GetSystemMetrics(SM_CXVSCROLL) : 0);
  const int w = std::min(std::max<int>(rc.right - rc.left, least), workW);
  SetWindowPos(hwnd_, HWND_TOP, work.left + (workW - w) / 2, work.top + (workH - h) / 2, w, h, SWP_NOACTIVATE);
  BringToFront();
}

void TMainWindow::BringToFront() {
  taskbar_.Show(app_.Title());
  if (IsIconic(hwnd_)) ShowWindow(hwnd_, SW_RESTORE);
  // SetForegroundWindow alone leaves the window behind under Wine without a
  // window manager; a change of the Z order raises it on both.
  SetWindowPos(hwnd_, HWND_TOP, 0, 0, 0, 0, SWP_NOMOVE | SWP_NOSIZE | SWP_SHOWWINDOW);
  BringWindowToTop(hwnd_);
  SetForegroundWindow(hwnd_);
}

void TMainWindow::Hide() {
  ShowWindow(hwnd_, SW_HIDE);
  taskbar_.Hide();
}

bool TMainWindow::PreTranslate(MSG& message) {
  if (!hwnd_ || !view_ || !IsWindowVisible(hwnd_)) return false;
  if (message.hwnd != hwnd_ && !IsChild(hwnd_, message.hwnd)) return false;
  if (message.message == WM_KEYDOWN && view_->NavigationKey(message.wParam)) return true;
  return IsDialogMessageW(hwnd_, &message) != FALSE;
}

LRESULT TMainWindow::OnCommand(WPARAM wParam, LPARAM lParam) {
  if (view_) view_->Command(LOWORD(wParam), HIWORD(wParam), reinterpret_cast<HWND>(lParam));
  return 0;
}

LRESULT TMainWindow::OnNotify(WPARAM wParam, LPARAM lParam) {
  if (!view_) return DefWindowProcW(hwnd_, WM_NOTIFY, wParam, lParam);
  return view_->Notify(*reinterpret_cast<NMHDR*>(lParam));
}

LRESULT TMainWindow::OnCtlColor(WPARAM wParam, LPARAM lParam) {
  if (HBRUSH brush = view_ ? view_->CtlColor(reinterpret_cast<HDC>(wParam), reinterpret_cast<HWND>(lParam)) : nullptr) {
    return reinterpret_cast<LRESULT>(brush);
  }
  return DefWindowProcW(hwnd_, currentMsg_, wParam, lParam);
}

LRESULT TMainWindow::OnDrawItem(WPARAM, LPARAM lParam) {
  if (!view_) return FALSE;
  view_->DrawItem(*reinterpret_cast<DRAWITEMSTRUCT*>(lParam));
  return TRUE;
}

LRESULT TMainWindow::OnSize(WPARAM, LPARAM) {
  if (view_) view_->Layout();
  return 0;
}

LRESULT TMainWindow::OnMinMaxInfo(WPARAM, LPARAM lParam) {
  // Smaller than the layout the controls would overlap; larger, the grid and
  // the middle group grow. On a work area shorter than the layout, its height
  // is the least (the body scrolls).
  auto& info = *reinterpret_cast<MINMAXINFO*>(lParam);
  const RECT work = WorkArea();
  info.ptMinTrackSize = {std::min<int>(win::Scale(kOuterWidth), work.right - work.left),
                         std::min<int>(win::Scale(kOuterHeight), work.bottom - work.top)};
  return 0;
}

LRESULT TMainWindow::OnEraseBackground(WPARAM wParam, LPARAM) {
  RECT rc{};
  GetClientRect(hwnd_, &rc);
  FillRect(reinterpret_cast<HDC>(wParam), &rc, win::BrushFor(kWindowColor));
  return 1;
}

LRESULT TMainWindow::OnTimer(WPARAM wParam, LPARAM) {
  app_.TimerFired(wParam);
  return 0;
}

LRESULT TMainWindow::OnClose(WPARAM, LPARAM) {
  // The title-bar close ends the program without a question.
  if (form_) {
    form_->Close();
  } else {
    app_.Terminate();
  }
  return 0;
}

LRESULT TMainWindow::OnFlushMemo(WPARAM, LPARAM) {
  if (view_) view_->FlushMemoLines();
  return 0;
}

LRESULT TMainWindow::OnDeliver(WPARAM, LPARAM lParam) {
  std::unique_ptr<TPostedMessage> posted(reinterpret_cast<TPostedMessage*>(lParam));
  posted->target->HandleMessage(posted->msg, posted->wParam, posted->lParam);
  return 0;
}

LRESULT TMainWindow::OnFormMessage(WPARAM wParam, LPARAM lParam) {
  if (form_) form_->HandleMessage(currentMsg_, static_cast<intptr_t>(wParam), lParam);
  return 0;
}

LRESULT TMainWindow::OnGetDefId(WPARAM, LPARAM) { return MAKELRESULT(IDOK, DC_HASDEFID); }

LRESULT TMainWindow::OnSysCommand(WPARAM wParam, LPARAM lParam) {
  // Minimised, the window goes to its taskbar button, not to a caption bar
  // of an owned window at the bottom of the screen.
  if ((wParam & 0xFFF0) == SC_MINIMIZE) {
    taskbar_.Minimise();
    return 0;
  }
  return DefWindowProcW(hwnd_, WM_SYSCOMMAND, wParam, lParam);
}

LRESULT TMainWindow::OnActivate(WPARAM wParam, LPARAM lParam) {
  // As a dialog does: the control that had the focus gets it back.
  if (LOWORD(wParam) == WA_INACTIVE) {
    HWND focus = GetFocus();
    if (focus && IsChild(hwnd_, focus)) lastFocus_ = focus;
    return 0;
  }
  if (HIWORD(wParam) || !view_) return DefWindowProcW(hwnd_, WM_ACTIVATE, wParam, lParam);
  if (lastFocus_ && IsWindow(lastFocus_) && IsWindowVisible(lastFocus_) && IsWindowEnabled(lastFocus_)) {
    SetFocus(lastFocus_);
  } else {
    view_->FocusFirst();
  }
  return 0;
}

}  // namespace odb
