// A detached backup against the real server: the ticks after its start find
// out how it went. One that fails once started (a backup folder the server
// cannot write) is logged within a few ticks; a good one is not reported.
#include <gtest/gtest.h>

#include <chrono>
#include <filesystem>
#include <memory>
#include <thread>
#include <unistd.h>

#include "FbFixture.h"
#include "app/ODBackupDB.h"
#include "app/AppTexts.h"
#include "common/Cp1250.h"
#include "common/FileSystem.h"
#include "frontends/headless/HeadlessApplication.h"
#include "schedule/DmODBackup.h"

namespace odb {
namespace {

using test::FbTempDir;

constexpr int kMaxTicks = 8;
constexpr const char* kLastRun = "01.12.2026 18:00:00";

class DetachedWatchFb : public ::testing::Test {
 protected:
  void SetUp() override {
    if (!test::ServerAnswers()) GTEST_SKIP() << "no Firebird server on 127.0.0.1:3050";
    database_ = dir_.Path("ordava.fdb");
    test::CreateTestDatabase(database_, 3000);
    std::filesystem::create_directories(dir_.Path("zalohy"));
    std::filesystem::permissions(dir_.Path("zalohy"), std::filesystem::perms::all);
  }
  void TearDown() override {
    if (form_) form_->FormDestroy();
    form_.reset();
    data_.reset();
  }

  // Starts the program with the log box unticked (the detached mode) and an
  // empty plan, and makes one backup as OK with "Jednorázová záloha" would.
  void StartBackup(const std::string& backupPath) {
    const std::string ini = "[OrdavaDB]\r\nLocalHost=N\r\nServerName=localhost\r\nDatabaseName=" + database_ +
                            "\r\nLogFileName=" + dir_.Path("odbackup.log") + "\r\n[Backups]\r\nBackupPath=" +
                            backupPath + "\r\nBackupCount=2\r\nLastRun=" + kLastRun +
                            "\r\n[Settings]\r\nLogToFile=N\r\nClearLog=A\r\nEventAction=OnceBackup\r\n"
                            "EventCountTimes=0\r\n";
    ASSERT_TRUE(fs::WriteFile(dir_.Path("odbackup.ini"), ini));
    app_.SetTitle(std::string(msg::AppTitle));
    data_ = std::make_unique<TDataODBackup>();
    form_ = std::make_unique<TFrmODBackupDB>(app_, *data_, dir_.Path("odbackup"));
    form_->Show();
    form_->RunBackup();
    ASSERT_TRUE(form_->Backup().Watch.Watching());
  }
  // Ticks, one a second of virtual time, with real time between them for the
  // server; returns the ticks it took until the watch had its verdict.
  int TickUntilKnown() {
    for (int tick = 1; tick <= kMaxTicks; ++tick) {
      std::this_thread::sleep_for(std::chrono::milliseconds(400));
      app_.AdvanceTime(1000);
      if (!form_->Backup().Watch.Watching()) return tick;
    }
    return kMaxTicks + 1;
  }
  std::string Log() const { return Cp1250ToUtf8(fs::ReadFile(dir_.Path("odbackup.log")).value_or("")); }

  FbTempDir dir_;
  std::string database_;
  TVirtualClock clock_{TDateTime::Encode(2026, 12, 8, 10, 0, 0)};
  THeadlessApplication app_{clock_};
  std::unique_ptr<TDataODBackup> data_;
  std::unique_ptr<TFrmODBackupDB> form_;
};

TEST_F(DetachedWatchFb, AFailureAfterTheStartIsFoundAndLogged) {
  const std::string unwritable = "/nonexistent-odb-" + std::to_string(getpid());
  StartBackup(unwritable);
  const int ticks = TickUntilKnown();
  EXPECT_LE(ticks, 3);
  const std::string log = Log();
  EXPECT_NE(log.find("Záloha selhala: cannot open backup file " + unwritable + "/ODBackup_1.fbk.part"), std::string::npos)
      << log;
  ASSERT_TRUE(form_->Backup().Watch.Failure());
  EXPECT_EQ(form_->Settings().Live.LastRun, *ParseDateTime(kLastRun)) << "a failure is never recorded as made";
  EXPECT_FALSE(data_->BackupService().Active());
}

TEST_F(DetachedWatchFb, AGoodBackupCountsOnlyOnceItsEndIsSeen) {
  ASSERT_TRUE(fs::WriteFile(dir_.Path("zalohy/ODBackup_1.fbk"), "older"));
  StartBackup(dir_.Path("zalohy"));
  EXPECT_EQ(form_->Settings().Live.LastRun, *ParseDateTime(kLastRun)) << "started is not made";
  EXPECT_EQ(fs::ReadFile(dir_.Path("zalohy/ODBackup_1.fbk")), "older") << "nothing shifts before the end";
  const int ticks = TickUntilKnown();
  EXPECT_LE(ticks, kMaxTicks);
  EXPECT_EQ(Log().find("Záloha selhala"), std::string::npos) << Log();
  EXPECT_FALSE(form_->Backup().Watch.Failure());
  EXPECT_GT(form_->Settings().Live.LastRun, *ParseDateTime(kLastRun));
  EXPECT_EQ(fs::ReadFile(dir_.Path("zalohy/ODBackup_2.fbk")), "older");
  test::RestoreBackup(dir_.Path("zalohy/ODBackup_1.fbk"), dir_.Path("restored.fdb"));
  EXPECT_EQ(test::CountRows(dir_.Path("restored.fdb")), 3000);
}

}  // namespace
}  // namespace odb
