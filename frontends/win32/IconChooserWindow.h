#pragma once
// The window of the icon set chooser: a small modal tool window around the
// chooser model (app/SelectIconSet.h).
#include <windows.h>

#include "platform/SelectIconSet.h"

namespace odb {

// Control ids of the two set buttons, SBPrvni and SBDruhy.
inline constexpr int kIdSBPrvni = 101;
inline constexpr int kIdSBDruhy = 102;
inline constexpr wchar_t kIconChooserClass[] = L"ODBackupIconChooser";

// Shows the chooser and returns when it has closed; the owner takes no input
// meanwhile, while every other message of the thread (timers) goes on being handled.
// The result is chooser.SelectedSet.
void ShowIconChooser(HWND owner, HINSTANCE instance, TFrmSelectIconSet& chooser);

}  // namespace odb
