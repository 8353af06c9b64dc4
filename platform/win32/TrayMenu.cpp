#include "platform/win32/TrayMenu.h"

#include <vector>

#include "backup/BkpResUtils.h"
#include "common/Errors.h"
#include "common/Format.h"
#include "common/Utf16_win.h"
#include "platform/win32/ScopedHandle.h"
#include "resources/ResourceIds.h"

namespace odb {
namespace {

struct TMenuItem {
  TTrayCommand command;  // None: a separator
  const char* caption;
  int picture;
};

const TMenuItem kItems[] = {
    {TTrayCommand::OpenForm, "Otevři nastavení", ODB_TRAYPIC_WINDOWS},
    {TTrayCommand::CloseForm, "Zavři nastavení", ODB_TRAYPIC_WINDOW_CROSS},
    {TTrayCommand::None, nullptr, -1},
    {TTrayCommand::AnimateIcons, "Nastavení ikon", ODB_TRAYPIC_TILES},
    {TTrayCommand::None, nullptr, -1},
    {TTrayCommand::End, "Konec", ODB_TRAYPIC_CROSS},
};

// Menus draw a 32-bit premultiplied bitmap with its alpha, one bitmap per item,
// so the strip is cut into 16 x 16 pieces.
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
      info.fMask = MIIM_ID | MIIM_STRING | MIIM_BITMAP;
      info.wID = static_cast<UINT>(item.command);
      info.dwTypeData = caption.data();
      info.hbmpItem = pictures[item.picture].Get();
    }
    InsertMenuItemW(menu.Get(), position++, TRUE, &info);
  }
  return menu;
}

}  // namespace

TTrayCommand TrackTrayMenu(HWND owner, HINSTANCE instance) {
  const std::vector<TScopedBitmap> pictures = CutTrayPictures(instance);
  const TScopedMenu menu = BuildTrayMenu(pictures);
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
