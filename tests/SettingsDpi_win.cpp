// The settings window at the screen's dpi: the title bar on the screen and
// every control, on both pages, whole inside the work area and inside each
// window around it, once the body has scrolled it into view as the keyboard
// focus does; and Tab never leaves the focus out of view. tests/dpi/dpi.sh runs it at 96, 120 and 144 dpi on a 1366x768
// screen; the unit run checks it at the prefix's dpi.
#include "tests/SettingsWindowFixture_win.h"

#include <cstdio>

#include "common/Utf16_win.h"
#include "frontends/win32/Win32Ui.h"

namespace odb {
namespace {

bool Inside(const RECT& inner, const RECT& outer) {
  return inner.left >= outer.left && inner.top >= outer.top && inner.right <= outer.right &&
         inner.bottom <= outer.bottom;
}

std::string Describe(HWND hwnd, const RECT& r) {
  wchar_t cls[64]{}, text[64]{};
  GetClassNameW(hwnd, cls, 64);
  GetWindowTextW(hwnd, text, 64);
  return Narrow(cls) + " \"" + Narrow(text) + "\" at " + std::to_string(r.left) + "," + std::to_string(r.top) +
         " to " + std::to_string(r.right) + "," + std::to_string(r.bottom);
}

// A CALLBACK function, not a lambda: the calling convention differs on 32-bit.
BOOL CALLBACK Collect(HWND hwnd, LPARAM out) {
  reinterpret_cast<std::vector<HWND>*>(out)->push_back(hwnd);
  return TRUE;
}

RECT ClientOnScreen(HWND hwnd) {
  RECT r{};
  GetClientRect(hwnd, &r);
  MapWindowPoints(hwnd, nullptr, reinterpret_cast<POINT*>(&r), 2);
  return r;
}

class SettingsDpi : public test::Win32SettingsWindow {
 protected:
  RECT Work() {
    MONITORINFO info{};
    info.cbSize = sizeof info;
    GetMonitorInfoW(MonitorFromWindow(app.MainWindow(), MONITOR_DEFAULTTONEAREST), &info);
    return info.rcWork;
  }
  // Each visible window of the page in view, scrolled to, whole in the work
  // area and in the client area of every window it lies in.
  void ExpectEveryControlInReach(const char* page) {
    std::vector<HWND> all;
    EnumChildWindows(app.MainWindow(), Collect, reinterpret_cast<LPARAM>(&all));
    const RECT work = Work();
    int checked = 0;
    for (HWND hwnd : all) {
      if (!IsWindowVisible(hwnd)) continue;
      app.SettingsView()->ScrollIntoView(hwnd);
      app.ProcessMessages();
      RECT r{};
      GetWindowRect(hwnd, &r);
      EXPECT_TRUE(Inside(r, work)) << page << ": " << Describe(hwnd, r) << " is off the work area";
      for (HWND up = GetParent(hwnd); up; up = GetParent(up)) {
        EXPECT_TRUE(Inside(r, ClientOnScreen(up))) << page << ": " << Describe(hwnd, r) << " is cut by "
                                                   << Describe(up, ClientOnScreen(up));
        if (up == app.MainWindow()) break;
      }
      ++checked;
    }
    EXPECT_GT(checked, 25) << page;
  }
  // Tab round the window from the top: each control it reaches is in view.
  void ExpectTabKeepsTheFocusInView(const char* page) {
    HWND body = GetParent(Hwnd(form->GBInfo));
    SendMessageW(body, WM_VSCROLL, SB_TOP, 0);
    app.SettingsView()->FocusFirst();
    for (int i = 0; i < 30; ++i) {
      Press(VK_TAB);
      HWND focus = GetFocus();
      if (!focus || !IsChild(body, focus)) continue;
      RECT r{};
      GetWindowRect(focus, &r);
      EXPECT_TRUE(Inside(r, ClientOnScreen(body))) << page << ": Tab to " << Describe(focus, r);
    }
  }
};

TEST_F(SettingsDpi, TitleBarOnTheScreenAndEveryControlInReach) {
  std::printf("at %d dpi\n", win::Dpi());
  const RECT work = Work();
  RECT window{};
  GetWindowRect(app.MainWindow(), &window);
  EXPECT_TRUE(Inside(window, work)) << Describe(app.MainWindow(), window);
  TITLEBARINFO title{};
  title.cbSize = sizeof title;
  ASSERT_TRUE(GetTitleBarInfo(app.MainWindow(), &title));
  EXPECT_TRUE(Inside(title.rcTitleBar, work)) << "title bar " << Describe(app.MainWindow(), title.rcTitleBar);
  EXPECT_GT(title.rcTitleBar.bottom, title.rcTitleBar.top);

  ExpectEveryControlInReach("Cesty k souborům");
  ExpectTabKeepsTheFocusInView("Cesty k souborům");
  form->PageControlParams.SetActivePageIndex(1);
  app.ProcessMessages();
  ExpectEveryControlInReach("Nastavení");
  ExpectTabKeepsTheFocusInView("Nastavení");

  // Where the layout fits, it is the layout: no scroll bar, the log whole.
  if (work.bottom - work.top >= win::Scale(742)) {
    RECT log{};
    GetWindowRect(Hwnd(form->GBInfo), &log);
    EXPECT_EQ(log.bottom - log.top, win::Scale(110));
    EXPECT_FALSE(GetWindowLongW(GetParent(Hwnd(form->GBInfo)), GWL_STYLE) & WS_VSCROLL);
  }
}

}  // namespace
}  // namespace odb
