#pragma once
// Windows held open for scripts/screenshots.sh, which photographs the virtual
// screen: for each picture the test writes NAME.rect (left top width height) in
// ODB_SCREENSHOT_DIR and goes on once the script has left NAME.done there.
#include <windows.h>

#include <cstdlib>
#include <fstream>
#include <functional>
#include <string>

#include "common/Utf16_win.h"

namespace odb::test {

inline std::string ScreenshotDir() {
  const char* dir = std::getenv("ODB_SCREENSHOT_DIR");
  return dir ? dir : "";
}

// Announces the window and gives the name of the file that releases it.
inline std::wstring AnnounceForScreenshot(const std::string& name, HWND shown) {
  RECT r{};
  GetWindowRect(shown, &r);
  const std::string base = ScreenshotDir() + "/" + name;
  std::ofstream(base + ".rect") << r.left << ' ' << r.top << ' ' << r.right - r.left << ' '
                                << r.bottom - r.top << '\n';
  return Widen(base + ".done");
}

inline bool Released(const std::wstring& done) {
  return GetFileAttributesW(done.c_str()) != INVALID_FILE_ATTRIBUTES;
}

// For a window inside a modal loop (a menu, a dialog): polled by a timer of
// that loop, then closed.
inline void HoldForScreenshot(const std::string& name, HWND shown, std::function<void()> close) {
  static std::wstring done;
  static std::function<void()> closeIt;
  static UINT_PTR poll = 0;
  done = AnnounceForScreenshot(name, shown);
  closeIt = std::move(close);
  // Timer procedures are CALLBACK functions, not lambdas: the calling
  // convention differs on 32-bit.
  struct Poll {
    static void CALLBACK Tick(HWND, UINT, UINT_PTR, DWORD) {
      if (!Released(done)) return;
      KillTimer(nullptr, poll);
      closeIt();
    }
  };
  poll = SetTimer(nullptr, 0, 100, Poll::Tick);
}

// For a window of the test's own loop: keeps it painting until it is taken
// (at most a minute, so a test never hangs on a script that went away).
inline void HoldWhilePumping(const std::string& name, HWND shown) {
  const std::wstring done = AnnounceForScreenshot(name, shown);
  for (int i = 0; i < 3000 && !Released(done); ++i) {
    MSG msg;
    while (PeekMessageW(&msg, nullptr, 0, 0, PM_REMOVE)) {
      TranslateMessage(&msg);
      DispatchMessageW(&msg);
    }
    Sleep(20);
  }
}

}  // namespace odb::test
