// The status strip through the real settings window under Wine: its text after
// a good backup, after a failed one and with the plan paused, and the balloon
// record the tray entry hands the shell. With ODB_SCREENSHOT_DIR set, each
// state is also saved as NAME.bmp for scripts/screenshots-status.sh.
#include <gtest/gtest.h>

#include <cstdlib>
#include <fstream>
#include <memory>

#include "app/AppTexts.h"
#include "app/ODBackupDB.h"
#include "common/FileSystem.h"
#include "common/Utf16_win.h"
#include "platform/headless/HeadlessApplication.h"
#include "platform/win32/SettingsView.h"
#include "platform/win32/TrayEntry.h"
#include "platform/win32/Win32Application.h"
#include "platform/win32/Win32Ui.h"
#include "tests/FakeFbClient.h"
#include "tests/TempDir.h"

namespace odb {
namespace {

class TStripApplication final : public TWin32Application {
 public:
  TStripApplication() : TWin32Application(GetModuleHandleW(nullptr)) {}
  TBoxResult ShowMessageBox(const TMessageBox& box) override {
    Boxes.push_back(box);
    return TBoxResult::Ok;
  }
  ITrayEntry& Tray() override { return TrayEntry; }
  TTrayCommand TrackTrayMenu(TForm&) override { return TTrayCommand::None; }
  std::vector<TMessageBox> Boxes;
  THeadlessTray TrayEntry;
};

// The window as it is on the screen, as a 24-bit BMP.
void SaveWindowBmp(HWND hwnd, const std::string& path) {
  RECT r{};
  GetWindowRect(hwnd, &r);
  const int w = r.right - r.left, h = r.bottom - r.top;
  HDC screen = GetDC(nullptr);
  HDC memory = CreateCompatibleDC(screen);
  HBITMAP bitmap = CreateCompatibleBitmap(screen, w, h);
  HGDIOBJ old = SelectObject(memory, bitmap);
  BitBlt(memory, 0, 0, w, h, screen, r.left, r.top, SRCCOPY);
  SelectObject(memory, old);
  BITMAPINFOHEADER info{sizeof info, w, h, 1, 24, BI_RGB, 0, 0, 0, 0, 0};
  const int stride = (w * 3 + 3) & ~3;
  std::string pixels(static_cast<size_t>(stride) * h, '\0');
  GetDIBits(memory, bitmap, 0, h, pixels.data(), reinterpret_cast<BITMAPINFO*>(&info), DIB_RGB_COLORS);
  BITMAPFILEHEADER file{0x4D42, static_cast<DWORD>(sizeof(BITMAPFILEHEADER) + sizeof info + pixels.size()), 0, 0,
                        sizeof(BITMAPFILEHEADER) + sizeof info};
  std::ofstream out(path, std::ios::binary);
  out.write(reinterpret_cast<const char*>(&file), sizeof file);
  out.write(reinterpret_cast<const char*>(&info), sizeof info);
  out.write(pixels.data(), static_cast<std::streamsize>(pixels.size()));
  DeleteObject(bitmap);
  DeleteDC(memory);
  ReleaseDC(nullptr, screen);
}

class StatusStripWindow : public ::testing::Test {
 protected:
  void Start(const std::string& action) {
    const std::string ini = "[OrdavaDB]\r\nLocalHost=A\r\nDatabaseName=C:\\Data\\Ordava.fdb\r\nLogFileName=" +
                            (dir / "odbackup.log") + "\r\n[Backups]\r\nBackupPath=" + (dir / "zalohy") +
                            "\r\nBackupCount=2\r\nLastRun=01.12.2026 18:00:00\r\n[Settings]\r\nLogToFile=A\r\n"
                            "ClearLog=A\r\nEventAction=" + action +
                            "\r\nDays=1,2,3,4,5,6,7\r\nEventCountTimes=1\r\nTime_1=18:00:00\r\n";
    test::Put(dir.Path(), "odbackup.ini", ini);
    // The fake server writes its backups only into a folder that exists.
    fs::CreateDirectories(dir / "zalohy");
    data = std::make_unique<TDataODBackup>(app.Now(), client);
    form = std::make_unique<TFrmODBackupDB>(app, *data, dir / "odbackup.exe");
    app.AttachMainForm(*form);
    form->Show();
    app.ProcessMessages();
  }
  void TearDown() override {
    if (!form) return;
    app.DetachMainForm();
    form->FormDestroy();
  }
  void ClickOk() {
    SendMessageW(Strip(form->BtnOK), BM_CLICK, 0, 0);
    app.ProcessMessages();
  }
  HWND Strip(const TControl& control) { return app.SettingsView()->WindowOf(control); }
  std::string StripText() { return win::WindowText(Strip(form->LaStatus)); }
  // Shows the window again after OK hid it, and saves it when asked to.
  void Photograph(const std::string& name) {
    form->Show();
    app.ProcessMessages();
    const char* shots = std::getenv("ODB_SCREENSHOT_DIR");
    if (!shots) return;
    RedrawWindow(app.MainWindow(), nullptr, nullptr, RDW_INVALIDATE | RDW_UPDATENOW | RDW_ALLCHILDREN);
    Sleep(300);
    SaveWindowBmp(app.MainWindow(), std::string(shots) + "/" + name + ".bmp");
  }

