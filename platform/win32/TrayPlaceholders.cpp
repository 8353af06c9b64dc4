// PLACEHOLDER, to be deleted when TrayEntry.cpp, TrayMenu.cpp and
// IconChooserWindow.cpp are merged: no tray entry, no menu, no chooser.
#include "platform/win32/Win32Shell.h"

namespace odb {

TWin32TrayEntry::TWin32TrayEntry(HWND owner, HINSTANCE instance) : owner_(owner), instance_(instance) {}
TWin32TrayEntry::~TWin32TrayEntry() = default;
void TWin32TrayEntry::Add(int, int, const std::string&) {}
void TWin32TrayEntry::Modify(int, int, const std::string&) {}
void TWin32TrayEntry::Delete() {}
bool TWin32TrayEntry::HandleMessage(UINT) { return false; }

TTrayCommand TrackTrayMenu(HWND, HINSTANCE) { return TTrayCommand::None; }
void ShowIconChooser(HWND, HINSTANCE, TFrmSelectIconSet&) {}

}  // namespace odb
