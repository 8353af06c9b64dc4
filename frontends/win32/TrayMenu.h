#pragma once
// The tray entry's popup menu.
#include <windows.h>

#include "platform/Application.h"

namespace odb {

// Brings owner to the foreground (the menu would not close on an outside click
// otherwise), shows the menu at the mouse cursor and returns the picked item,
// None when the menu was dismissed. The caller posts WM_NULL to owner afterwards.
TTrayCommand TrackTrayMenu(HWND owner, HINSTANCE instance);

}  // namespace odb
