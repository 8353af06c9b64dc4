// The status strip through the real settings window under Wine: its text after
// a good backup, after a failed one and with the plan paused, and the balloon
// record the tray entry hands the shell. With ODB_SCREENSHOT_DIR set, each
// state is also held on the screen for scripts/screenshots.sh.
#include <gtest/gtest.h>

#include <memory>

#include "common/FileSystem.h"
#include "common/Utf16_win.h"
#include "frontends/win32/TrayEntry.h"
#include "frontends/win32/Win32Ui.h"
#include "tests/ScreenshotHold_win.h"
#include "tests/SettingsWindowFixture_win.h"

namespace odb {
namespace {

// Each test opens the window over a configuration of its own.
class StatusStripWindow : public test::Win32SettingsWindow {
 protected:
  void SetUp() override {}
  void Start(const std::string& action) {
    // The fake server writes its backups only into a folder that exists.
    fs::CreateDirectories(dir / "zalohy");
    Open("[OrdavaDB]\r\nLocalHost=A\r\nDatabaseName=C:\\Data\\Ordava.fdb\r\nLogFileName=" + (dir / "odbackup.log") +
         "\r\n[Backups]\r\nBackupPath=" + (dir / "zalohy") +
         "\r\nBackupCount=2\r\nLastRun=01.12.2026 18:00:00\r\n[Settings]\r\nLogToFile=A\r\n"
         "ClearLog=A\r\nEventAction=" + action + "\r\nDays=1,2,3,4,5,6,7\r\nEventCountTimes=1\r\nTime_1=18:00:00\r\n");
  }
  void ClickOk() { Click(form->BtnOK); }
  std::string StripText() { return win::WindowText(Hwnd(form->LaStatus)); }
  // Every row as drawn fits the strip's width, all of them its height; true
  // when a row had to be cut.
  bool ExpectStripFits() {
    bool cut = false;
    const std::vector<std::wstring> rows = app.SettingsView()->StripLinesShown(&cut);
    HWND strip = Hwnd(form->LaStatus);
    RECT rc{};
    GetClientRect(strip, &rc);
    HDC dc = GetDC(strip);
    HGDIOBJ old = SelectObject(dc, win::WindowFont());
    TEXTMETRICW tm{};
    GetTextMetricsW(dc, &tm);
    for (const std::wstring& row : rows) {
      SIZE size{};
      GetTextExtentPoint32W(dc, row.c_str(), static_cast<int>(row.size()), &size);
      EXPECT_LE(size.cx, rc.right) << Narrow(row);
    }
    EXPECT_LE(static_cast<int>(rows.size()) * tm.tmHeight, rc.bottom) << rows.size() << " rows";
    SelectObject(dc, old);
    ReleaseDC(strip, dc);
    return cut;
  }
  // Shows the window again after OK hid it, and holds it for its picture when asked to.
  void Photograph(const std::string& name) {
    form->Show();
    app.ProcessMessages();
    if (!test::ScreenshotDir().empty()) test::HoldWhilePumping(name, app.MainWindow());
  }
};

TEST_F(StatusStripWindow, AfterAGoodBackup) {
  Start("OnceBackup");
  EXPECT_EQ(StripText().rfind("Poslední záloha: 01.12.2026 18:00:00\r\nPříští záloha: ", 0), 0u) << StripText();
  client.replies = {test::FakeFbClient::Line("gbak: done"), test::FakeFbClient::Line("")};
  ClickOk();
  ASSERT_TRUE(app.Boxes.empty()) << app.Boxes[0].text;
  const std::string text = StripText();
  EXPECT_EQ(text.rfind("Poslední záloha: " + FormatDateTime(form->Settings().Live.LastRun) + "\r\nPříští záloha: ", 0), 0u) << text;
  EXPECT_EQ(text.find("selhal"), std::string::npos);
  EXPECT_EQ(form->LaStatus.FontColor(), clWindowText);
  EXPECT_FALSE(ExpectStripFits());
  EXPECT_EQ(app.SettingsView()->StripTip(), L"") << "rows shown whole need no tip";
  Photograph("status-success");
}

TEST_F(StatusStripWindow, AfterAFailedBackupInTheWarningColour) {
  Start("OnceBackup");
  client.fail_query = true;
  // Longer than the strip is wide: it once wrapped into the group box below.
  const std::string error = "cannot open backup file C:\\Zalohy\\Ordava\\Denni zalohy databaze\\ODBackup_1.fbk";
  client.messages = {error, "Exiting before completion due to errors"};
  ClickOk();
  ASSERT_EQ(app.Boxes.size(), 1u);
  const std::string text = StripText();
  EXPECT_EQ(text.rfind("Poslední záloha: 01.12.2026 18:00:00\r\nPříští záloha: ", 0), 0u) << text;
  EXPECT_NE(text.find("\r\nPoslední pokus selhal: "), std::string::npos) << text;
  EXPECT_NE(text.find("\r\n" + error), std::string::npos) << text;
  EXPECT_NE(form->LaStatus.FontColor(), clWindowText);
  ASSERT_FALSE(app.TrayEntry.Balloons.empty());
  EXPECT_EQ(app.TrayEntry.Balloons.back(), "Záloha selhala: " + error);
  EXPECT_TRUE(ExpectStripFits());
  const std::vector<std::wstring> rows = app.SettingsView()->StripLinesShown();
  ASSERT_EQ(rows.size(), 4u);
  EXPECT_EQ(rows[3].back(), L'\u2026') << Narrow(rows[3]);
  EXPECT_EQ(rows[3].substr(0, 10), Widen(error).substr(0, 10));
  EXPECT_EQ(app.SettingsView()->StripTip(), Widen(text)) << "the whole text in the tip";
  Photograph("status-failure");
}

TEST_F(StatusStripWindow, WithThePlanPaused) {
  Start("PauseBackup");
  EXPECT_EQ(StripText(), "Poslední záloha: 01.12.2026 18:00:00\r\nZálohy pozastaveny");
  EXPECT_FALSE(ExpectStripFits());
  Photograph("status-paused");
}

// A verbose backup's output of lines that differ, and its end line.
void ScriptLines(test::FakeFbClient& client, int lines) {
  for (int i = 1; i <= lines; ++i) client.replies.push_back(test::FakeFbClient::Line("gbak: line " + std::to_string(i)));
  client.replies.push_back(test::FakeFbClient::Line(""));
}

TEST_F(StatusStripWindow, DuringABackupStartedByOk) {
  Start("OnceBackup");
  ScriptLines(client, 3000);
  // The output is read on a thread of its own: it asks the window for the
  // strip's text as another program would, while the server takes its time.
  std::vector<std::string> seen;
  DWORD slowest = 0;
  int queries = 0;
  client.BeforeQuery = [&] {
    if (++queries % 500 != 0) return;
    Sleep(300);
    wchar_t text[512] = L"";
    const DWORD asked = GetTickCount();
    DWORD_PTR length = 0;
    SendMessageTimeoutW(Hwnd(form->LaStatus), WM_GETTEXT, 512, reinterpret_cast<LPARAM>(text), SMTO_NORMAL, 5000,
                        &length);
    slowest = std::max(slowest, GetTickCount() - asked);
    const std::string strip = Narrow(text);
    seen.push_back(strip.substr(strip.find("\r\n") + 2));
  };
  ClickOk();
  ASSERT_TRUE(app.Boxes.empty()) << app.Boxes[0].text;
  ASSERT_EQ(seen.size(), 6u);
  for (const std::string& line : seen) EXPECT_EQ(line.rfind("Probíhá záloha…", 0), 0u) << line;
  EXPECT_EQ(seen.back().rfind("Probíhá záloha… řádek ", 0), 0u) << seen.back();
  EXPECT_LT(slowest, 1000u) << "the window did not answer during the backup";
  EXPECT_EQ(StripText().find("Probíhá"), std::string::npos) << StripText();
  EXPECT_EQ(app.TrayEntry.Tip, "Ordava backup client.");
}

TEST_F(StatusStripWindow, EveryOutputLineReachesTheLogViewInOrder) {
  Start("OnceBackup");
  // Hidden, so the log entry at the end leaves the output in the view.
  form->Hide();
  app.ProcessMessages();
  ScriptLines(client, 5000);
  std::string expected;
  for (int i = 1; i <= 5000; ++i) expected += "gbak: line " + std::to_string(i) + "\r\n";
  expected += "\r\n";
  form->RunBackup();
  HWND memo = Hwnd(form->MemoFiles);
  // The last lines wait for the view's next update, a tenth of a second at most.
  for (int i = 0; i < 100 && win::WindowText(memo).size() < expected.size(); ++i) {
    Sleep(10);
    app.ProcessMessages();
  }
  EXPECT_EQ(win::WindowText(memo), expected);
  const std::string log = Cp1250ToUtf8(fs::ReadFile(dir / "odbackup.log").value_or(""));
  EXPECT_NE(log.find("Záloha byla provedena: " + FormatDateTime(form->Settings().Live.LastRun)), std::string::npos) << log;
}

TEST_F(StatusStripWindow, ClosedDuringABackupItEndsTheBackupWithoutSpinning) {
  Start("OnceBackup");
  ScriptLines(client, 3000);
  int queries = 0;
  client.BeforeQuery = [&] {
    ++queries;
    if (queries == 100) PostMessageW(app.MainWindow(), WM_CLOSE, 0, 0);
    if (queries == 200) Sleep(500);  // the server takes its time
  };
  form->RunBackup();
  EXPECT_TRUE(app.Terminated());
  EXPECT_EQ(queries, 3001);
  const std::string log = Cp1250ToUtf8(fs::ReadFile(dir / "odbackup.log").value_or(""));
  EXPECT_NE(log.find("Záloha byla provedena: "), std::string::npos) << "the backup was made all the same";
  // A pump every tenth line and every 10 ms of waiting: the quit waiting for
  // the outer loop must not end every wait at once.
  EXPECT_LT(app.Pumps, 1000) << app.Pumps;
  MSG quit;
  PeekMessageW(&quit, nullptr, WM_QUIT, WM_QUIT, PM_REMOVE);
}

TEST(StatusBalloon, GoesToTheShellAsAWarningBalloon) {
  std::vector<std::pair<DWORD, NOTIFYICONDATAW>> calls;
  TWin32TrayEntry entry(nullptr, GetModuleHandleW(nullptr), [&](DWORD message, NOTIFYICONDATAW& data) {
    calls.emplace_back(message, data);
    return TRUE;
  });
  entry.ShowBalloon("Samostatné zálohování dat", "Zálohy nejsou aktuální: nic");
  EXPECT_TRUE(calls.empty()) << "no entry, no balloon";
  entry.Add(1, 1, "Ordava backup client.");
  entry.ShowBalloon("Samostatné zálohování dat", "Zálohy nejsou aktuální: nic");
  ASSERT_EQ(calls.size(), 2u);
  const auto& [message, data] = calls[1];
  EXPECT_EQ(message, static_cast<DWORD>(NIM_MODIFY));
  EXPECT_EQ(data.uFlags, static_cast<UINT>(NIF_INFO));
  EXPECT_EQ(data.dwInfoFlags, static_cast<DWORD>(NIIF_WARNING));
  EXPECT_EQ(std::wstring(data.szInfoTitle), L"Samostatné zálohování dat");
  EXPECT_EQ(std::wstring(data.szInfo), L"Zálohy nejsou aktuální: nic");
  entry.HideBalloon();
  ASSERT_EQ(calls.size(), 3u);
  EXPECT_EQ(calls[2].first, static_cast<DWORD>(NIM_MODIFY));
  EXPECT_EQ(calls[2].second.uFlags, static_cast<UINT>(NIF_INFO));
  EXPECT_EQ(std::wstring(calls[2].second.szInfo), L"") << "an empty text takes the balloon down";
  entry.Delete();
}

}  // namespace
}  // namespace odb
