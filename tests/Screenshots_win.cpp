// Holds the tray menu and the icon chooser open for scripts/screenshots-tray.sh,
// which photographs the screen. Skipped unless ODB_SCREENSHOT_DIR names a folder.
#include <gtest/gtest.h>

#include <cstdlib>
#include <fstream>
#include <functional>

#include "ModalDriver_win.h"
#include "platform/win32/IconChooserWindow.h"
#include "platform/win32/TrayMenu.h"

namespace odb {
namespace {

std::string ScreenshotDir() {
  const char* dir = std::getenv("ODB_SCREENSHOT_DIR");
  return dir ? dir : "";
}

// Tells the script where the window is (NAME.rect: left top width height), then
// closes it once the script has left NAME.done.
void HoldForScreenshot(const std::string& name, HWND shown, std::function<void()> close) {
  static std::wstring done;
  static std::function<void()> closeIt;
  static UINT_PTR poll = 0;
  RECT r{};
  GetWindowRect(shown, &r);
  const std::string base = ScreenshotDir() + "/" + name;
  std::ofstream(base + ".rect") << r.left << ' ' << r.top << ' ' << r.right - r.left << ' '
                                << r.bottom - r.top << '\n';
  done = Widen(base + ".done");
  closeIt = std::move(close);
  // Timer procedures are CALLBACK functions, not lambdas: the calling
  // convention differs on 32-bit.
  struct Poll {
    static void CALLBACK Tick(HWND, UINT, UINT_PTR, DWORD) {
      if (GetFileAttributesW(done.c_str()) == INVALID_FILE_ATTRIBUTES) return;
      KillTimer(nullptr, poll);
      closeIt();
    }
  };
  poll = SetTimer(nullptr, 0, 100, Poll::Tick);
}

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
  if (ScreenshotDir().empty()) GTEST_SKIP() << "ODB_SCREENSHOT_DIR is not set";
  test::HiddenOwner owner;
  SetCursorPos(40, 30);
  test::DuringModal(
      [&] {
        PostMessageW(owner.Get(), WM_KEYDOWN, VK_DOWN, 1);
        PostMessageW(owner.Get(), WM_KEYDOWN, VK_DOWN, 1);
        PostMessageW(owner.Get(), WM_KEYDOWN, VK_DOWN, 1);
        Later([] {
          HoldForScreenshot("tray-menu", FindWindowW(L"#32768", nullptr), [] { EndMenu(); });
        });
      },
      [&] { TrackTrayMenu(owner.Get(), GetModuleHandleW(nullptr)); }, [] { EndMenu(); });
}

TEST(Screenshots, IconChooser) {
  if (ScreenshotDir().empty()) GTEST_SKIP() << "ODB_SCREENSHOT_DIR is not set";
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
          HoldForScreenshot("icon-chooser", FindWindowW(kIconChooserClass, nullptr), close);
        });
      },
      [&] { ShowIconChooser(owner.Get(), GetModuleHandleW(nullptr), chooser); }, close);
}

}  // namespace
}  // namespace odb
