#pragma once
// Move-only owners of Win32 handles. Copying is deleted on purpose: a copied
// owner would destroy the same handle twice.
#include <windows.h>
#include <commctrl.h>

#include <utility>

namespace odb {

template <class Traits>
class TScopedHandle {
 public:
  using Handle = typename Traits::Handle;

  TScopedHandle() = default;
  explicit TScopedHandle(Handle handle) : handle_(handle) {}
  TScopedHandle(TScopedHandle&& other) noexcept : handle_(other.Release()) {}
  TScopedHandle& operator=(TScopedHandle&& other) noexcept {
    if (this != &other) Reset(other.Release());
    return *this;
  }
  TScopedHandle(const TScopedHandle&) = delete;
  TScopedHandle& operator=(const TScopedHandle&) = delete;
  ~TScopedHandle() { Reset(); }

  Handle Get() const { return handle_; }
  explicit operator bool() const { return Traits::IsValid(handle_); }

  Handle Release() { return std::exchange(handle_, Traits::Null()); }
  void Reset(Handle handle = Traits::Null()) {
    Handle old = std::exchange(handle_, handle);
    if (Traits::IsValid(old)) Traits::Close(old);
  }

 private:
  Handle handle_ = Traits::Null();
};

// Most handle kinds use null for "none"; kernel handles also use INVALID_HANDLE_VALUE.
template <class H, auto CloseFn>
struct TNullHandleTraits {
  using Handle = H;
  static Handle Null() { return nullptr; }
  static bool IsValid(Handle h) { return h != nullptr; }
  static void Close(Handle h) { CloseFn(h); }
};

struct TKernelHandleTraits {
  using Handle = HANDLE;
  static Handle Null() { return nullptr; }
  static bool IsValid(Handle h) { return h != nullptr && h != INVALID_HANDLE_VALUE; }
  static void Close(Handle h) { CloseHandle(h); }
};

using TScopedKernelHandle = TScopedHandle<TKernelHandleTraits>;
using TScopedIcon = TScopedHandle<TNullHandleTraits<HICON, DestroyIcon>>;
using TScopedImageList = TScopedHandle<TNullHandleTraits<HIMAGELIST, ImageList_Destroy>>;
using TScopedMenu = TScopedHandle<TNullHandleTraits<HMENU, DestroyMenu>>;
using TScopedBitmap = TScopedHandle<TNullHandleTraits<HBITMAP, DeleteObject>>;
using TScopedBrush = TScopedHandle<TNullHandleTraits<HBRUSH, DeleteObject>>;
using TScopedModule = TScopedHandle<TNullHandleTraits<HMODULE, FreeLibrary>>;
using TScopedWindow = TScopedHandle<TNullHandleTraits<HWND, DestroyWindow>>;

}  // namespace odb