  test::TempDir dir;
  TStripApplication app;
  test::FakeFbClient client;
  std::unique_ptr<TDataODBackup> data;
  std::unique_ptr<TFrmODBackupDB> form;
};

TEST_F(StatusStripWindow, AfterAGoodBackup) {
  Start("OnceBackup");
  EXPECT_EQ(StripText().rfind("Poslední záloha: 01.12.2026 18:00:00\r\nPříští záloha: ", 0), 0u) << StripText();
  client.replies = {test::FakeFbClient::Line("gbak: done"), test::FakeFbClient::Line("")};
  ClickOk();
  ASSERT_TRUE(app.Boxes.empty()) << app.Boxes[0].text;
  const std::string text = StripText();
  EXPECT_EQ(text.rfind("Poslední záloha: " + FormatDateTime(data->LastRun) + "\r\nPříští záloha: ", 0), 0u) << text;
  EXPECT_EQ(text.find("selhal"), std::string::npos);
  EXPECT_EQ(form->LaStatus.FontColor(), clWindowText);
  Photograph("status-success");
}

TEST_F(StatusStripWindow, AfterAFailedBackupInTheWarningColour) {
  Start("OnceBackup");
  client.fail_query = true;
  client.messages = {"cannot open backup file C:\\zalohy\\ODBackup_1.fbk", "Exiting before completion due to errors"};
  ClickOk();
  ASSERT_EQ(app.Boxes.size(), 1u);
  const std::string text = StripText();
  EXPECT_EQ(text.rfind("Poslední záloha: 01.12.2026 18:00:00\r\nPříští záloha: ", 0), 0u) << text;
  EXPECT_NE(text.find("\r\nPoslední pokus selhal: "), std::string::npos) << text;
  EXPECT_NE(text.find("\r\ncannot open backup file C:\\zalohy\\ODBackup_1.fbk"), std::string::npos) << text;
  EXPECT_NE(form->LaStatus.FontColor(), clWindowText);
  ASSERT_FALSE(app.TrayEntry.Balloons.empty());
  EXPECT_EQ(app.TrayEntry.Balloons.back(), "Záloha selhala: cannot open backup file C:\\zalohy\\ODBackup_1.fbk");
  Photograph("status-failure");
}

TEST_F(StatusStripWindow, WithThePlanPaused) {
  Start("PauseBackup");
  EXPECT_EQ(StripText(), "Poslední záloha: 01.12.2026 18:00:00\r\nZálohy pozastaveny");
  Photograph("status-paused");
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
  entry.Delete();
}

}  // namespace
}  // namespace odb
