// The wall clock set back or forward across a planned instant, on virtual time:
// no instant is backed up twice, and none within the catch-up week is lost.
#include <gtest/gtest.h>

#include "FakeFbClient.h"
#include "TempDir.h"
#include "app/ODBackupDB.h"
#include "frontends/headless/HeadlessApplication.h"
#include "schedule/DmODBackup.h"

namespace odb {
namespace {

// Friday 10.05.2024; the plan is every day at 18:00:00.
const TDateTime kDay = TDateTime::Encode(2024, 5, 10);
TDateTime At(int dayOffset, int hour, int minute, int second = 0) {
  return kDay.AddDays(dayOffset) + TDateTime::TimeOfDay(hour, minute, second);
}

class ClockJump : public ::testing::Test {
 protected:
  void SetUp() override {
    data_ = std::make_unique<TDataODBackup>(fake_);
    StartProgram("10.05.2024 08:00:00");
    Run(5'000);
    ASSERT_EQ(form_->NextRunTime(), At(0, 18, 0));
  }
  void StartProgram(const std::string& lastRun,
                    const std::string& times = "EventCountTimes=1\r\nTime_1=18:00:00\r\n") {
    if (form_) form_->FormDestroy();
    form_.reset();
    test::Put(dir_.Path(), "odb.ini",
              "[OrdavaDB]\r\nLocalHost=A\r\nDatabaseName=db.fdb\r\nLogFileName=" + (dir_ / "odb.log") +
                  "\r\n[Backups]\r\nBackupPath=" + dir_.Str() + "\r\nBackupCount=3\r\nLastRun=" + lastRun +
                  "\r\n[Settings]\r\nLogToFile=A\r\nEventAction=BackupOnTimer\r\n" + times);
    CreateForm();
  }
  // A new program on the file as the last one left it.
  void RestartProgram() {
    form_->FormDestroy();
    form_.reset();
    data_ = std::make_unique<TDataODBackup>(fake_);
    CreateForm();
  }
  void CreateForm() {
    form_ = std::make_unique<TFrmODBackupDB>(app_, *data_, dir_ / "odbackup", dir_ / "odb.ini");
    // Without a window the program runs as the Windows one hidden in the tray.
    form_->Show();
    form_->Hide();
  }
  void TearDown() override { form_->FormDestroy(); }

  void Run(int64_t ms) { app_.AdvanceTime(ms); }
  void SetClock(TDateTime to) { clock_.Set(to); }
  int Backups() const { return fake_.starts; }
  // Steps one second at a time until the backup count changes.
  void RunUntilBackup(int64_t limitMs) {
    const int before = Backups();
    for (int64_t ms = 0; ms < limitMs && Backups() == before; ms += 1000) Run(1000);
    ASSERT_GT(Backups(), before) << "no backup within " << limitMs << " ms";
  }

  test::TempDir dir_;
  TVirtualClock clock_{At(0, 17, 58)};
  THeadlessApplication app_{clock_};
  test::FakeFbClient fake_;
  std::unique_ptr<TDataODBackup> data_;
  std::unique_ptr<TFrmODBackupDB> form_;
};

TEST_F(ClockJump, ForwardAcrossTheInstantBacksUpOnce) {
  Run(60'000);
  SetClock(At(0, 18, 30));
  Run(10 * 60'000);
  EXPECT_EQ(Backups(), 1);
  EXPECT_EQ(form_->NextRunTime(), At(1, 18, 0));
}

TEST_F(ClockJump, ForwardOverSeveralInstantsBacksUpOnce) {
  SetClock(At(2, 19, 0));
  Run(10 * 60'000);
  EXPECT_EQ(Backups(), 1);
  EXPECT_EQ(form_->NextRunTime(), At(3, 18, 0));
}

TEST_F(ClockJump, BackBeforeTheInstantStillBacksUpAtIt) {
  SetClock(At(0, 16, 0));
  Run(119 * 60'000);
  EXPECT_EQ(Backups(), 0);
  RunUntilBackup(5 * 60'000);
  EXPECT_LE(clock_.Now(), At(0, 18, 0, 5));
  EXPECT_EQ(Backups(), 1);
}

TEST_F(ClockJump, BackAcrossTheInstantAfterTheBackupDoesNotRepeatIt) {
  RunUntilBackup(5 * 60'000);
  Run(5'000);
  SetClock(At(0, 17, 59));
  Run(30 * 60'000);
  EXPECT_EQ(Backups(), 1);
  EXPECT_EQ(form_->NextRunTime(), At(1, 18, 0));
}

TEST_F(ClockJump, BackRightAfterTheBackupBeforeTheNextAnnouncement) {
  RunUntilBackup(5 * 60'000);
  // The tick after a backup announces the next instant; the clock goes back first.
  SetClock(At(0, 17, 59, 30));
  Run(30 * 60'000);
  EXPECT_EQ(Backups(), 1);
  EXPECT_EQ(form_->NextRunTime(), At(1, 18, 0));
}

TEST_F(ClockJump, BackAnHourOverTwoDoneInstantsAndRestartedRepeatsNeither) {
  StartProgram("10.05.2024 08:00:00", "EventCountTimes=2\r\nTime_1=18:00:00\r\nTime_2=18:30:00\r\n");
  RunUntilBackup(5 * 60'000);
  RunUntilBackup(35 * 60'000);
  Run(5 * 60'000);
  SetClock(At(0, 17, 35));
  RestartProgram();
  Run(70 * 60'000);
  EXPECT_EQ(Backups(), 2);
  EXPECT_EQ(form_->NextRunTime(), At(1, 18, 0));
}

TEST_F(ClockJump, ALastRunFarAheadFromAWrongClockStopsNoPlannedRun) {
  // Started again after a clock that ran a year ahead wrote LastRun.
  StartProgram("14.06.2025 08:00:00");
  ASSERT_EQ(form_->Settings().Live.LastRun, TDateTime::Encode(2025, 6, 14, 8));
  RunUntilBackup(5 * 60'000);
  EXPECT_EQ(Backups(), 1);
}

TEST_F(ClockJump, TicksGoOnRightAfterTheClockGoesBack) {
  RunUntilBackup(5 * 60'000);
  // The next announcement is made only by a tick; ticks must not wait for the old time.
  SetClock(At(0, 12, 0));
  Run(3'000);
  EXPECT_EQ(form_->NextRunTime(), At(1, 18, 0));
}

}  // namespace
}  // namespace odb
