#include "frontends/win32/IconChooserWindow.h"
#include "frontends/win32/WindowObject.h"

#include <commctrl.h>

#include "common/Errors.h"
#include "common/Format.h"
#include "common/Utf16_win.h"
#include "frontends/win32/IconSets.h"
#include "frontends/win32/ScopedHandle.h"
#include "frontends/win32/Win32Errors.h"
#include "frontends/win32/Win32Texts.h"
#include "frontends/win32/Win32Ui.h"
#include "resources/ResourceIds.h"

namespace odb {
namespace {

// Layout at 96 dpi, scaled to the screen's.
constexpr SIZE kClient{192, 51};
constexpr SIZE kButton{39, 38};
constexpr int kButtonX[2] = {19, 77};
constexpr int kPanel2Width = 57;
constexpr int kFrame = 24;  // a lowered frame around a 22 x 22 picture area
constexpr POINT kFrameAt[4] = {{4, 1}, {29, 1}, {4, 26}, {29, 26}};
constexpr int kPicture = 32;

class TChooserWindow {
 public:
  TChooserWindow(HWND owner, HINSTANCE instance, TFrmSelectIconSet& model);
  ~TChooserWindow();
  TChooserWindow(const TChooserWindow&) = delete;
  TChooserWindow& operator=(const TChooserWindow&) = delete;
  void RunModal();

 private:
  static LRESULT CALLBACK WndProc(HWND hwnd, UINT msg, WPARAM wParam, LPARAM lParam);
  static LRESULT CALLBACK ButtonProc(HWND hwnd, UINT msg, WPARAM wParam, LPARAM lParam,
                                     UINT_PTR id, DWORD_PTR self);
  LRESULT Handle(UINT msg, WPARAM wParam, LPARAM lParam);
  bool HandleButton(int set, UINT msg);
  bool CreateButtons();
  void Paint(HDC dc) const;
  void DrawButton(const DRAWITEMSTRUCT& item) const;
  void RedrawPreviews();
  int Scale(int px) const { return MulDiv(px, dpi_, 96); }
  RECT Panel2() const;
  RECT FrameRect(int i) const;

