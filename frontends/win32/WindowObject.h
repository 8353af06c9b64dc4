#pragma once
// The tie between a window and the object behind it: the object handed to
// CreateWindowExW is kept in GWLP_USERDATA from WM_NCCREATE to WM_NCDESTROY,
// and its handle member follows the window's life.
#include <windows.h>

namespace odb::win {

// The object for this message, or null before WM_NCCREATE. At WM_NCDESTROY
// the tie is undone, yet the object is still returned for that last message.
template <typename T>
T* WindowObject(HWND hwnd, UINT msg, LPARAM lParam, HWND T::*handle) {
  if (msg == WM_NCCREATE) {
    auto* self = static_cast<T*>(reinterpret_cast<CREATESTRUCTW*>(lParam)->lpCreateParams);
    self->*handle = hwnd;
    SetWindowLongPtrW(hwnd, GWLP_USERDATA, reinterpret_cast<LONG_PTR>(self));
  }
  auto* self = reinterpret_cast<T*>(GetWindowLongPtrW(hwnd, GWLP_USERDATA));
  if (msg == WM_NCDESTROY && self) {
    SetWindowLongPtrW(hwnd, GWLP_USERDATA, 0);
    self->*handle = nullptr;
  }
  return self;
}

}  // namespace odb::win
