// Holds the tray menu and the icon chooser open for scripts/screenshots.sh,
// which photographs the screen. Skipped unless ODB_SCREENSHOT_DIR names a folder.
#include <gtest/gtest.h>

#include <functional>

#include "ModalDriver_win.h"
#include "frontends/win32/IconChooserWindow.h"
#include "frontends/win32/TrayMenu.h"
#include "tests/ScreenshotHold_win.h"

namespace odb {
namespace {

// Runs step one timer tick after modal() has started, so posted input has been handled.
void Later(const std::function<void()>& step) {
  static std::function<void()> pending;
  static UINT_PTR timer = 0;
  pending = step;
  struct Once {
    static void CALLBACK Tick(HWND, UINT, UINT_PTR, DWORD) {
      KillTimer(nullptr, timer);
      std::exchange(pending, nullptr)();
    }
  };
  timer = SetTimer(nullptr, 0, 300, Once::Tick);
}

TEST(Screenshots, TrayMenu) {
  if (test::ScreenshotDir().empty()) GTEST_SKIP() << "ODB_SCREENSHOT_DIR is not set";
  test::HiddenOwner owner;
  SetCursorPos(40, 30);
  test::DuringModal(
      [&] {
        PostMessageW(owner.Get(), WM_KEYDOWN, VK_DOWN, 1);
        PostMessageW(owner.Get(), WM_KEYDOWN, VK_DOWN, 1);
        PostMessageW(owner.Get(), WM_KEYDOWN, VK_DOWN, 1);
        Later([] {
          test::HoldForScreenshot("tray-menu", FindWindowW(L"#32768", nullptr), [] { EndMenu(); });
        });
      },
      [&] { TrackTrayMenu(owner.Get(), GetModuleHandleW(nullptr)); }, [] { EndMenu(); });
}

TEST(Screenshots, IconChooser) {
  if (test::ScreenshotDir().empty()) GTEST_SKIP() << "ODB_SCREENSHOT_DIR is not set";
  test::HiddenOwner owner;
  TFrmSelectIconSet chooser;
  chooser.SelectedSet = 2;
  auto close = [] { PostMessageW(FindWindowW(kIconChooserClass, nullptr), WM_CLOSE, 0, 0); };
  test::DuringModal(
      [&] {
        // The current set is down; the mouse rests on the other button, whose set the
        // previews show.
        HWND button = GetDlgItem(FindWindowW(kIconChooserClass, nullptr), kIdSBPrvni);
        RECT r{};
        GetWindowRect(button, &r);
        SetCursorPos((r.left + r.right) / 2, (r.top + r.bottom) / 2);
        SendMessageW(button, WM_MOUSEMOVE, 0, MAKELPARAM(10, 10));
        Later([=] {
          test::HoldForScreenshot("icon-chooser", FindWindowW(kIconChooserClass, nullptr), close);
        });
      },
      [&] { ShowIconChooser(owner.Get(), GetModuleHandleW(nullptr), chooser); }, close);
}

}  // namespace
}  // namespace odb