  HINSTANCE instance_;
  TFrmSelectIconSet& model_;
  int dpi_;
  HWND hwnd_ = nullptr;
  HWND buttons_[2] = {};
  int hot_ = 0;  // the set button under the mouse, 0 for none
  TScopedImageList lists_[2];
  TScopedBitmap pictures_[2];
};

int ScreenDpi() {
  HDC screen = GetDC(nullptr);
  const int dpi = GetDeviceCaps(screen, LOGPIXELSY);
  ReleaseDC(nullptr, screen);
  return dpi > 0 ? dpi : 96;
}

TScopedBitmap LoadPicture(HINSTANCE instance, int id) {
  TScopedBitmap bitmap(static_cast<HBITMAP>(
      LoadImageW(instance, MAKEINTRESOURCEW(id), IMAGE_BITMAP, 0, 0, LR_CREATEDIBSECTION)));
  if (!bitmap) throw Exception(FormatMsg(msg::ResourceMissing, id));
  return bitmap;
}

// No placement rule of its own: centred on the screen where the mouse is, which
// is where the tray menu was just opened.
POINT CentredOrigin(SIZE window) {
  POINT cursor{};
  GetCursorPos(&cursor);
  MONITORINFO info{};
  info.cbSize = sizeof info;
  GetMonitorInfoW(MonitorFromPoint(cursor, MONITOR_DEFAULTTOPRIMARY), &info);
  const RECT& work = info.rcWork;
  return {work.left + (work.right - work.left - window.cx) / 2,
          work.top + (work.bottom - work.top - window.cy) / 2};
}

TChooserWindow::TChooserWindow(HWND owner, HINSTANCE instance, TFrmSelectIconSet& model)
    : instance_(instance),
      model_(model),
      dpi_(ScreenDpi()),
      lists_{LoadIconSetList(instance, 1), LoadIconSetList(instance, 2)},
      pictures_{LoadPicture(instance, IDB_CHOOSER_SET1), LoadPicture(instance, IDB_CHOOSER_SET2)} {
  // Panel1 fills the client area in the colour of an active title bar's gradient.
  win::RegisterWindowClass(instance, kIconChooserClass, WndProc, /*appIcon=*/false,
                           reinterpret_cast<HBRUSH>(COLOR_GRADIENTACTIVECAPTION + 1));
  const DWORD style = WS_POPUP | WS_CAPTION | WS_SYSMENU;
  const DWORD exStyle = WS_EX_TOOLWINDOW | WS_EX_DLGMODALFRAME | WS_EX_CONTROLPARENT;
  RECT frame{0, 0, Scale(kClient.cx), Scale(kClient.cy)};
  AdjustWindowRectEx(&frame, style, FALSE, exStyle);
  const SIZE size{frame.right - frame.left, frame.bottom - frame.top};
  const POINT at = CentredOrigin(size);
  const std::wstring caption = Widen(TFrmSelectIconSet::Caption);
  CreateWindowExW(exStyle, kIconChooserClass, caption.c_str(), style, at.x, at.y, size.cx,
                  size.cy, owner, nullptr, instance, this);
  if (!hwnd_) win::ThrowLastError("CreateWindowExW");
  model_.OnPreviewChanged = [this] { RedrawPreviews(); };
}

TChooserWindow::~TChooserWindow() {
  model_.OnPreviewChanged = nullptr;
  if (hwnd_) DestroyWindow(hwnd_);
}

bool TChooserWindow::CreateButtons() {
  const int ids[2] = {kIdSBPrvni, kIdSBDruhy};
  for (int i = 0; i < 2; ++i) {
    buttons_[i] = CreateWindowExW(
        0, L"BUTTON", L"", WS_CHILD | WS_VISIBLE | WS_TABSTOP | BS_OWNERDRAW, Scale(kButtonX[i]),
        Scale((kClient.cy - kButton.cy) / 2), Scale(kButton.cx), Scale(kButton.cy), hwnd_,
        reinterpret_cast<HMENU>(static_cast<INT_PTR>(ids[i])), instance_, nullptr);
    if (!buttons_[i] || !SetWindowSubclass(buttons_[i], ButtonProc, i + 1, reinterpret_cast<DWORD_PTR>(this))) {
      return false;
    }
  }
  return true;
}

void TChooserWindow::RunModal() {
  ShowWindow(hwnd_, SW_SHOW);
  SetForegroundWindow(hwnd_);
  UpdateWindow(hwnd_);
  MSG msg{};
  while (!model_.Closed()) {
    const BOOL got = GetMessageW(&msg, nullptr, 0, 0);
    if (got <= 0) {
      // The program is ending: hand the quit on to the main loop.
      if (got == 0) PostQuitMessage(static_cast<int>(msg.wParam));
      model_.Close();
      break;
    }
    if (IsDialogMessageW(hwnd_, &msg)) continue;
    TranslateMessage(&msg);
    DispatchMessageW(&msg);
  }
}

LRESULT CALLBACK TChooserWindow::WndProc(HWND hwnd, UINT msg, WPARAM wParam, LPARAM lParam) {
  auto* self = win::WindowObject(hwnd, msg, lParam, &TChooserWindow::hwnd_);
  if (!self) return DefWindowProcW(hwnd, msg, wParam, lParam);
  return self->Handle(msg, wParam, lParam);
}

LRESULT TChooserWindow::Handle(UINT msg, WPARAM wParam, LPARAM lParam) {
  switch (msg) {
    case WM_CREATE:
      // No error may leave a window procedure; a failed creation fails CreateWindowExW.
      return CreateButtons() ? 0 : -1;
    case WM_ACTIVATE:
      if (LOWORD(wParam) != WA_INACTIVE) {
        model_.FormActivate();
        for (HWND button : buttons_) InvalidateRect(button, nullptr, FALSE);
      }
      break;
    case WM_COMMAND:
      if (LOWORD(wParam) == kIdSBPrvni) model_.SBPrvniClick();
      if (LOWORD(wParam) == kIdSBDruhy) model_.SBDruhyClick();
      if (LOWORD(wParam) == IDCANCEL) model_.Close();
      return 0;
    case WM_DRAWITEM:
      DrawButton(*reinterpret_cast<const DRAWITEMSTRUCT*>(lParam));
      return TRUE;
    case WM_PAINT: {
      PAINTSTRUCT ps;
      HDC dc = BeginPaint(hwnd_, &ps);
      Paint(dc);
      EndPaint(hwnd_, &ps);
      return 0;
    }
    case WM_CLOSE:
      // The title-bar close chooses nothing; the modal loop ends on the model's state.
      model_.Close();
      return 0;
  }
  return DefWindowProcW(hwnd_, msg, wParam, lParam);
}

LRESULT CALLBACK TChooserWindow::ButtonProc(HWND hwnd, UINT msg, WPARAM wParam, LPARAM lParam,
                                            UINT_PTR id, DWORD_PTR self) {
  if (msg == WM_NCDESTROY) RemoveWindowSubclass(hwnd, ButtonProc, id);
  reinterpret_cast<TChooserWindow*>(self)->HandleButton(static_cast<int>(id), msg);
  return DefSubclassProc(hwnd, msg, wParam, lParam);
}

bool TChooserWindow::HandleButton(int set, UINT msg) {
  HWND button = buttons_[set - 1];
  if (msg == WM_MOUSEMOVE) {
    if (hot_ != set) {
      hot_ = set;
      TRACKMOUSEEVENT track{sizeof track, TME_LEAVE, button, 0};
      TrackMouseEvent(&track);
      InvalidateRect(button, nullptr, FALSE);
    }
    if (set == 1) model_.SBPrvniMouseMove();
    if (set == 2) model_.SBDruhyMouseMove();
    return true;
  }
  if (msg == WM_MOUSELEAVE && hot_ == set) {
    hot_ = 0;
    InvalidateRect(button, nullptr, FALSE);
    return true;
  }
  return false;
}

void TChooserWindow::RedrawPreviews() {
  for (int i = 0; i < kIconSetImages; ++i) {
    const RECT frame = FrameRect(i);
    InvalidateRect(hwnd_, &frame, FALSE);
  }
  UpdateWindow(hwnd_);
}

RECT TChooserWindow::Panel2() const {
  const int right = Scale(kClient.cx);
  return {right - Scale(kPanel2Width), 0, right, Scale(kClient.cy)};
}

RECT TChooserWindow::FrameRect(int i) const {
  const RECT panel = Panel2();
  const int left = panel.left + Scale(kFrameAt[i].x);
  const int top = panel.top + Scale(kFrameAt[i].y);
  return {left, top, left + Scale(kFrame), top + Scale(kFrame)};
}

void TChooserWindow::Paint(HDC dc) const {
  RECT panel = Panel2();
  FillRect(dc, &panel, GetSysColorBrush(COLOR_BTNFACE));
  DrawEdge(dc, &panel, BDR_SUNKENOUTER, BF_RECT);
  const int set = model_.PreviewSet();
  for (int i = 0; i < kIconSetImages; ++i) {
    RECT frame = FrameRect(i);
    FillRect(dc, &frame, GetSysColorBrush(COLOR_BTNFACE));
    DrawEdge(dc, &frame, BDR_SUNKENOUTER, BF_RECT);
    if (set != 1 && set != 2) continue;
    const int x = (frame.left + frame.right - kIconSize) / 2;
    const int y = (frame.top + frame.bottom - kIconSize) / 2;
    ImageList_Draw(lists_[set - 1].Get(), i, dc, x, y, ILD_TRANSPARENT);
  }
}

// A flat toggle button: no frame at rest, raised under the mouse, lowered when down.
void TChooserWindow::DrawButton(const DRAWITEMSTRUCT& item) const {
  const int set = item.CtlID == kIdSBDruhy ? 2 : 1;
  const bool pressed = (item.itemState & ODS_SELECTED) != 0;
  const bool down = pressed || model_.ButtonDown() == set;
  RECT rc = item.rcItem;
  FillRect(item.hDC, &rc, GetSysColorBrush(down ? COLOR_3DLIGHT : COLOR_GRADIENTACTIVECAPTION));
  if (down) DrawEdge(item.hDC, &rc, BDR_SUNKENOUTER, BF_RECT);
  else if (hot_ == set) DrawEdge(item.hDC, &rc, BDR_RAISEDINNER, BF_RECT);
  if (item.itemState & ODS_FOCUS) {
    RECT focus = rc;
    InflateRect(&focus, -3, -3);
    DrawFocusRect(item.hDC, &focus);
  }
  HDC source = CreateCompatibleDC(item.hDC);
  HGDIOBJ old = SelectObject(source, pictures_[set - 1].Get());
  const int shift = pressed ? 1 : 0;
  const int x = (rc.left + rc.right - kPicture) / 2 + shift;
  const int y = (rc.top + rc.bottom - kPicture) / 2 + shift;
  // The pictures carry premultiplied alpha.
  const BLENDFUNCTION blend{AC_SRC_OVER, 0, 255, AC_SRC_ALPHA};
  GdiAlphaBlend(item.hDC, x, y, kPicture, kPicture, source, 0, 0, kPicture, kPicture, blend);
  SelectObject(source, old);
  DeleteDC(source);
}

}  // namespace

void ShowIconChooser(HWND owner, HINSTANCE instance, TFrmSelectIconSet& chooser) {
  // The owner is disabled for the chooser's lifetime and enabled again before
  // the chooser goes, so that the activation returns to it.
  const bool disableOwner = owner != nullptr && IsWindowEnabled(owner);
  TChooserWindow window(owner, instance, chooser);
  if (disableOwner) EnableWindow(owner, FALSE);
  struct TEnableAgain {
    HWND owner;
    ~TEnableAgain() {
      if (owner) EnableWindow(owner, TRUE);
    }
  } enableAgain{disableOwner ? owner : nullptr};
  window.RunModal();
}

}  // namespace odb
