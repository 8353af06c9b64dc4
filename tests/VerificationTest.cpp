// The test restore of a backup, against a fake server: what goes out, what
// the log and the watch say, and that a failed verification moves nothing.
#include <gtest/gtest.h>

#include <algorithm>
#ifndef _WIN32
#include <unistd.h>
#endif

#include "FormFixture.h"
#include "app/AppTexts.h"
#include "app/BackupNotices.h"
#include "service/RestoreService.h"

namespace odb {
namespace {

using test::FakeFbClient;
using test::FormFixture;
using test::LogEntries;

std::string Bytes(std::initializer_list<int> values) {
  std::string s;
  for (int v : values) s += static_cast<char>(v);
  return s;
}

TEST(RestoreService, StartBlockByteForByte) {
  FakeFbClient fb;
  TRestoreService svc(fb);
  svc.Attach();
  svc.BackupFile() = {"/bk/ODBackup_1.fbk", " "};       // 18 bytes; the blank one is left out
  svc.SetDatabaseName("/bk/ODBackup_verify.fdb");        // 23 bytes
  svc.SetVerbose(true);
  svc.ServiceStart();
  EXPECT_EQ(fb.start_block, Bytes({2, 5, 18, 0}) + "/bk/ODBackup_1.fbk" + Bytes({106, 23, 0}) +
                                "/bk/ODBackup_verify.fdb" + Bytes({108, 0, 0x20, 0, 0}) + Bytes({107}));
}

TEST(RestoreService, DropsTheDatabaseOnTheComponentsServerWithItsLogin) {
  struct Case {
    TProtocol protocol;
    const char* server;
    const char* name;
  };
  for (const Case& c : {Case{TProtocol::Local, "", "/bk/v.fdb"}, Case{TProtocol::TCP, "fbhost", "fbhost:/bk/v.fdb"}}) {
    FakeFbClient fb;
    TRestoreService svc(fb);
    svc.SetProtocol(c.protocol);
    svc.SetServerName(c.server);
    svc.Params().Add("user_name=sysdba");
    svc.Params().Add("password=tajne");
    svc.SetDatabaseName("/bk/v.fdb");
    svc.DropDatabase();
    EXPECT_EQ(fb.database_name, c.name);
    EXPECT_EQ(fb.database_block, Bytes({1, 28, 6}) + "sysdba" + Bytes({29, 5}) + "tajne");
    EXPECT_EQ(fb.drops, 1);
    EXPECT_EQ(fb.database_detaches, 0);
  }
}

TEST(RestoreService, AFailedDropLetsTheAttachmentGoAndRaisesTheServersText) {
  FakeFbClient fb;
  fb.fail_drop = true;
  TRestoreService svc(fb);
  svc.SetDatabaseName("/bk/v.fdb");
  EXPECT_THROW(
      try { svc.DropDatabase(); } catch (const std::exception& e) {
        EXPECT_NE(std::string(e.what()).find("first line"), std::string::npos);
        throw;
      },
      std::exception);
  EXPECT_EQ(fb.database_detaches, 1);
}

// A window whose backups go to a folder with two generations from before.
struct VerifyRig {
  TFrmODBackupDB& Start(const std::string& verify, const std::string& logToFile = "A") {
    fx.WriteIni("[OrdavaDB]\nLocalHost=A\nDatabaseName=/data/ordava.fdb\nLogFileName=" + fx.LogPath() +
                "\n[Backups]\nBackupPath=" + fx.BackupDir() + "\nBackupCount=3\nLastRun=01.12.2026 10:00:00\n"
                "[Settings]\nLogToFile=" + logToFile + "\nClearLog=A\nEventAction=PauseBackup\nDays=\n"
                "VerifyBackup=" + verify + "\n");
    fs::CreateDirectories(fx.BackupDir());
    for (const char* name : {"ODBackup_1.fbk", "ODBackup_2.fbk"}) (void)fs::WriteFile(Gen(name), name);
    return fx.Start();
  }
  std::string Gen(const std::string& name) const { return fx.BackupDir() + fs::PathDelimiter() + name; }
  TFrmODBackupDB& f() { return *fx.form; }
  // The backup's lines, then the restore's, two to a reply, the last reply's
  // line cut in two; completed: gbak's closing line ends them.
  void ScriptBackupAndRestore(int restoreLines, bool completed = true) {
    fx.ScriptOutput(2);
    std::string text;
    for (int i = 1; i <= restoreLines; ++i) text += "restore " + std::to_string(i) + "\n";
    if (completed) text += "gbak:finishing, closing, and going home\n";
    for (size_t at = 0; at < text.size(); at += 20) fx.fb.replies.push_back(FakeFbClient::Text(text.substr(at, 20), true));
    fx.fb.replies.push_back(FakeFbClient::Text("", false));
  }
  // Every file of the folder as "content@name", but the runs' lock.
  std::vector<std::string> Folder() const {
    std::vector<std::string> names;
    for (const std::string& name : fs::ListFiles(fx.BackupDir())) {
      if (name != "ODBackup.lock" && fs::FileExists(Gen(name))) names.push_back(fs::ReadFile(Gen(name)).value_or("") + "@" + name);
    }
    std::sort(names.begin(), names.end());
    return names;
  }
  FormFixture fx;
};

class Verification : public ::testing::Test, protected VerifyRig {};

TEST_F(Verification, TheNewBackupIsRestoredBeforeItTakesItsPlace) {
  Start("A");
  f().miCloseFormClick();
  ScriptBackupAndRestore(3);
  f().RunBackup();
  EXPECT_EQ(fx.fb.starts, 2);
  EXPECT_EQ(fx.fb.start_block[0], 2) << "the second start is a restore";
  EXPECT_NE(fx.fb.start_block.find(Gen("ODBackup_1.fbk.part")), std::string::npos) << "the file not yet in place";
  const std::string database = Gen("ODBackup_verify_20261208_080000000.fdb");
  EXPECT_NE(fx.fb.start_block.find(database), std::string::npos);
  EXPECT_EQ(fx.fb.drops, 1) << "only the database the restore created";
  EXPECT_EQ(fx.fb.database_name, database);
  const std::vector<std::string> memo = f().MemoFiles.Lines();
  EXPECT_EQ(memo, (std::vector<std::string>{"gbak: line 1", "gbak: line 2", "", "restore 1", "restore 2",
                                            "restore 3", "gbak:finishing, closing, and going home"}))
      << "the restore's lines follow the backup's, whole";
  EXPECT_EQ(LogEntries(fx.Log()), (std::vector<std::pair<std::string, std::string>>{
                                      {"08.12.2026 08:00:00", "Záloha byla provedena: 08.12.2026 08:00:00"},
                                      {"08.12.2026 08:00:00", "Záloha ověřena obnovou: " + Gen("ODBackup_1.fbk")}}));
  EXPECT_EQ(Folder(), (std::vector<std::string>{"ODBackup_1.fbk@ODBackup_2.fbk", "ODBackup_2.fbk@ODBackup_3.fbk",
                                                "backup@ODBackup_1.fbk"}));
  EXPECT_FALSE(f().Backup().Watch.Failure());
  EXPECT_FALSE(fx.data->RestoreService().Active());
}

TEST_F(Verification, AFailedRestoreKeepsEveryGenerationAndSetsTheBackupAside) {
  struct Case {
    const char* name;
    int failAtQuery;  // 0: none; the backup reads 3 replies
    bool completed;   // the restore's output reached gbak's closing line
  };
  for (const Case& c : {Case{"server error", 5, true}, Case{"output cut short", 0, false}}) {
    VerifyRig t;
    t.Start("A");
    t.ScriptBackupAndRestore(5, c.completed);
    int queries = 0;
    t.fx.fb.BeforeQuery = [&] { t.fx.fb.fail_query = ++queries == c.failAtQuery; };
    t.f().RunBackup();
    EXPECT_TRUE(t.fx.app.Boxes.empty()) << c.name << ": an unattended run must not wait for a box";
    EXPECT_EQ(t.fx.form->Settings().Live.LastRun, *ParseDateTime("01.12.2026 10:00:00")) << c.name;
    EXPECT_EQ(t.Folder(), (std::vector<std::string>{"ODBackup_1.fbk@ODBackup_1.fbk", "ODBackup_2.fbk@ODBackup_2.fbk",
                                                    "backup@ODBackup_verify_failed.fbk"}))
        << c.name << ": nothing moves, the database is gone, the failed backup is kept aside";
    const auto entries = LogEntries(t.fx.Log());
    ASSERT_EQ(entries.size(), 2u) << c.name;
    EXPECT_EQ(entries[0].second.rfind("Ověření zálohy selhalo: ", 0), 0u) << entries[0].second;
    EXPECT_EQ(entries[1].second, "Záloha neprošla ověřením, ponechána jako: " + t.Gen("ODBackup_verify_failed.fbk"));
    const auto& failure = t.f().Backup().Watch.Failure();
    ASSERT_TRUE(failure) << c.name;
    EXPECT_EQ(failure->step, TFailedStep::Verification);
    EXPECT_NE(t.f().LaStatus.Caption().find("Ověření zálohy selhalo"), std::string::npos) << t.f().LaStatus.Caption();
  }
}

TEST_F(Verification, AFailureIsToldAfterARestartAndClearedByTheNextGoodBackup) {
  Start("A");
  ScriptBackupAndRestore(1, /*completed=*/false);
  f().RunBackup();
  // What the run posted goes to the window that is still there.
  fx.app.ProcessMessages();
  fx.Destroy();
  fx.Start();
  const auto& failure = f().Backup().Watch.Failure();
  ASSERT_TRUE(failure) << "the record beside the configuration keeps it";
  EXPECT_EQ(failure->step, TFailedStep::Verification);
  TBackupNotices notices;
  const auto warning = notices.Due(TStaleness{}, failure, fx.clock.Now());
  ASSERT_TRUE(warning);
  EXPECT_EQ(warning->rfind("Ověření zálohy selhalo: ", 0), 0u) << *warning;
  fx.clock.Advance(60'000);
  fx.fb.replies.clear();
  ScriptBackupAndRestore(1);
  f().RunBackup();
  EXPECT_EQ(f().LaStatus.Caption().find("selhal"), std::string::npos) << f().LaStatus.Caption();
  EXPECT_FALSE(fs::FileExists(Gen("ODBackup_verify_failed.fbk.part")));
}

TEST_F(Verification, LeftoversGoAsFilesAndLinksAreNeverFollowed) {
  Start("A");
  (void)fs::WriteFile(Gen("ODBackup_verify.fdb"), "junk of an old run");
  (void)fs::WriteFile(Gen("ODBackup_verify_20261208_080000000.fdb"), "junk at this run's first name");
#ifndef _WIN32
  const std::string victim = fx.dir / "ordava.fdb";
  (void)fs::WriteFile(victim, "the practice's database");
  ASSERT_EQ(symlink(victim.c_str(), Gen("ODBackup_verify_planted.fdb").c_str()), 0);
#endif
  ScriptBackupAndRestore(1);
  f().RunBackup();
  EXPECT_FALSE(f().Backup().Watch.Failure());
  EXPECT_FALSE(fs::EntryExists(Gen("ODBackup_verify.fdb")));
  EXPECT_FALSE(fs::EntryExists(Gen("ODBackup_verify_20261208_080000000.fdb")));
  EXPECT_EQ(fx.fb.drops, 1) << "leftovers are deleted, not dropped";
#ifndef _WIN32
  EXPECT_EQ(fs::ReadFile(victim), "the practice's database");
  EXPECT_TRUE(fs::EntryExists(Gen("ODBackup_verify_planted.fdb")));
#endif
}

TEST_F(Verification, OnlyABackupWithTheBoxTickedIsVerified) {
  struct Case {
    const char* verify;
    const char* logToFile;  // N: the backup starts detached, its end not yet seen
    int starts;
  };
  for (const Case& c : {Case{"N", "A", 1}, Case{"A", "N", 1}, Case{"A", "A", 2}}) {
    VerifyRig t;
    t.Start(c.verify, c.logToFile);
    t.ScriptBackupAndRestore(1);
    t.f().RunBackup();
    EXPECT_EQ(t.fx.fb.starts, c.starts) << c.verify << c.logToFile;
    EXPECT_EQ(t.fx.fb.drops, c.starts - 1) << "the restored database";
  }
}

TEST_F(Verification, TheKeyIsWrittenOnceItHasBeenOn) {
  Start("N");
  const auto saved = [&] {
    f().BtnOKClick();
    return fx.Ini();
  };
  fx.WriteIni("[Settings]\nLogToFile=N\n");
  f().CBVerifyBackup.SetChecked(false);
  EXPECT_EQ(saved().find("VerifyBackup"), std::string::npos) << "an old configuration stays as it was";
  f().CBVerifyBackup.SetChecked(true);
  EXPECT_NE(saved().find("VerifyBackup=A\r\n"), std::string::npos);
  f().CBVerifyBackup.SetChecked(false);
  EXPECT_NE(saved().find("VerifyBackup=N\r\n"), std::string::npos);
}

}  // namespace
}  // namespace odb
