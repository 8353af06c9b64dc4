// The backup run from the window's live settings, against a fake server.
#include <gtest/gtest.h>

#include "FormFixture.h"
#include "app/BackupStatus.h"
#include "backup/ODBackupUtils.h"
#include "common/FileLock.h"

namespace odb {
namespace {

using test::FakeFbClient;
using test::FormFixture;
using test::LogEntries;

class BackupRun : public ::testing::Test {
 protected:
  TFrmODBackupDB& Start(const std::string& logToFile) {
    fx.WriteIni("[OrdavaDB]\nLocalHost=A\nDatabaseName=/data/ordava.fdb\nLogFileName=" + fx.LogPath() +
                "\n[Backups]\nBackupPath=" + fx.BackupDir() + "\nBackupCount=2\nLastRun=01.12.2026 10:00:00\n"
                "[Settings]\nLogToFile=" + logToFile + "\nClearLog=A\nEventAction=PauseBackup\nDays=\n");
    fs::CreateDirectories(fx.BackupDir());
    return fx.Start();
  }
  std::string Gen(const std::string& name) const { return fx.BackupDir() + fs::PathDelimiter() + name; }
  TFrmODBackupDB& f() { return *fx.form; }
  const TDateTime kOldLastRun = TDateTime::Encode(2026, 12, 1, 10, 0, 0);
  FormFixture fx;
};

TEST_F(BackupRun, FillsTheJobRecordFromTheControls) {
  Start("A");
  f().RBHost.Click();
  f().EdtServer.SetText("fbhost");
  fx.ScriptOutput(1);
  f().RunBackup();
  const TBackUpDatabaseSetings& s = *f().Backup().BackupSettings();
  EXPECT_EQ(s.ServerName, "fbhost");
  EXPECT_EQ(s.Protocol, TProtocol::TCP);
  EXPECT_FALSE(s.LoginPrompt);
  EXPECT_EQ(s.UserParam, "");
  EXPECT_EQ(s.PasswordParam, "");
  EXPECT_FALSE(s.AttachNow);
  EXPECT_TRUE(s.Verbose);
  EXPECT_EQ(s.Options.Byte(), 8);
  EXPECT_EQ(s.DatabaseName, "/data/ordava.fdb");
  EXPECT_EQ(s.BackupFile, Gen("ODBackup_1.fbk.part")) << "the server writes beside the generations";
  EXPECT_EQ(fx.fb.service_name, "fbhost:service_mgr");
  EXPECT_NE(fx.fb.attach_block.find("sysdba"), std::string::npos);
  EXPECT_NE(fx.fb.attach_block.find("pinewharf"), std::string::npos);
}

TEST_F(BackupRun, ServiceNameFromTheServerChoice) {
  struct Case {
    bool local;
    const char* server;
    const char* service;
  };
  for (const Case& c : {Case{true, "local", "service_mgr"}, Case{false, "", "localhost:service_mgr"},
                        Case{false, "   ", "localhost:service_mgr"}, Case{false, "PC1", "PC1:service_mgr"}}) {
    FormFixture local;
    local.WriteIni("[Backups]\nBackupPath=" + local.BackupDir() + "\n[Settings]\nLogToFile=N\n");
    TFrmODBackupDB& form = local.Start();
    form.RBHost.Click();
    if (c.local) form.RBLocal.Click();
    form.EdtServer.SetText(c.server);
    form.RunBackup();
    EXPECT_EQ(local.fb.service_name, c.service) << c.server;
  }
}

TEST_F(BackupRun, CountIsRoundedBeforeTheGenerationsMove) {
  struct Case {
    const char* count;
    const char* movedTo;  // where the old ODBackup_1.fbk went; null: nothing moved, error passes
  };
  for (const Case& c : {Case{"1.5", "ODBackup_2.fbk"}, Case{"2,5", "ODBackup_2.fbk"}, Case{"0.5", "ODBackup_1.old"},
                        Case{"-4", "ODBackup_1.old"}, Case{"abc", nullptr}, Case{"3000000000", nullptr}}) {
    FormFixture local;
    local.WriteIni("[Backups]\nBackupPath=" + local.BackupDir() + "\n[Settings]\nLogToFile=A\n");
    fs::CreateDirectories(local.BackupDir());
    const std::string newest = local.BackupDir() + fs::PathDelimiter() + "ODBackup_1.fbk";
    fs::WriteFile(newest, "older backup");
    TFrmODBackupDB& form = local.Start();
    form.sedtBackupCount.SetText(c.count);
    if (!c.movedTo) {
      EXPECT_THROW(form.RunBackup(), std::exception) << c.count;
      EXPECT_TRUE(fs::FileExists(newest)) << c.count;
      EXPECT_EQ(local.fb.starts, 0) << c.count;
      // Told as a failed attempt, so --status and the strip do not say fresh.
      const auto recorded = RecordedFailure(local.IniPath());
      EXPECT_TRUE(recorded && recorded->error.find(c.count) != std::string::npos) << c.count;
      continue;
    }
    form.RunBackup();
    EXPECT_EQ(fs::ReadFile(local.BackupDir() + fs::PathDelimiter() + c.movedTo), "older backup") << c.count;
    EXPECT_EQ(local.fb.starts, 1) << c.count;
  }
}

TEST_F(BackupRun, OutputLinesGoToTheMemoWithARepaintEveryTenthLine) {
  Start("A");
  f().miCloseFormClick();
  fx.ScriptOutput(25);
  // Waiting messages are handled right after the 10th line, not before.
  struct Probe : IMessageTarget {
    const TMemo& memo;
    explicit Probe(const TMemo& m) : memo(m) {}
    size_t linesWhenHandled = 0;
    void HandleMessage(unsigned, intptr_t, intptr_t) override { linesWhenHandled = memo.Lines().size(); }
  } probe{f().MemoFiles};
  fx.app.PostMessage(probe, WM_NULL_MSG, 0, 0);
  f().RunBackup();
  ASSERT_EQ(f().MemoFiles.Lines().size(), 26u);
  EXPECT_EQ(f().MemoFiles.Lines()[0], "gbak: line 1");
  EXPECT_EQ(f().MemoFiles.Lines()[24], "gbak: line 25");
  EXPECT_EQ(f().MemoFiles.Lines()[25], "");
  EXPECT_EQ(f().MemoFiles.Repaints(), 2);
  EXPECT_EQ(probe.linesWhenHandled, 10u);
  EXPECT_EQ(fx.fb.detaches, 1);
  // Hidden: the memo keeps the output; the entry still goes to the file.
  EXPECT_EQ(LogEntries(fx.Log()).size(), 1u);
}

TEST_F(BackupRun, StripAndTrayTipTellTheBackupInProgress) {
  Start("A");
  fx.fb.replies.push_back(FakeFbClient::Line("gbak:writing domains "));
  for (const char* table : {"T1", "T2"}) {
    for (int i = 0; i < 10; ++i) fx.fb.replies.push_back(FakeFbClient::Line("gbak:    writing column C"));
    fx.fb.replies.push_back(FakeFbClient::Line(std::string("gbak:    writing data for table ") + table + " "));
  }
  fx.ScriptOutput(8);
  // What the strip's second line and the tip said at each query, the server
  // taking 100 ms a line.
  std::vector<std::pair<std::string, std::string>> seen;
  fx.fb.BeforeQuery = [&] {
    const std::string caption = f().LaStatus.Caption();
    seen.emplace_back(caption.substr(caption.find("\r\n") + 2), fx.app.TrayEntry.Tip);
    fx.clock.Advance(100);
  };
  f().RunBackup();
  ASSERT_EQ(seen.size(), 32u);
  const std::string tip = "Ordava backup client.\nProbíhá záloha…";
  // Shown at once, then at the repaint of every tenth line once half a second has passed.
  EXPECT_EQ(seen[0], std::make_pair(std::string("Probíhá záloha…"), tip));
  EXPECT_EQ(seen[10], std::make_pair(std::string("Probíhá záloha… řádek 10"), tip));
  EXPECT_EQ(seen[20], std::make_pair(std::string("Probíhá záloha… tabulka T1"), tip));
  EXPECT_EQ(seen[30], std::make_pair(std::string("Probíhá záloha… tabulka T2"), tip));
  EXPECT_EQ(f().LaStatus.Caption().find("Probíhá"), std::string::npos);
  EXPECT_EQ(fx.app.TrayEntry.Tip, "Ordava backup client.");
}

TEST_F(BackupRun, VisibleWindowShowsTheLogFileAfterTheEntry) {
  Start("A");
  fx.ScriptOutput(3);
  f().RunBackup();
  EXPECT_EQ(f().MemoFiles.Text(), fx.Log());
  EXPECT_EQ(LogEntries(fx.Log()), (std::vector<std::pair<std::string, std::string>>{
                                      {"08.12.2026 08:00:00", "Záloha byla provedena: 08.12.2026 08:00:00"}}));
  EXPECT_EQ(fx.form->Settings().Live.LastRun, test::kTuesday8);
  EXPECT_NE(fx.Ini().find("LastRun=08.12.2026 08:00:00\r\n"), std::string::npos);
  EXPECT_FALSE(f().BackupRunning());
}

TEST_F(BackupRun, VerboseFailurePassesWithoutLogEntryOrLastRun) {
  Start("A");
  fx.ScriptOutput(20);
  int queries = 0;
  fx.fb.BeforeQuery = [&] { fx.fb.fail_query = ++queries > 3; };
  EXPECT_THROW(f().RunBackup(), std::exception);
  EXPECT_EQ(f().MemoFiles.Lines().size(), 3u) << "the lines read so far stay";
  EXPECT_FALSE(f().BackupRunning());
  EXPECT_FALSE(fx.data->BackupService().Active());
  EXPECT_TRUE(LogEntries(fx.Log()).empty());
  EXPECT_EQ(fx.form->Settings().Live.LastRun, kOldLastRun);
  EXPECT_NE(fx.Ini().find("LastRun=01.12.2026 10:00:00"), std::string::npos);
  // Through OK the error ends the handler: the window stays shown.
  f().cbAction.SetItemIndex(0);
  fx.fb.fail_query = false;
  fx.fb.BeforeQuery = nullptr;
  fx.fb.fail_attach = true;
  fx.app.Dispatch([&] { f().BtnOKClick(); });
  EXPECT_TRUE(f().Visible());
  ASSERT_EQ(fx.app.Boxes.size(), 1u);
  EXPECT_NE(fx.app.Boxes[0].text.find("first line"), std::string::npos) << fx.app.Boxes[0].text;
}

// The plan's detached failure waits for the strip and the tray; OK's is told
// at once, with the server's reason.
TEST_F(BackupRun, DetachedFailureIsBoxedOnlyForOk) {
  for (const bool byOk : {false, true}) {
    FormFixture local;
    local.WriteIni("[Backups]\nBackupPath=" + local.BackupDir() + "\nLastRun=01.12.2026 10:00:00\n[Settings]\nLogToFile=N\n");
    TFrmODBackupDB& form = local.Start();
    local.fb.fail_start = true;
    form.RunBackup(byOk);
    EXPECT_EQ(local.app.Boxes.size(), byOk ? 1u : 0u);
    ASSERT_TRUE(form.Backup().Watch.Failure());
    EXPECT_EQ(form.Backup().Watch.Failure()->error, "Zálohu nelze spustit: first line\r\nsecond line");
    EXPECT_FALSE(local.data->BackupService().Active());
    EXPECT_EQ(local.form->Settings().Live.LastRun, kOldLastRun);
    EXPECT_FALSE(form.BackupRunning());
  }
}

TEST_F(BackupRun, DetachedStartSwitchesTheTimerOnAndAsksForNoOutput) {
  Start("N");
  f().miCloseFormClick();
  ASSERT_FALSE(f().TimerTS.Enabled());  // PauseBackup, hidden
  f().MemoFiles.SetText("earlier text");
  f().RunBackup();
  EXPECT_TRUE(f().TimerTS.Enabled());
  EXPECT_EQ(f().TimerTS.Interval(), 1000u);
  EXPECT_EQ(fx.fb.queries, 0);
  EXPECT_TRUE(fx.data->BackupService().Active()) << "attached while the server works";
  // The item after the options is the backup file, not the verbose flag.
  const std::string& block = fx.fb.start_block;
  const size_t afterOptions = 1 + 3 + std::string("/data/ordava.fdb").size() + 5;
  ASSERT_GT(block.size(), afterOptions);
  EXPECT_EQ(block[afterOptions], static_cast<char>(isc_spb_bkp_file));
  EXPECT_EQ(f().MemoFiles.Text(), "earlier text\r\n");
  EXPECT_EQ(fx.form->Settings().Live.LastRun, kOldLastRun) << "started is not made";
  EXPECT_EQ(fs::ReadFile(fx.LogPath()), "") << "logging is off in the detached mode";
  // Running until a look at it sees its end: no lines to count.
  EXPECT_NE(f().LaStatus.Caption().find("\r\nProbíhá záloha…"), std::string::npos) << f().LaStatus.Caption();
  EXPECT_EQ(fx.app.TrayEntry.Tip, "Ordava backup client.\nProbíhá záloha…");
  // The next preparation ends that attachment first.
  f().RunBackup();
  EXPECT_EQ(fx.fb.detaches, 1);
  EXPECT_EQ(fx.fb.attaches, 2);
  fx.fb.replies = {FakeFbClient::Running(false)};
  fx.app.AdvanceTime(1000);
  EXPECT_EQ(fx.form->Settings().Live.LastRun, test::kTuesday8.AddMs(1000));
  EXPECT_EQ(f().LaStatus.Caption().find("Probíhá"), std::string::npos) << f().LaStatus.Caption();
  EXPECT_EQ(fx.app.TrayEntry.Tip, "Ordava backup client.");
}

TEST_F(BackupRun, AFolderAnotherRunHoldsIsLeftAloneAndOkIsTold) {
  Start("A");
  fs::WriteFile(Gen("ODBackup_1.fbk.part"), "the other run's backup being written");
  const TFileLock other(Gen("ODBackup.lock"));
  ASSERT_EQ(other.State(), TFileLock::TState::Held);
  f().RunBackup(/*startedByOk=*/true);
  EXPECT_EQ(fx.fb.starts, 0);
  EXPECT_EQ(fs::ReadFile(Gen("ODBackup_1.fbk.part")), "the other run's backup being written");
  ASSERT_EQ(fx.app.Boxes.size(), 1u);
  EXPECT_EQ(fx.app.Boxes[0].text, "Do složky záloh " + fx.BackupDir() +
                                      " právě zálohuje jiný spuštěný program, záloha nebyla provedena");
  EXPECT_EQ(fx.form->Settings().Live.LastRun, kOldLastRun);
}

TEST_F(BackupRun, AddLogEntryWritesOnlyWhileLoggingAndTheFileExists) {
  Start("A");
  f().miCloseFormClick();
  f().AddLogEntry("první\r\ndruhá");
  EXPECT_EQ(fx.Log(), "<Čas zápisu: 08.12.2026 08:00:00>\r\nprvní\r\ndruhá\r\n");
  EXPECT_TRUE(f().MemoFiles.Lines().empty()) << "hidden: the view is not touched";
  f().CBLogActivity.SetChecked(false);
  f().AddLogEntry("vypnuto");
  fs::RemoveFile(fx.LogPath());
  f().CBLogActivity.SetChecked(true);
  f().AddLogEntry("smazaný soubor");
  EXPECT_FALSE(fs::FileExists(fx.LogPath()));
  EXPECT_TRUE(f().CBLogActivity.Checked());
  EXPECT_TRUE(fx.app.Boxes.empty());
}

// What --once does: the backup from the loaded settings, with no window.
TEST(BackupRunStart, WithoutAWindowFromTheLoadedSettings) {
  for (const char* logToFile : {"A", "N"}) {
    FormFixture fx;
    fx.WriteIni(fx.PlanIni("01.12.2026 10:00:00", "PauseBackup", logToFile));
    fs::CreateDirectories(fx.BackupDir());
    fs::WriteFile(fx.BackupDir() + fs::PathDelimiter() + "ODBackup_1.fbk", "starší");
    TDataODBackup data(fx.fb);
    TSettingsBinding settings(fx.app, TProgramOptions{fx.ExePath(), {}});
    ASSERT_TRUE(settings.LoadSettings(fx.ExePath()));
    TMemo output("MemoFiles");
    TTimer timer(fx.app, 1000);
    std::vector<std::string> logged;
    TBackupRun run(fx.app, data, settings, output, timer,
                   [&](const std::string& message) { logged.push_back(message); });
    EXPECT_FALSE(run.PerformBackup(true)) << "no job record yet";
    EXPECT_EQ(fx.fb.attaches, 0);
    run.CreateJob();
    fx.ScriptOutput(3);
    ASSERT_TRUE(run.PerformBackup(/*waitForOutput=*/true)) << logToFile;
    EXPECT_EQ(output.Lines(), (std::vector<std::string>{"gbak: line 1", "gbak: line 2", "gbak: line 3", ""}));
    EXPECT_EQ(logged, std::vector<std::string>{"Záloha byla provedena: 08.12.2026 08:00:00"});
    EXPECT_EQ(fx.fb.service_name, "service_mgr");
    EXPECT_EQ(run.BackupSettings()->DatabaseName, "/data/ordava.fdb");
    EXPECT_EQ(fs::ReadFile(fx.BackupDir() + fs::PathDelimiter() + "ODBackup_2.fbk"), "starší");
    EXPECT_NE(fx.Ini().find("LastRun=08.12.2026 08:00:00\r\n"), std::string::npos) << fx.Ini();
    EXPECT_FALSE(run.BackupRunning());
  }
}

TEST(BackupRunStart, LogFolderMissingUnticksLogging) {
  FormFixture fx;
  fx.WriteIni("[OrdavaDB]\nLogFileName=" + (fx.dir / "chybi") + fs::PathDelimiter() +
              "a.log\n[Settings]\nLogToFile=A\n");
  EXPECT_FALSE(fx.Create().CBLogActivity.Checked());
  EXPECT_TRUE(fx.app.Boxes.empty());
}

}  // namespace
}  // namespace odb
