#pragma once
// The real settings window over a model loaded from a test configuration,
// driven in-process through the messages a user's keys and clicks produce.
#include "frontends/win32/Win32Application.h"

#include <commctrl.h>

#include <gtest/gtest.h>

#include <deque>
#include <memory>
#include <string>
#include <vector>

#include "app/AppTexts.h"
#include "app/ODBackupDB.h"
#include "frontends/headless/HeadlessApplication.h"
#include "frontends/win32/SettingsView.h"
#include "tests/FormFixture.h"
#include "tests/TempDir.h"

namespace odb::test {

// Boxes are answered from a script (or shown for real), the tray is a
// stand-in and the tray menu picks what the test says.
class TTestApplication final : public TWin32Application {
 public:
  TTestApplication() : TWin32Application(GetModuleHandleW(nullptr)) {}
  TBoxResult ShowMessageBox(const TMessageBox& box) override {
    Boxes.push_back(box);
    if (RealBoxes) return TWin32Application::ShowMessageBox(box);
    if (Answers.empty()) return box.buttons == TBoxButtons::Ok ? TBoxResult::Ok : TBoxResult::No;
    const TBoxResult answer = Answers.front();
    Answers.pop_front();
    return answer;
  }
  ITrayEntry& Tray() override { return TrayEntry; }
  TTrayCommand TrackTrayMenu(TForm&) override { return MenuPick; }
  void ProcessMessages() override {
    ++Pumps;
    TWin32Application::ProcessMessages();
  }

  std::vector<TMessageBox> Boxes;
  std::deque<TBoxResult> Answers;
  bool RealBoxes = false;
  TTrayCommand MenuPick = TTrayCommand::None;
  int Pumps = 0;
  THeadlessTray TrayEntry;
};

inline constexpr const char* kIni =
    "[OrdavaDB]\r\nLocalHost=N\r\nServerName=server1\r\n"
    "[Settings]\r\nEventAction=PauseBackup\r\nDays=1,3\r\nEventCountTimes=2\r\n"
    "Time_1=18:00:00\r\nTime_2=12:00:00\r\n";

// Modifier keys as the dialog manager and the controls read them.
inline void HoldKeys(std::initializer_list<int> keys, bool down) {
  BYTE state[256]{};
  GetKeyboardState(state);
  for (int key : keys) state[key] = down ? 0x80 : 0;
  SetKeyboardState(state);
}

class Win32SettingsWindow : public ::testing::Test {
 protected:
  virtual std::string Ini() const { return kIni; }
  void SetUp() override { Open(Ini()); }
  // The window over this configuration, shown.
  void Open(const std::string& ini) {
    test::Put(dir.Path(), "odbackup.ini", ini);
    app.SetTitle(std::string(msg::AppTitle));
    data = std::make_unique<TDataODBackup>(client);
    form = std::make_unique<TFrmODBackupDB>(app, *data, dir / "odbackup.exe");
    app.AttachMainForm(*form);
    form->Show();
    app.ProcessMessages();
  }
  void TearDown() override {
    HoldKeys({VK_SHIFT, VK_CONTROL}, false);
    if (!form) return;
    app.DetachMainForm();
    form->FormDestroy();
  }
  HWND Hwnd(const TControl& control) { return app.SettingsView()->WindowOf(control); }
  void Click(const TControl& control) {
    SendMessageW(Hwnd(control), BM_CLICK, 0, 0);
    app.ProcessMessages();
  }
  bool Ticked(const TControl& control) {
    return SendMessageW(Hwnd(control), BM_GETCHECK, 0, 0) == BST_CHECKED;
  }
  // A key pressed and released on the focused control, through the loop.
  void Press(WPARAM key, std::initializer_list<int> modifiers = {}) {
    HoldKeys(modifiers, true);
    HWND target = GetFocus() ? GetFocus() : app.MainWindow();
    PostMessageW(target, WM_KEYDOWN, key, 1);
    PostMessageW(target, WM_KEYUP, key, 0xC0000001);
    app.ProcessMessages();
    HoldKeys(modifiers, false);
  }
  void ShowPlanTab() {
    HWND tab = Hwnd(form->PageControlParams);
    RECT second{};
    SendMessageW(tab, TCM_GETITEMRECT, 1, reinterpret_cast<LPARAM>(&second));
    const LPARAM at = MAKELPARAM((second.left + second.right) / 2, (second.top + second.bottom) / 2);
    SendMessageW(tab, WM_LBUTTONDOWN, MK_LBUTTON, at);
    SendMessageW(tab, WM_LBUTTONUP, 0, at);
    app.ProcessMessages();
  }

  test::TempDir dir;
  TTestApplication app;
  test::HookedFbClient client;
  std::unique_ptr<TDataODBackup> data;
  std::unique_ptr<TFrmODBackupDB> form;
};

}  // namespace odb::test
