// The real settings window driven in-process through its controls' messages:
// what a user's click or pick does must reach the model and come back.
#include "tests/SettingsWindowFixture_win.h"

#include <algorithm>

#include "app/AppTexts.h"
#include "common/FileSystem.h"
#include "common/Utf16_win.h"
#include "frontends/win32/MainWindow.h"
#include "frontends/win32/TimesGrid.h"
#include "frontends/win32/Win32Dialogs.h"
#include "frontends/win32/Win32Texts.h"
#include "frontends/win32/Win32Ui.h"

namespace odb {
namespace {

using test::kIni;
using test::Win32SettingsWindow;

TEST_F(Win32SettingsWindow, OpensOnThePathsTabWithTheLoadedValues) {
  EXPECT_TRUE(IsWindowVisible(app.MainWindow()));
  EXPECT_EQ(win::WindowText(Hwnd(form->EdtServer)), "server1");
  EXPECT_TRUE(IsWindowVisible(app.SettingsView()->PageWindow(TabSheetPaths)));
  EXPECT_FALSE(IsWindowVisible(app.SettingsView()->PageWindow(TabSheetPort)));
  EXPECT_EQ(SendMessageW(Hwnd(form->cbAction), CB_GETCURSEL, 0, 0), 2);
  EXPECT_TRUE(Ticked(form->RBHost));
  EXPECT_TRUE(Ticked(form->cbPo));
  EXPECT_FALSE(Ticked(form->cbPracDny));
}

TEST_F(Win32SettingsWindow, DayBoxClicksCoupleWithTheGroupBoxes) {
  ShowPlanTab();
  ASSERT_EQ(form->PageControlParams.ActivePageIndex(), TabSheetPort);
  EXPECT_TRUE(IsWindowVisible(app.SettingsView()->PageWindow(TabSheetPort)));
  for (const TControl* day : {&form->cbUt, &form->cbCt}) Click(*day);
  EXPECT_FALSE(Ticked(form->cbPracDny));
  Click(form->cbPa);
  EXPECT_TRUE(Ticked(form->cbPracDny)) << "the fifth working day ticks Prac.dny";
  Click(form->cbUt);
  EXPECT_FALSE(Ticked(form->cbPracDny));
  EXPECT_TRUE(Ticked(form->cbPo) && Ticked(form->cbSt) && Ticked(form->cbCt) && Ticked(form->cbPa));
  Click(form->cbPracDny);
  for (const TControl* day : {&form->cbPo, &form->cbUt, &form->cbSt, &form->cbCt, &form->cbPa}) {
    EXPECT_TRUE(Ticked(*day)) << day->Name;
  }
  EXPECT_FALSE(Ticked(form->cbSo) || Ticked(form->cbNe));
  Click(form->cbSo);
  Click(form->cbVikendy);
  EXPECT_TRUE(Ticked(form->cbNe));
  Click(form->cbVikendy);
  EXPECT_FALSE(Ticked(form->cbSo) || Ticked(form->cbNe));
}

TEST_F(Win32SettingsWindow, ServerRadioButtonsGreyAndFreeTheServerName) {
  Click(form->RBLocal);
  EXPECT_EQ(win::WindowText(Hwnd(form->EdtServer)), "localhost");
  EXPECT_FALSE(IsWindowEnabled(Hwnd(form->EdtServer)));
  Click(form->RBHost);
  EXPECT_TRUE(IsWindowEnabled(Hwnd(form->EdtServer)));
  EXPECT_EQ(form->EdtServer.Text(), "localhost");
  SetWindowTextW(Hwnd(form->EdtServer), L"dílna");
  EXPECT_EQ(form->EdtServer.Text(), "dílna") << "typing reaches the model";
}

TEST_F(Win32SettingsWindow, PickingAnActionChangesTheTrayIconAtOnceAndSavesNothing) {
  HWND combo = Hwnd(form->cbAction);
  const int id = GetDlgCtrlID(combo);
  for (const int pick : {1, 2}) {
    SendMessageW(combo, CB_SETCURSEL, pick, 0);
    SendMessageW(app.MainWindow(), WM_COMMAND, MAKEWPARAM(id, CBN_SELCHANGE), reinterpret_cast<LPARAM>(combo));
    EXPECT_EQ(app.TrayEntry.IconIndex, pick);
  }
  EXPECT_EQ(form->EventAction().Name(), "PauseBackup");
  EXPECT_EQ(test::Listing(dir.Path())["odbackup.ini"], kIni);
}

TEST_F(Win32SettingsWindow, SkrytAndEscHideWithoutWritingTheIni) {
  Click(form->BtnCancel);
  EXPECT_FALSE(IsWindowVisible(app.MainWindow()));
  EXPECT_FALSE(form->Visible());
  form->miOpenFormClick();
  ASSERT_TRUE(IsWindowVisible(app.MainWindow()));
  SetFocus(Hwnd(form->EdtPath));
  PostMessageW(Hwnd(form->EdtPath), WM_KEYDOWN, VK_ESCAPE, 0);
  app.ProcessMessages();
  EXPECT_FALSE(form->Visible()) << "Esc presses Skrýt";
  EXPECT_EQ(test::Listing(dir.Path())["odbackup.ini"], kIni);
}

TEST_F(Win32SettingsWindow, KonecAnsweredNeKeepsRunningAndAnoEnds) {
  app.Answers = {TBoxResult::No, TBoxResult::Yes};
  Click(form->SBExit);
  ASSERT_EQ(app.Boxes.size(), 1u);
  EXPECT_EQ(app.Boxes[0].text, msg::ExitQuestion);
  EXPECT_FALSE(app.Terminated());
  EXPECT_TRUE(IsWindowVisible(app.MainWindow()));
  Click(form->SBExit);
  EXPECT_TRUE(app.Terminated());
  MSG quit;
  PeekMessageW(&quit, nullptr, WM_QUIT, WM_QUIT, PM_REMOVE);
}

TEST_F(Win32SettingsWindow, LogViewAppendsLinesAndKeepsTheCaretAtTheEnd) {
  HWND memo = Hwnd(form->MemoFiles);
  EXPECT_EQ(SendMessageW(memo, EM_GETLIMITTEXT, 0, 0), 0x7FFFFFFE);
  form->MemoFiles.SetText("první\r\ndruhý\r\n");
  form->MemoFiles.AddLine("třetí");
  form->MemoFiles.AddLine("čtvrtý");
  app.ProcessMessages();  // appended lines reach the EDIT together at the next pump
  EXPECT_EQ(win::WindowText(memo), "první\r\ndruhý\r\ntřetí\r\nčtvrtý\r\n");
  DWORD start = 0, end = 0;
  form->MemoFiles.SetText("jen tohle");
  SendMessageW(memo, EM_GETSEL, reinterpret_cast<WPARAM>(&start), reinterpret_cast<LPARAM>(&end));
  EXPECT_EQ(win::WindowText(memo), "jen tohle\r\n");
  EXPECT_EQ(end, static_cast<DWORD>(GetWindowTextLengthW(memo)));
  EXPECT_EQ(start, end);
}

TEST_F(Win32SettingsWindow, LogViewLinesStreamingInReachTheEditAtMostTenTimesASecond) {
  HWND memo = Hwnd(form->MemoFiles);
  form->MemoFiles.SetText("");
  form->MemoFiles.AddLine("1");
  app.ProcessMessages();
  const DWORD updated = GetTickCount();
  ASSERT_EQ(win::WindowText(memo), "1\r\n");
  for (const char* line : {"2", "3"}) {
    form->MemoFiles.AddLine(line);
    app.ProcessMessages();
  }
  if (GetTickCount() - updated < 90) {
    EXPECT_EQ(win::WindowText(memo), "1\r\n") << "updated again at once";
  }
  for (int i = 0; i < 50 && win::WindowText(memo).size() < 9; ++i) {
    Sleep(10);
    app.ProcessMessages();
  }
  EXPECT_EQ(win::WindowText(memo), "1\r\n2\r\n3\r\n") << "the waiting lines never came";
}

TEST_F(Win32SettingsWindow, LogViewTakesABurstInPartsWithMessagesBetween) {
  HWND memo = Hwnd(form->MemoFiles);
  form->MemoFiles.SetText("");
  std::string all;
  for (int i = 1; i <= 1000; ++i) {
    form->MemoFiles.AddLine(std::to_string(i));
    all += std::to_string(i) + "\r\n";
  }
  struct Probe : IMessageTarget {
    HWND memo = nullptr;
    std::string seen;
    void HandleMessage(unsigned, intptr_t, intptr_t) override { seen = win::WindowText(memo); }
  } probe;
  probe.memo = memo;
  app.PostMessage(probe, WM_NULL_MSG, 0, 0);
  app.ProcessMessages();
  EXPECT_EQ(std::count(probe.seen.begin(), probe.seen.end(), '\n'), 200) << "a message waited for the whole burst";
  EXPECT_EQ(win::WindowText(memo), all);
}

std::vector<std::string> GridTimes(HWND list) {
  std::vector<std::string> times;
  const int rows = static_cast<int>(SendMessageW(list, LVM_GETITEMCOUNT, 0, 0));
  for (int row = 0; row < rows; ++row) {
    wchar_t text[32] = L"";
    LVITEMW item{};
    item.iSubItem = 2;
    item.pszText = text;
    item.cchTextMax = 32;
    SendMessageW(list, LVM_GETITEMTEXTW, static_cast<WPARAM>(row), reinterpret_cast<LPARAM>(&item));
    times.push_back(Narrow(text));
  }
  return times;
}

TEST_F(Win32SettingsWindow, GridAddsEditsRefusesAndDeletesTimes) {
  ShowPlanTab();
  TTimesGrid& grid = app.SettingsView()->Grid();
  HWND list = grid.Handle();
  EXPECT_EQ(GridTimes(list), (std::vector<std::string>{"12:00:00", "18:00:00"}));
  SendMessageW(list, WM_KEYDOWN, VK_INSERT, 0);
  ASSERT_TRUE(grid.Editing());
  SetWindowTextW(grid.Editor(), L"7:30");
  SendMessageW(grid.Editor(), WM_KEYDOWN, VK_RETURN, 0);
  EXPECT_EQ(GridTimes(list), (std::vector<std::string>{"07:30:00", "12:00:00", "18:00:00"}));

  SendMessageW(list, WM_KEYDOWN, VK_RETURN, 0);
  SetWindowTextW(grid.Editor(), L"25:00");
  SendMessageW(grid.Editor(), WM_KEYDOWN, VK_RETURN, 0);
  ASSERT_EQ(app.Boxes.size(), 1u);
  EXPECT_NE(app.Boxes[0].text.find("'25:00' is not a valid time"), std::string::npos);
  EXPECT_TRUE(grid.Editing()) << "the refused time stays in editing";
  SendMessageW(grid.Editor(), WM_KEYDOWN, VK_ESCAPE, 0);
  EXPECT_EQ(data->MemTimes.RecordCount(), 3);

  BYTE keys[256]{};
  GetKeyboardState(keys);
  keys[VK_CONTROL] = 0x80;
  SetKeyboardState(keys);
  app.Answers = {TBoxResult::Cancel, TBoxResult::Ok};
  SendMessageW(list, WM_KEYDOWN, VK_DELETE, 0);
  EXPECT_EQ(data->MemTimes.RecordCount(), 3);
  SendMessageW(list, WM_KEYDOWN, VK_DELETE, 0);
  keys[VK_CONTROL] = 0;
  SetKeyboardState(keys);
  EXPECT_EQ(app.Boxes.back().text, msg::DeleteRecord);
  EXPECT_EQ(app.Boxes.back().buttons, TBoxButtons::OkCancel);
  EXPECT_EQ(GridTimes(list).size(), 2u);
}

TEST(Win32Dialogs, FilterBarsBecomeNulsWithADoubleEnd) {
  EXPECT_EQ(win::OpenDialogFilter("Log (*.log)|*.log|Vše|*.*"),
            std::wstring(L"Log (*.log)\0*.log\0Vše\0*.*\0\0", 27));
}

TEST(Win32Dialogs, TypedFolderIsTakenAgainstTheSelectedOne) {
  const struct {
    const char* typed;
    const char* selected;
    const char* folder;
  } cases[] = {
      {"D:\\Zálohy\\nová", "C:\\x", "D:\\Zálohy\\nová"},
      {"nová", "C:\\Zálohy", "C:\\Zálohy\\nová"},
      {"nová", "C:\\", "C:\\nová"},
      {"\\\\server\\share", "C:\\x", "\\\\server\\share"},
      {"nová  ", "", "nová"},
  };
  for (const auto& c : cases) EXPECT_EQ(win::TypedFolder(c.typed, c.selected), c.folder) << c.typed;
}

}  // namespace
}  // namespace odb
