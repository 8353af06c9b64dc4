// The program as it starts on Windows: the production data module loads the
// client library, and the scripted fbclient.dll beside the test program plays
// the server. OK, the tray and a locked configuration are driven through the
// real window's messages.
#include "app/AppTexts.h"
#include "frontends/win32/Win32Application.h"

#include <gtest/gtest.h>

#include <memory>
#include <stdexcept>
#include <string>
#include <vector>

#include "HeldFile_win.h"
#include "ModalDriver_win.h"
#include "TempDir.h"
#include "app/ODBackup.h"
#include "app/ODBackupDB.h"
#include "common/Cp1250.h"
#include "common/FileSystem.h"
#include "common/Utf16_win.h"
#include "frontends/headless/HeadlessApplication.h"
#include "frontends/win32/SettingsView.h"
#include "frontends/win32/Win32Ui.h"

namespace odb {
namespace {

// Boxes are recorded and answered OK; the tray menu is real, the shell's
// entry a stand-in (the real one costs Wine two seconds a window).
class TBoxRecordingApplication final : public TWin32Application {
 public:
  TBoxRecordingApplication() : TWin32Application(GetModuleHandleW(nullptr)) {}
  TBoxResult ShowMessageBox(const TMessageBox& box) override {
    Boxes.push_back(box);
    return TBoxResult::Ok;
  }
  ITrayEntry& Tray() override { return TrayEntry; }
  std::vector<TMessageBox> Boxes;
  THeadlessTray TrayEntry;
};

// Nine lines and the empty one that ends the output: the run lets waiting
// messages through right after that tenth line, which is when the memo is
// looked at, before the log entry replaces it with the log file.
const std::vector<std::string> kOutput = {
    "gbak:readied database C:\\Data\\ordava.fdb for backup", "gbak:creating file ODBackup_1.fbk",
    "gbak:starting transaction", "gbak:database C:\\Data\\ordava.fdb has a page size of 8192 bytes.",
    "gbak:writing domains", "gbak:writing tables", "gbak:writing data for table ZAKAZNICI",
    "gbak:   1234 records written", "gbak:closing file, committing, and finishing. 74752 bytes written"};

// Takes the window's memo when its posted message comes out of the queue.
// Looks at the log view during the backup's first message pump, after the
// lines gathered so far have reached the EDIT (posted once more to come after
// the view's own flush).
// Looks at the log view at the pumps of a backup run: a timer's message comes
// once the posted ones (the view's update among them) are handled, and at
// most once a pump. The last look before the run's end is kept.
struct TMemoProbe {
  TMemoProbe(TFrmODBackupDB& form, HWND memo) : form(form), memo(memo) {
    current = this;
    timer = SetTimer(nullptr, 0, 1, Look);
  }
  ~TMemoProbe() {
    KillTimer(nullptr, timer);
    current = nullptr;
  }
  static void CALLBACK Look(HWND, UINT, UINT_PTR, DWORD) {
    if (!current || !current->form.BackupRunning() || current->form.MemoFiles.Lines().empty()) return;
    current->lines = current->form.MemoFiles.Lines();
    current->text = win::WindowText(current->memo);
  }
  static inline TMemoProbe* current = nullptr;
  TFrmODBackupDB& form;
  HWND memo;
  UINT_PTR timer = 0;
  std::vector<std::string> lines;
  std::string text;
};
constexpr const char* kOldLastRun = "01.03.2024 18:00:00";

class WindowWithClientLibrary : public ::testing::Test {
 protected:
  void SetUp() override {
    SetEnvironmentVariableW(L"ODB_FBCLIENT_DIR", Widen(dir.Str()).c_str());
    ASSERT_TRUE(fs::CreateDirectories(BackupDir()));
    ASSERT_TRUE(fs::WriteFile(BackupDir() + "\\ODBackup_1.fbk", "older backup"));
    ASSERT_TRUE(fs::WriteFile(IniPath(), Utf8ToCp1250(
        "[OrdavaDB]\r\nLocalHost=A\r\nDatabaseName=C:\\Data\\ordava.fdb\r\nLogFileName=" + LogPath() +
        "\r\n[Backups]\r\nBackupPath=" + BackupDir() + "\r\nBackupCount=3\r\nLastRun=" + kOldLastRun +
        "\r\n[Settings]\r\nLogToFile=A\r\nClearLog=A\r\nEventAction=PauseBackup\r\nDays=1,2,3,4,5\r\n"
        "EventCountTimes=1\r\nTime_1=18:00:00\r\n")));
  }
  void TearDown() override {
    if (program) {
      app.DetachMainForm();
      program.reset();
    }
    SetFileAttributesW(Widen(IniPath()).c_str(), FILE_ATTRIBUTE_NORMAL);
    SetEnvironmentVariableW(L"ODB_FBCLIENT_DIR", nullptr);
  }

