#include "frontends/win32/TrayEntry.h"

#include <algorithm>

#include "common/Utf16_win.h"
#include "frontends/win32/IconSets.h"
#include "frontends/win32/Win32Errors.h"

namespace odb {

TWin32TrayEntry::TWin32TrayEntry(HWND owner, HINSTANCE instance)
    : TWin32TrayEntry(owner, instance,
                      [](DWORD message, NOTIFYICONDATAW& data) {
                        return Shell_NotifyIconW(message, &data);
                      }) {}

TWin32TrayEntry::TWin32TrayEntry(HWND owner, HINSTANCE instance, TShellNotify notify)
    : owner_(owner),
      notify_(std::move(notify)),
      lists_{LoadIconSetList(instance, 1), LoadIconSetList(instance, 2)},
      taskbarCreated_(RegisterWindowMessageW(L"TaskbarCreated")) {}

TWin32TrayEntry::~TWin32TrayEntry() {
  if (present_) Notify(NIM_DELETE);
}

void TWin32TrayEntry::Add(int iconSet, int iconIndex, const std::string& tip) {
  iconSet_ = NormalizeIconSet(iconSet);
  iconIndex_ = iconIndex;
  tip_ = Widen(tip);
  present_ = true;
  Notify(NIM_ADD);
}

void TWin32TrayEntry::Modify(int iconSet, int iconIndex, const std::string& tip) {
  iconSet_ = NormalizeIconSet(iconSet);
  iconIndex_ = iconIndex;
  tip_ = Widen(tip);
  if (present_) Notify(NIM_MODIFY);
}

void TWin32TrayEntry::Delete() {
  if (!present_) return;
  present_ = false;
  Notify(NIM_DELETE);
}

void TWin32TrayEntry::ShowBalloon(const std::string& title, const std::string& text) {
  NotifyBalloon(Widen(title), Widen(text));
}

void TWin32TrayEntry::HideBalloon() { NotifyBalloon(L"", L""); }

void TWin32TrayEntry::NotifyBalloon(const std::wstring& title, const std::wstring& text) {
  if (!present_) return;
  NOTIFYICONDATAW data{};
  data.cbSize = sizeof data;
  data.hWnd = owner_;
  data.uID = 0;
  data.uFlags = NIF_INFO;
  data.dwInfoFlags = NIIF_WARNING;
  std::copy_n(title.begin(), std::min(title.size(), std::size(data.szInfoTitle) - 1), data.szInfoTitle);
  std::copy_n(text.begin(), std::min(text.size(), std::size(data.szInfo) - 1), data.szInfo);
  notify_(NIM_MODIFY, data);
}

bool TWin32TrayEntry::HandleMessage(UINT msg) {
  if (taskbarCreated_ == 0 || msg != taskbarCreated_) return false;
  // A restarted shell has forgotten every entry; without this a hidden program
  // would be unreachable.
  if (present_) Notify(NIM_ADD);
  return true;
}

void TWin32TrayEntry::Notify(DWORD message) {
  NOTIFYICONDATAW data{};
  data.cbSize = sizeof data;
  data.hWnd = owner_;
  data.uID = 0;
  data.uFlags = NIF_MESSAGE | NIF_ICON | NIF_TIP;
  data.uCallbackMessage = WM_TRAYNOTIFY;
  const size_t tipLength = std::min(tip_.size(), std::size(data.szTip) - 1);
  std::copy_n(tip_.begin(), tipLength, data.szTip);
  // Images 0..2 follow the event action; anything else shows the "other" image.
  const int index = iconIndex_ >= 0 && iconIndex_ < kIconSetImages ? iconIndex_ : 3;
  // The shell keeps its own copy of the icon, so ours goes right after the call.
  TScopedIcon icon(ImageList_GetIcon(lists_[iconSet_ - 1].Get(), index, ILD_NORMAL));
  data.hIcon = icon.Get();
  // A failed call leaves the entry as it was. A missing entry comes back when
  // the shell's notification area announces itself ("TaskbarCreated").
  if (!notify_(message, data)) win::ReportLastError("Shell_NotifyIconW");
}

}  // namespace odb
