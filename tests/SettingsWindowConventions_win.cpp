// The settings window by the conventions of a Windows program: Esc, the Tab
// order and Ctrl+Tab, being brought to the front from the tray, the taskbar
// button, and error boxes that stay in front of it.
#include "tests/SettingsWindowFixture_win.h"

#include <string>
#include <vector>

#include "ModalDriver_win.h"
#include "common/Utf16_win.h"
#include "frontends/win32/Win32Ui.h"

namespace odb {
namespace {

using test::Win32SettingsWindow;

HWND RootAt(POINT point) { return GetAncestor(WindowFromPoint(point), GA_ROOT); }

POINT Centre(HWND hwnd) {
  RECT r{};
  GetWindowRect(hwnd, &r);
  return {(r.left + r.right) / 2, (r.top + r.bottom) / 2};
}

// The windows Windows gives a taskbar button: visible, and unowned and no tool
// window, or marked as an application window.
// Enumeration procedures are CALLBACK functions, not lambdas: the calling
// convention differs on 32-bit.
BOOL CALLBACK AddTaskbarButton(HWND hwnd, LPARAM out) {
  const LONG_PTR ex = GetWindowLongPtrW(hwnd, GWL_EXSTYLE);
  const bool button = (ex & WS_EX_APPWINDOW) || (!GetWindow(hwnd, GW_OWNER) && !(ex & WS_EX_TOOLWINDOW));
  if (IsWindowVisible(hwnd) && button) {
    reinterpret_cast<std::vector<std::string>*>(out)->push_back(win::WindowText(hwnd));
  }
  return TRUE;
}

std::vector<std::string> TaskbarButtons() {
  std::vector<std::string> texts;
  EnumThreadWindows(GetCurrentThreadId(), AddTaskbarButton, reinterpret_cast<LPARAM>(&texts));
  return texts;
}

// The last visible dialog box of the thread.
BOOL CALLBACK TakeVisibleDialog(HWND hwnd, LPARAM out) {
  wchar_t cls[16] = L"";
  GetClassNameW(hwnd, cls, 16);
  if (std::wstring(cls) == L"#32770" && IsWindowVisible(hwnd)) *reinterpret_cast<HWND*>(out) = hwnd;
  return TRUE;
}

TEST_F(Win32SettingsWindow, EscInTheLogViewHidesTheWindowAndDestroysNothing) {
  HWND memo = Hwnd(form->MemoFiles);
  HWND group = Hwnd(form->GBInfo);
  SetFocus(memo);
  ASSERT_EQ(GetFocus(), memo);
  Press(VK_ESCAPE);
  EXPECT_TRUE(IsWindow(group) && IsWindow(memo)) << "the log group box was destroyed";
  EXPECT_FALSE(form->Visible()) << "Esc acts as Skrýt";
  EXPECT_FALSE(IsWindowVisible(app.MainWindow()));

  // A close request reaching a panel or group box directly changes nothing.
  form->miOpenFormClick();
  for (const TControl* panel : {&form->GBInfo, &form->GBData, &form->PnlBody, &form->PnlBottom}) {
    SendMessageW(Hwnd(*panel), WM_CLOSE, 0, 0);
    app.ProcessMessages();
    EXPECT_TRUE(IsWindow(Hwnd(*panel))) << panel->Name;
  }
  EXPECT_TRUE(form->Visible());
  EXPECT_FALSE(app.Terminated());
}

TEST_F(Win32SettingsWindow, TabWalksTopToBottomThenTheButtonsOnEitherPage) {
  // Of the two server buttons the selected one is the stop, as in a dialog.
  const std::vector<const TControl*> head = {&form->RBHost, &form->EdtServer,
                                             &form->EdtPath, &form->CB_RunMinimalized,
                                             &form->CB_ClearLog, &form->PageControlParams};
  const std::vector<const TControl*> tail = {&form->MemoFiles, &form->BtnOK, &form->BtnCancel};
  const std::vector<std::vector<const TControl*>> pages = {
      {&form->EdtBackupPath, &form->sedtBackupCount, &form->CBLogActivity, &form->EdtLogFilePath,
       &form->CBVerifyBackup, &form->EdtMirrorPath, &form->sedtMirrorCount},
      {&form->cbAction, &form->cbPo, &form->cbUt, &form->cbSt, &form->cbCt, &form->cbPa,
       &form->cbSo, &form->cbNe, &form->cbPracDny, &form->cbVikendy, &form->grdTimes}};
  for (int page : {TabSheetPaths, TabSheetPort}) {
    SCOPED_TRACE(testing::Message() << "page " << page);
    if (page == TabSheetPort) ShowPlanTab();
    std::vector<const TControl*> order = head;
    order.insert(order.end(), pages[static_cast<size_t>(page)].begin(), pages[static_cast<size_t>(page)].end());
    order.insert(order.end(), tail.begin(), tail.end());
    SetFocus(Hwnd(*order.front()));
    for (size_t step = 1; step <= order.size(); ++step) {
      Press(VK_TAB);
      const TControl& expected = *order[step % order.size()];
      EXPECT_EQ(GetFocus(), Hwnd(expected)) << "Tab should reach " << expected.Name;
      SetFocus(Hwnd(expected));
    }
    for (size_t step = order.size(); step-- > 0;) {
      Press(VK_TAB, {VK_SHIFT});
      const TControl& expected = *order[step];
      EXPECT_EQ(GetFocus(), Hwnd(expected)) << "Shift+Tab should reach " << expected.Name;
      SetFocus(Hwnd(expected));
    }
  }
  EXPECT_TRUE(Ticked(form->RBHost)) << "walking with Tab changes no setting";
  EXPECT_EQ(form->EdtServer.Text(), "server1");
}

TEST_F(Win32SettingsWindow, ArrowsMoveBetweenTheServerButtons) {
  SetFocus(Hwnd(form->RBHost));
  Press(VK_LEFT);
  EXPECT_EQ(GetFocus(), Hwnd(form->RBLocal));
  EXPECT_TRUE(Ticked(form->RBLocal));
  EXPECT_EQ(form->EdtServer.Text(), "localhost") << "as a click on Na tomto počítači";
  Press(VK_RIGHT);
  EXPECT_EQ(GetFocus(), Hwnd(form->RBHost));
  EXPECT_TRUE(Ticked(form->RBHost));
  EXPECT_TRUE(IsWindowEnabled(Hwnd(form->EdtServer)));
}

TEST_F(Win32SettingsWindow, CtrlTabSwitchesThePagesFromAnywhere) {
  SetFocus(Hwnd(form->EdtBackupPath));
  Press(VK_TAB, {VK_CONTROL});
  EXPECT_EQ(form->PageControlParams.ActivePageIndex(), TabSheetPort);
  EXPECT_TRUE(IsWindowVisible(app.SettingsView()->PageWindow(TabSheetPort)));
  EXPECT_TRUE(IsWindowVisible(GetFocus())) << "the focus left the page that was hidden";
  SetFocus(Hwnd(form->MemoFiles));
  Press(VK_TAB, {VK_CONTROL});
  EXPECT_EQ(form->PageControlParams.ActivePageIndex(), TabSheetPaths);
  EXPECT_EQ(GetFocus(), Hwnd(form->MemoFiles)) << "Ctrl+Tab stays out of the log view's text";
  EXPECT_EQ(win::WindowText(Hwnd(form->MemoFiles)).find('\t'), std::string::npos);
  Press(VK_TAB, {VK_CONTROL, VK_SHIFT});
  EXPECT_EQ(form->PageControlParams.ActivePageIndex(), TabSheetPort);
}

TEST_F(Win32SettingsWindow, OpenFromTheTrayBringsACoveredWindowToTheFront) {
  HWND main = app.MainWindow();
  SetWindowPos(main, nullptr, 20, 10, 0, 0, SWP_NOSIZE | SWP_NOZORDER);
  RECT before{};
  GetWindowRect(main, &before);
  struct TCover {
    HWND hwnd;
    ~TCover() { DestroyWindow(hwnd); }
  // SS_NOTIFY: a plain static lets WindowFromPoint look through it.
  } const covering{CreateWindowExW(0, L"STATIC", L"cover", WS_POPUP | WS_VISIBLE | SS_NOTIFY, before.left,
                                   before.top, before.right - before.left, before.bottom - before.top,
                                   nullptr, nullptr, GetModuleHandleW(nullptr), nullptr)};
  HWND cover = covering.hwnd;
  SetForegroundWindow(cover);
  app.ProcessMessages();
  ASSERT_EQ(RootAt(Centre(main)), cover);

  app.MenuPick = TTrayCommand::OpenForm;
  SendMessageW(main, WM_TRAYNOTIFY, 0, WM_RBUTTONDOWN);
  app.ProcessMessages();
  EXPECT_EQ(RootAt(Centre(main)), main) << "the settings window is still covered";
  EXPECT_EQ(GetForegroundWindow(), main);
  RECT after{};
  GetWindowRect(main, &after);
  EXPECT_EQ(after.left, before.left) << "a shown window is not centred again";
  EXPECT_EQ(after.top, before.top);

  SendMessageW(main, WM_SYSCOMMAND, SC_MINIMIZE, 0);
  app.ProcessMessages();
  SendMessageW(main, WM_TRAYNOTIFY, 0, WM_RBUTTONDOWN);
  app.ProcessMessages();
  EXPECT_FALSE(IsIconic(main));
  EXPECT_TRUE(IsWindowVisible(main));
  EXPECT_EQ(RootAt(Centre(main)), main) << "restored from the minimised state";
}

TEST_F(Win32SettingsWindow, TheTaskbarButtonReadsTheApplicationTitle) {
  EXPECT_EQ(win::WindowText(app.MainWindow()), "Ordava - parametry zálohování");
  EXPECT_EQ(TaskbarButtons(), std::vector<std::string>{"Samostatné zálohování dat"});
  Click(form->BtnCancel);
  EXPECT_EQ(TaskbarButtons(), std::vector<std::string>{}) << "hidden, only the tray entry is left";
  form->miOpenFormClick();
  EXPECT_EQ(TaskbarButtons(), std::vector<std::string>{"Samostatné zálohování dat"});
}

// A catch-up that fails while the window is shown: its box stays in front of
// the window, and the ticks that come while it is open show no second one.
class CatchUpWithTheWindowShown : public Win32SettingsWindow {
 protected:
  std::string Ini() const override {
    // With logging on the backup reads the server's output, so the failure
    // comes back as an error.
    return "[OrdavaDB]\r\nLogFileName=" + test::Utf8(dir.Path() / "odbackup.log") +
           "\r\n[Backups]\r\nBackupPath=" + test::Utf8(dir.Path()) +
           "\r\nBackupCount=2\r\nLastRun=01.03.2024 18:00:00\r\n"
           "[Settings]\r\nLogToFile=A\r\nEventAction=BackupOnTimer\r\nDays=1,2,3,4,5,6,7\r\n"
           "EventCountTimes=1\r\nTime_1=18:00:00\r\n";
  }
};

TEST_F(CatchUpWithTheWindowShown, FailureBoxStaysInFrontAndDoesNotStack) {
  client.fail_attach = true;
  app.RealBoxes = true;
  HWND main = app.MainWindow();
  HWND box = nullptr, owner = nullptr, atBox = nullptr;
  size_t boxesDuringTicks = 0;
  test::DuringModalSteps(
      {[&] {
         EnumThreadWindows(GetCurrentThreadId(), TakeVisibleDialog, reinterpret_cast<LPARAM>(&box));
         ASSERT_NE(box, nullptr);
         owner = GetWindow(box, GW_OWNER);
         atBox = RootAt(Centre(box));
         for (int tick = 0; tick < 3; ++tick) form->TimerTS.OnTimer();
         boxesDuringTicks = app.Boxes.size();
         SendMessageW(box, WM_COMMAND, IDOK, 0);
       }},
      [&] {
        form->TimerTS.OnTimer();  // finds the missed instant
        form->TimerTS.OnTimer();  // the catch-up fails
      },
      [&] {
        if (box) EndDialog(box, IDOK);
      });
  ASSERT_EQ(app.Boxes.size(), 1u);
  EXPECT_EQ(owner, main);
  EXPECT_EQ(atBox, box) << "the box is behind something";
  EXPECT_EQ(boxesDuringTicks, 1u) << "a tick during the open box showed another";
  EXPECT_TRUE(IsWindowVisible(main));
}

}  // namespace
}  // namespace odb