  void Script(const std::vector<std::string>& lines) {
    std::string text;
    for (const std::string& line : lines) text += line + "\r\n";
    ASSERT_TRUE(fs::WriteFile(dir / "fbclient-script.txt", text));
  }
  TFrmODBackupDB& Start() {
    program = CreateProgram(app, {dir / "odbackup.exe", {}});
    EXPECT_NE(program, nullptr);
    if (!program) throw std::runtime_error("the program could not be created");
    app.AttachMainForm(*program->form);
    program->form->Show();
    app.ProcessMessages();
    EXPECT_TRUE(app.Boxes.empty()) << app.Boxes.front().text;
    return *program->form;
  }
  HWND Hwnd(const TControl& control) { return app.SettingsView()->WindowOf(control); }
  void PickAction(int index) {
    HWND combo = Hwnd(program->form->cbAction);
    SendMessageW(combo, CB_SETCURSEL, index, 0);
    SendMessageW(app.MainWindow(), WM_COMMAND, MAKEWPARAM(GetDlgCtrlID(combo), CBN_SELCHANGE),
                 reinterpret_cast<LPARAM>(combo));
  }
  void PressOK() {
    SendMessageW(Hwnd(program->form->BtnOK), BM_CLICK, 0, 0);
    app.ProcessMessages();
  }
  std::string IniLastRun() {
    const std::string ini = Cp1250ToUtf8(fs::ReadFile(IniPath()).value_or(""));
    const size_t at = ini.find("LastRun=");
    return at == std::string::npos ? "" : ini.substr(at + 8, ini.find("\r\n", at) - at - 8);
  }

  void ExpectOkRefused(const std::string& bytes);

  std::string IniPath() const { return dir / "odbackup.ini"; }
  std::string LogPath() const { return dir / "odbackup.log"; }
  std::string BackupDir() const { return dir / "zalohy"; }

