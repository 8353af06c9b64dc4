#pragma once
// The two tray icon sets as image lists, as the tray entry and the icon chooser's
// previews both show them.
#include "frontends/win32/ScopedHandle.h"

namespace odb {

inline constexpr int kIconSetImages = 4;
inline constexpr int kIconSize = 16;

// A set number other than 1 or 2 falls back to set 1.
int NormalizeIconSet(int iconSet);
// Images 0..3 of the set: OnceBackup, BackupOnTimer, PauseBackup, any other action.
TScopedImageList LoadIconSetList(HINSTANCE instance, int iconSet);

}  // namespace odb
