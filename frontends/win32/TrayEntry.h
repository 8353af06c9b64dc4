#pragma once
// The settings window's entry in the taskbar's notification area. It owns the
// entry: the destructor removes an entry still present, and an entry is added
// again when the shell announces a new taskbar.
#include <functional>
#include <string>

#include "platform/Application.h"
#include "frontends/win32/ScopedHandle.h"

#include <shellapi.h>

namespace odb {

class TWin32TrayEntry final : public ITrayEntry {
 public:
  // The shell call; replaceable so tests can watch the records it is given.
  using TShellNotify = std::function<BOOL(DWORD message, NOTIFYICONDATAW& data)>;

  TWin32TrayEntry(HWND owner, HINSTANCE instance);
  TWin32TrayEntry(HWND owner, HINSTANCE instance, TShellNotify notify);
  ~TWin32TrayEntry() override;
  TWin32TrayEntry(const TWin32TrayEntry&) = delete;
  TWin32TrayEntry& operator=(const TWin32TrayEntry&) = delete;

  void Add(int iconSet, int iconIndex, const std::string& tip) override;
  void Modify(int iconSet, int iconIndex, const std::string& tip) override;
  void Delete() override;
  // A balloon with the warning icon (NIF_INFO) over the entry.
  void ShowBalloon(const std::string& title, const std::string& text) override;
  // A balloon record with no text: the shell takes the standing one down.
  void HideBalloon() override;

  // True when msg is the shell's "TaskbarCreated"; the entry is then added again.
  bool HandleMessage(UINT msg);
  bool Present() const { return present_; }

 private:
  void Notify(DWORD message);
  void NotifyBalloon(const std::wstring& title, const std::wstring& text);

  HWND owner_;
  TShellNotify notify_;
  TScopedImageList lists_[2];
  UINT taskbarCreated_;
  bool present_ = false;
  int iconSet_ = 1;
  int iconIndex_ = 0;
  std::wstring tip_;
};

}  // namespace odb
