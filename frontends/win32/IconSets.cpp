#include "frontends/win32/IconSets.h"

#include "common/Errors.h"
#include "common/Format.h"
#include "frontends/win32/Win32Texts.h"
#include "resources/ResourceIds.h"

namespace odb {

int NormalizeIconSet(int iconSet) { return iconSet == 2 ? 2 : 1; }

TScopedImageList LoadIconSetList(HINSTANCE instance, int iconSet) {
  const int first = NormalizeIconSet(iconSet) == 2 ? IDI_SET2_0 : IDI_SET1_0;
  TScopedImageList list(
      ImageList_Create(kIconSize, kIconSize, ILC_COLOR32 | ILC_MASK, kIconSetImages, 0));
  if (!list) throw Exception(FormatMsg(msg::ResourceMissing, first));
  for (int i = 0; i < kIconSetImages; ++i) {
    TScopedIcon icon(static_cast<HICON>(LoadImageW(
        instance, MAKEINTRESOURCEW(first + i), IMAGE_ICON, kIconSize, kIconSize, LR_DEFAULTCOLOR)));
    if (!icon || ImageList_AddIcon(list.Get(), icon.Get()) < 0)
      throw Exception(FormatMsg(msg::ResourceMissing, first + i));
  }
  return list;
}

}  // namespace odb
