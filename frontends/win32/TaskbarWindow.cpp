#include "frontends/win32/TaskbarWindow.h"
#include "frontends/win32/WindowObject.h"

#include "common/Utf16_win.h"
#include "frontends/win32/Win32Errors.h"
#include "frontends/win32/Win32Ui.h"
#include "resources/ResourceIds.h"

namespace odb {
namespace {

constexpr const wchar_t* kClassName = L"TApplication";
constexpr UINT WM_FOCUSOWNED = WM_APP + 10;

}  // namespace

TTaskbarWindow::TTaskbarWindow(HINSTANCE instance) {
  win::RegisterWindowClass(instance, kClassName, WndProc, /*appIcon=*/true);
  // No size, in the middle of the screen: under the settings window, which is
  // centred there, wherever a system draws a window of no size.
  RECT work{};
  SystemParametersInfoW(SPI_GETWORKAREA, 0, &work, 0);
  CreateWindowExW(0, kClassName, L"", WS_POPUP | WS_CAPTION | WS_SYSMENU | WS_MINIMIZEBOX,
                  (work.left + work.right) / 2, (work.top + work.bottom) / 2, 0, 0, nullptr,
                  nullptr, instance, this);
  if (!hwnd_) win::ThrowLastError("CreateWindowExW");
}

TTaskbarWindow::~TTaskbarWindow() {
  if (hwnd_) DestroyWindow(hwnd_);
}

LRESULT CALLBACK TTaskbarWindow::WndProc(HWND hwnd, UINT msg, WPARAM wParam, LPARAM lParam) {
  auto* self = win::WindowObject(hwnd, msg, lParam, &TTaskbarWindow::hwnd_);
  return self ? self->Handle(msg, wParam, lParam) : DefWindowProcW(hwnd, msg, wParam, lParam);
}

LRESULT TTaskbarWindow::Handle(UINT msg, WPARAM wParam, LPARAM lParam) {
  switch (msg) {
    case WM_CLOSE:
      // Closing from the taskbar is the settings window's title-bar close.
      if (owned_) SendMessageW(owned_, WM_CLOSE, 0, 0);
      return 0;
    case WM_SIZE:
      if (wParam == SIZE_RESTORED) Restored();
      return 0;
    case WM_SETFOCUS:
      // Activated through its button: the settings window (or its open box) takes over.
      PostMessageW(hwnd_, WM_FOCUSOWNED, 0, 0);
      return 0;
    case WM_FOCUSOWNED:
      if (owned_ && IsWindowVisible(owned_) && !IsIconic(hwnd_)) {
        SetForegroundWindow(GetLastActivePopup(owned_));
      }
      return 0;
    default:
      return DefWindowProcW(hwnd_, msg, wParam, lParam);
  }
}

void TTaskbarWindow::Show(const std::string& title) {
  const std::wstring text = Widen(title);
  if (win::WindowText(hwnd_) != title) SetWindowTextW(hwnd_, text.c_str());
  if (IsIconic(hwnd_)) {
    ShowWindow(hwnd_, SW_RESTORE);
    Restored();
  } else {
    ShowWindow(hwnd_, SW_SHOWNA);
  }
}

void TTaskbarWindow::Hide() {
  ownedHidden_ = false;
  ShowWindow(hwnd_, SW_HIDE);
}

void TTaskbarWindow::Minimise() {
  const bool shown = owned_ && IsWindowVisible(owned_);
  ShowWindow(hwnd_, SW_MINIMIZE);
  if (shown && IsWindowVisible(owned_)) ShowWindow(owned_, SW_HIDE);
  ownedHidden_ = shown;
}

void TTaskbarWindow::Restored() {
  if (!ownedHidden_) return;
  ownedHidden_ = false;
  if (owned_ && !IsWindowVisible(owned_)) ShowWindow(owned_, SW_SHOW);
}

}  // namespace odb
