#include "frontends/win32/TrayMenu.h"

#include <commctrl.h>

#include <vector>

#include "common/Errors.h"
#include "common/Format.h"
#include "common/Utf16_win.h"
#include "frontends/win32/ScopedHandle.h"
#include "frontends/win32/Win32Errors.h"
#include "frontends/win32/Win32Texts.h"
#include "resources/ResourceIds.h"

namespace odb {
namespace {

struct TMenuItem {
  TTrayCommand command;  // None: a separator
  const char* caption;
  int picture;
};

constexpr int kPictureSize = 16;
constexpr int kPictureGap = 4;

const TMenuItem kItems[] = {
    {TTrayCommand::OpenForm, "Otevři nastavení", ODB_TRAYPIC_WINDOWS},
    {TTrayCommand::CloseForm, "Zavři nastavení", ODB_TRAYPIC_WINDOW_CROSS},
    {TTrayCommand::None, nullptr, -1},
    {TTrayCommand::AnimateIcons, "Nastavení ikon", ODB_TRAYPIC_TILES},
    {TTrayCommand::Login, "Přihlašovací údaje…", ODB_TRAYPIC_DOWNLOAD},
    {TTrayCommand::Restore, "Obnovit ze zálohy…", ODB_TRAYPIC_WINDOWS},
    {TTrayCommand::None, nullptr, -1},
    {TTrayCommand::End, "Konec", ODB_TRAYPIC_CROSS},
};

// One 32-bit premultiplied bitmap per item, cut out of the strip.
std::vector<TScopedBitmap> CutTrayPictures(HINSTANCE instance) {
  TScopedBitmap strip(static_cast<HBITMAP>(LoadImageW(
      instance, MAKEINTRESOURCEW(IDB_TRAYMENU), IMAGE_BITMAP, 0, 0, LR_CREATEDIBSECTION)));
  DIBSECTION dib{};
  if (!strip || GetObjectW(strip.Get(), sizeof dib, &dib) != sizeof dib ||
      dib.dsBm.bmBitsPixel != 32 || dib.dsBm.bmWidth < 16 * ODB_TRAYPIC_COUNT)
    throw Exception(FormatMsg(msg::ResourceMissing, IDB_TRAYMENU));
  const auto* src = static_cast<const DWORD*>(dib.dsBm.bmBits);
  std::vector<TScopedBitmap> pictures;
  for (int p = 0; p < ODB_TRAYPIC_COUNT; ++p) {
    BITMAPINFO info{};
    info.bmiHeader = {sizeof(BITMAPINFOHEADER), 16, 16, 1, 32, BI_RGB, 0, 0, 0, 0, 0};
    void* bits = nullptr;
    TScopedBitmap piece(CreateDIBSection(nullptr, &info, DIB_RGB_COLORS, &bits, nullptr, 0));
    if (!piece) throw Exception(FormatMsg(msg::ResourceMissing, IDB_TRAYMENU));
    auto* dst = static_cast<DWORD*>(bits);
    // Both are bottom-up, so rows match one for one.
    for (int y = 0; y < 16; ++y)
      for (int x = 0; x < 16; ++x) dst[y * 16 + x] = src[y * dib.dsBm.bmWidth + p * 16 + x];
    pictures.push_back(std::move(piece));
  }
  return pictures;
}

// The pictures are drawn by the owner on request: Wine's menus copy an item bitmap
// without its alpha, and this way both draw it the same on either highlight.
LRESULT CALLBACK DrawMenuPictures(HWND hwnd, UINT msg, WPARAM wParam, LPARAM lParam,
                                  UINT_PTR, DWORD_PTR) {
  if (msg == WM_MEASUREITEM) {
    auto& item = *reinterpret_cast<MEASUREITEMSTRUCT*>(lParam);
    if (item.CtlType == ODT_MENU && item.itemData != 0) {
      item.itemWidth = kPictureSize + kPictureGap;
      item.itemHeight = kPictureSize;
      return TRUE;
    }
  }
  if (msg == WM_DRAWITEM) {
    const auto& item = *reinterpret_cast<const DRAWITEMSTRUCT*>(lParam);
    if (item.CtlType == ODT_MENU && item.itemData != 0) {
      HDC source = CreateCompatibleDC(item.hDC);
      HGDIOBJ old = SelectObject(source, reinterpret_cast<HBITMAP>(item.itemData));
      const BLENDFUNCTION blend{AC_SRC_OVER, 0, 255, AC_SRC_ALPHA};
      const int y = (item.rcItem.top + item.rcItem.bottom - kPictureSize) / 2;
      GdiAlphaBlend(item.hDC, item.rcItem.left, y, kPictureSize, kPictureSize, source, 0, 0,
                    kPictureSize, kPictureSize, blend);
      SelectObject(source, old);
      DeleteDC(source);
      return TRUE;
    }
  }
  return DefSubclassProc(hwnd, msg, wParam, lParam);
}

class TPictureDrawing {
 public:
  explicit TPictureDrawing(HWND owner) : owner_(owner) {
    // Without it the items show no pictures, which the menu can live with.
    if (!SetWindowSubclass(owner_, DrawMenuPictures, 0, 0)) win::ReportLastError("SetWindowSubclass");
  }
  ~TPictureDrawing() { RemoveWindowSubclass(owner_, DrawMenuPictures, 0); }
  TPictureDrawing(const TPictureDrawing&) = delete;
  TPictureDrawing& operator=(const TPictureDrawing&) = delete;

 private:
  HWND owner_;
};

TScopedMenu BuildTrayMenu(const std::vector<TScopedBitmap>& pictures) {
  TScopedMenu menu(CreatePopupMenu());
  if (!menu) throw Exception(FormatMsg(msg::ResourceMissing, IDB_TRAYMENU));
  UINT position = 0;
  for (const TMenuItem& item : kItems) {
    MENUITEMINFOW info{};
    info.cbSize = sizeof info;
    std::wstring caption;
    if (item.command == TTrayCommand::None) {
      info.fMask = MIIM_FTYPE;
      info.fType = MFT_SEPARATOR;
    } else {
      caption = Widen(item.caption);
      info.fMask = MIIM_ID | MIIM_STRING | MIIM_BITMAP | MIIM_DATA;
      info.wID = static_cast<UINT>(item.command);
      info.dwTypeData = caption.data();
      info.hbmpItem = HBMMENU_CALLBACK;
      info.dwItemData = reinterpret_cast<ULONG_PTR>(pictures[item.picture].Get());
    }
    if (!InsertMenuItemW(menu.Get(), position++, TRUE, &info)) win::ReportLastError("InsertMenuItemW");
  }
  return menu;
}

}  // namespace

TTrayCommand TrackTrayMenu(HWND owner, HINSTANCE instance) {
  const std::vector<TScopedBitmap> pictures = CutTrayPictures(instance);
  const TScopedMenu menu = BuildTrayMenu(pictures);
  const TPictureDrawing drawing(owner);
  SetForegroundWindow(owner);
  POINT cursor{};
  GetCursorPos(&cursor);
  const UINT picked = TrackPopupMenu(
      menu.Get(), TPM_LEFTALIGN | TPM_TOPALIGN | TPM_RIGHTBUTTON | TPM_RETURNCMD | TPM_NONOTIFY,
      cursor.x, cursor.y, 0, owner, nullptr);
  for (const TMenuItem& item : kItems)
    if (item.command != TTrayCommand::None && static_cast<UINT>(item.command) == picked)
      return item.command;
  return TTrayCommand::None;
}

}  // namespace odb
