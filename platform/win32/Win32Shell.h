#pragma once
// The tray entry, the tray menu and the icon chooser window, as the settings
// window uses them. Their implementations live in TrayEntry.*, TrayMenu.* and
// IconChooserWindow.*; when those are merged, this header only includes them.
#include <windows.h>
// The model's TApplication::PostMessage is not the API macro.
#undef PostMessage

#include "app/SelectIconSet.h"
#include "platform/Application.h"

namespace odb {

// PLACEHOLDER until TrayEntry.h is merged: then replace this declaration by
// #include "platform/win32/TrayEntry.h".
class TWin32TrayEntry : public ITrayEntry {
 public:
  TWin32TrayEntry(HWND owner, HINSTANCE instance);
  ~TWin32TrayEntry() override;
  void Add(int iconSet, int iconIndex, const std::string& tip) override;
  void Modify(int iconSet, int iconIndex, const std::string& tip) override;
  void Delete() override;
  // True when msg was the shell's "TaskbarCreated" and the entry was added again.
  bool HandleMessage(UINT msg);

 private:
  HWND owner_;
  HINSTANCE instance_;
};

TTrayCommand TrackTrayMenu(HWND owner, HINSTANCE instance);
void ShowIconChooser(HWND owner, HINSTANCE instance, TFrmSelectIconSet& chooser);

}  // namespace odb
