#pragma once
// The tray entry, the tray menu and the icon chooser window, as the settings
// window uses them.
#include <windows.h>
// The model's TApplication::PostMessage is not the API macro.
#undef PostMessage

#include "frontends/win32/IconChooserWindow.h"
#include "frontends/win32/TrayEntry.h"
#include "frontends/win32/TrayMenu.h"