  test::TempDir dir;
  TBoxRecordingApplication app;
  std::unique_ptr<TProgram> program;
};

TEST_F(WindowWithClientLibrary, OnceBackupRunsThroughTheLibraryAndHides) {
  Script(kOutput);
  TFrmODBackupDB& form = Start();
  PickAction(0);
  TMemoProbe probe(form, Hwnd(form.MemoFiles));
  const TDateTime before = TDateTime::FromMs(app.Now().Ms() / 1000 * 1000);
  PressOK();
  const TDateTime after = app.Now();

  EXPECT_TRUE(app.Boxes.empty()) << app.Boxes.front().text;
  std::vector<std::string> shown = kOutput;
  shown.push_back("");
  EXPECT_EQ(probe.lines, shown);
  std::string memoText;
  for (const std::string& line : shown) memoText += line + "\r\n";
  EXPECT_EQ(probe.text, memoText);

  const std::string lastRun = IniLastRun();
  const std::optional<TDateTime> stamp = ParseDateTime(lastRun);
  ASSERT_TRUE(stamp) << lastRun;
  EXPECT_GE(*stamp, before);
  EXPECT_LE(*stamp, after);
  const std::string log = fs::ReadFile(LogPath()).value_or("");
  EXPECT_NE(log.find(Utf8ToCp1250("Záloha byla provedena: " + lastRun)), std::string::npos) << log;
  EXPECT_EQ(win::WindowText(Hwnd(form.MemoFiles)), Cp1250ToUtf8(log))
      << "the entry was written while the window was shown, so the memo shows the log";

  EXPECT_EQ(fs::ReadFile(BackupDir() + "\\ODBackup_2.fbk"), "older backup");
  EXPECT_FALSE(IsWindowVisible(app.MainWindow()));
  const std::string start = fs::ReadFile(dir / "fbclient-start.spb").value_or("");
  EXPECT_NE(start.find("C:\\Data\\ordava.fdb"), std::string::npos);
  EXPECT_NE(start.find(BackupDir() + "\\ODBackup_1.fbk"), std::string::npos);
  EXPECT_NE(fs::ReadFile(dir / "fbclient-attach.spb").value_or("").find("sysdba"), std::string::npos);
}

TEST_F(WindowWithClientLibrary, ServerFailureIsShownAndNothingIsRecorded) {
  Script({"FAIL I/O error during \"open\" operation for file C:\\Data\\ordava.fdb"});
  Start();
  PickAction(0);
  PressOK();

  ASSERT_EQ(app.Boxes.size(), 1u);
  EXPECT_EQ(app.Boxes[0].text, "I/O error during \"open\" operation for file C:\\Data\\ordava.fdb.");
  EXPECT_EQ(app.Boxes[0].title, msg::AppTitle);
  EXPECT_EQ(app.Boxes[0].icon, TBoxIcon::Error);
  EXPECT_EQ(Cp1250ToUtf8(fs::ReadFile(LogPath()).value_or("")).find("Záloha byla provedena"),
            std::string::npos);
  EXPECT_EQ(IniLastRun(), kOldLastRun);
  EXPECT_TRUE(IsWindowVisible(app.MainWindow()));
}

TEST_F(WindowWithClientLibrary, TrayLeftClickTellsToUseTheRightButton) {
  Script({});
  Start();
  SendMessageW(app.MainWindow(), WM_TRAYNOTIFY, 0, WM_LBUTTONDOWN);
  ASSERT_EQ(app.Boxes.size(), 1u);
  EXPECT_EQ(app.Boxes[0].text, "Tato ikona reaguje na PRAVÉ tlačítko myši!");
  EXPECT_EQ(app.Boxes[0].title, "Samostatné zálohování dat");
  EXPECT_EQ(app.Boxes[0].icon, TBoxIcon::None) << "a plain message box";
}

TEST_F(WindowWithClientLibrary, TrayRightClickOpensTheMenuThenPostsNull) {
  Script({});
  Start();
  HWND main = app.MainWindow();
  bool menuOpen = false;
  test::DuringModal(
      [&] {
        menuOpen = FindWindowW(L"#32768", nullptr) != nullptr;
        PostMessageW(main, WM_KEYDOWN, VK_ESCAPE, 1);
        PostMessageW(main, WM_KEYUP, VK_ESCAPE, 0xC0000001);
      },
      [&] { SendMessageW(main, WM_TRAYNOTIFY, 0, WM_RBUTTONDOWN); }, [] { EndMenu(); });
  EXPECT_TRUE(menuOpen);
  bool nullPosted = false;
  MSG message;
  while (PeekMessageW(&message, main, 0, 0, PM_REMOVE)) nullPosted |= message.message == WM_NULL;
  EXPECT_TRUE(nullPosted);
  EXPECT_TRUE(app.Boxes.empty());
  EXPECT_TRUE(IsWindowVisible(main)) << "a dismissed menu changes nothing";
}

// OK with a configuration file that cannot be written: the error names the
// file, the window stays for another try and the file keeps its bytes.
void WindowWithClientLibrary::ExpectOkRefused(const std::string& bytes) {
  PickAction(0);
  PressOK();
  ASSERT_EQ(app.Boxes.size(), 1u);
  EXPECT_EQ(app.Boxes[0].text, "Unable to write to " + IniPath() + ".");
  EXPECT_TRUE(IsWindowVisible(app.MainWindow()));
  EXPECT_EQ(fs::ReadFile(IniPath()), bytes);
  EXPECT_EQ(fs::ReadFile(BackupDir() + "\\ODBackup_1.fbk"), "older backup") << "no backup was started";
}

// Whether this Wine refuses to overwrite a read-only file: run as root it
// does not, since it leaves the check to the Unix permissions.
bool ReadOnlyHonoured(const std::string& probe) {
  if (!fs::WriteFile(probe, "x")) return false;
  SetFileAttributesW(Widen(probe).c_str(), FILE_ATTRIBUTE_READONLY);
  const bool honoured = !fs::WriteFile(probe, "y");
  SetFileAttributesW(Widen(probe).c_str(), FILE_ATTRIBUTE_NORMAL);
  return honoured;
}

TEST_F(WindowWithClientLibrary, ReadOnlyConfigurationIsReportedAndKept) {
  if (!ReadOnlyHonoured(dir / "probe.txt")) GTEST_SKIP() << "this Wine overwrites read-only files";
  Script(kOutput);
  Start();
  const std::string bytes = fs::ReadFile(IniPath()).value_or("");
  ASSERT_TRUE(SetFileAttributesW(Widen(IniPath()).c_str(), FILE_ATTRIBUTE_READONLY));
  ExpectOkRefused(bytes);
}

TEST_F(WindowWithClientLibrary, ConfigurationHeldByAnotherProgramIsReportedAndKept) {
  Script(kOutput);
  Start();
  const std::string bytes = fs::ReadFile(IniPath()).value_or("");
  test::HeldFile editor(IniPath(), GENERIC_WRITE, FILE_SHARE_READ);
  ASSERT_TRUE(editor.Valid());
  ExpectOkRefused(bytes);
}

}  // namespace
}  // namespace odb
