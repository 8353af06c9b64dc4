#pragma once
// Drives modal Win32 loops (a popup menu, the icon chooser) from inside: a
// thread timer fires while the loop runs and performs one step of the test.
#include <windows.h>

#include <algorithm>
#include <functional>
#include <string>
#include <vector>

#include "common/Utf16_win.h"

namespace odb::test {

// Runs step once, shortly after modal() has entered its loop. A second timer
// ends a loop that the step failed to close, so a fault fails instead of hanging.
inline void DuringModal(const std::function<void()>& step, const std::function<void()>& modal,
                        const std::function<void()>& rescue) {
  static std::function<void()> pending;
  static std::function<void()> pendingRescue;
  static UINT_PTR stepTimer = 0;
  static UINT_PTR rescueTimer = 0;
  pending = step;
  pendingRescue = rescue;
  // Named CALLBACK functions: a lambda has the wrong calling convention on 32-bit.
  struct Timers {
    static void CALLBACK Step(HWND, UINT, UINT_PTR, DWORD) {
      KillTimer(nullptr, stepTimer);
      if (auto run = std::exchange(pending, nullptr)) run();
    }
    static void CALLBACK Rescue(HWND, UINT, UINT_PTR, DWORD) {
      KillTimer(nullptr, rescueTimer);
      ADD_FAILURE() << "the modal loop was still running after 10 s";
      if (pendingRescue) pendingRescue();
    }
  };
  stepTimer = SetTimer(nullptr, 0, 50, Timers::Step);
  rescueTimer = SetTimer(nullptr, 0, 10000, Timers::Rescue);
  modal();
  KillTimer(nullptr, stepTimer);
  KillTimer(nullptr, rescueTimer);
  pending = nullptr;
  pendingRescue = nullptr;
}

// Runs the steps one after the other on timer ticks while modal() runs (each
// sees what the posted input of the one before did), with the same rescue.
inline void DuringModalSteps(std::vector<std::function<void()>> steps,
                             const std::function<void()>& modal,
                             const std::function<void()>& rescue) {
  static std::vector<std::function<void()>> pending;
  static UINT_PTR stepTimer = 0;
  pending = std::move(steps);
  std::reverse(pending.begin(), pending.end());
  struct Timers {
    static void CALLBACK Step(HWND, UINT, UINT_PTR, DWORD) {
      if (pending.empty()) return;
      auto step = std::move(pending.back());
      pending.pop_back();
      step();
    }
  };
  stepTimer = SetTimer(nullptr, 0, 100, Timers::Step);
  DuringModal([] {}, modal, rescue);
  KillTimer(nullptr, stepTimer);
  pending.clear();
}

// A plain hidden top-level window to own trays, menus and choosers.
class HiddenOwner {
 public:
  HiddenOwner()
      : hwnd_(CreateWindowExW(0, L"STATIC", L"owner", WS_OVERLAPPED, 0, 0, 100, 100, nullptr,
                              nullptr, GetModuleHandleW(nullptr), nullptr)) {}
  ~HiddenOwner() { DestroyWindow(hwnd_); }
  HiddenOwner(const HiddenOwner&) = delete;
  HiddenOwner& operator=(const HiddenOwner&) = delete;
  HWND Get() const { return hwnd_; }

 private:
  HWND hwnd_;
};

// Pixels of an icon drawn on white, top row first, for comparing icons by look.
inline std::vector<DWORD> IconPixels(HICON icon, int size = 16) {
  BITMAPINFO bi{};
  bi.bmiHeader = {sizeof(BITMAPINFOHEADER), size, -size, 1, 32, BI_RGB, 0, 0, 0, 0, 0};
  void* bits = nullptr;
  HDC dc = CreateCompatibleDC(nullptr);
  HBITMAP bitmap = CreateDIBSection(dc, &bi, DIB_RGB_COLORS, &bits, nullptr, 0);
  HGDIOBJ old = SelectObject(dc, bitmap);
  RECT all{0, 0, size, size};
  FillRect(dc, &all, static_cast<HBRUSH>(GetStockObject(WHITE_BRUSH)));
  DrawIconEx(dc, 0, 0, icon, size, size, 0, nullptr, DI_NORMAL);
  GdiFlush();
  const auto* px = static_cast<const DWORD*>(bits);
  std::vector<DWORD> pixels;
  for (int i = 0; i < size * size; ++i) pixels.push_back(px[i] & 0xFFFFFF);
  SelectObject(dc, old);
  DeleteObject(bitmap);
  DeleteDC(dc);
  return pixels;
}

inline std::vector<DWORD> ResourceIconPixels(int id) {
  auto icon = static_cast<HICON>(LoadImageW(GetModuleHandleW(nullptr), MAKEINTRESOURCEW(id),
                                            IMAGE_ICON, 16, 16, LR_DEFAULTCOLOR));
  std::vector<DWORD> pixels = IconPixels(icon);
  DestroyIcon(icon);
  return pixels;
}

}  // namespace odb::test
