// The one-second scheduler on virtual time, with a fake server for the backups.
#include <gtest/gtest.h>

#include "FormFixture.h"

namespace odb {
namespace {

using test::FormFixture;
using test::LogEntries;
using Entries = std::vector<std::pair<std::string, std::string>>;

TDateTime Dec(int day, int h, int m = 0, int s = 0) { return TDateTime::Encode(2026, 12, day, h, m, s); }

const std::string kCatchUp = "Backup na základě poslední neprovedené akce časovače.";
std::string Done(const char* at) { return std::string("Záloha byla provedena: ") + at; }
std::string NextSet(const char* at) { return std::string("Příští zálohování nastaveno: ") + at; }

class Scheduler : public ::testing::Test {
 protected:
  TFrmODBackupDB& Start(const std::string& lastRun, const std::string& action = "BackupOnTimer",
                        const std::string& logToFile = "A") {
    fx.WriteIni(fx.PlanIni(lastRun, action, logToFile));
    return fx.Start();
  }
  // Runs the clock up to the instant, delivering every tick on the way.
  void AdvanceTo(TDateTime at) { fx.app.AdvanceTime(at.Ms() - fx.clock.Now().Ms()); }
  void Tick() { fx.app.AdvanceTime(1000); }
  TFrmODBackupDB& f() { return *fx.form; }
  FormFixture fx;
};

TEST_F(Scheduler, TheRoadOfAPlannedBackup) {
  Start("07.12.2026 07:00:00");
  fx.ScriptOutput(3);
  Tick();  // 08:00:01
  EXPECT_TRUE(f().BackupDue());
  EXPECT_EQ(fx.fb.starts, 0);
  Tick();  // 08:00:02
  EXPECT_EQ(fx.fb.starts, 1);
  EXPECT_FALSE(f().BackupDue());
  EXPECT_EQ(fx.form->Settings().Live.LastRun, Dec(8, 8, 0, 2));
  EXPECT_NE(fx.Ini().find("LastRun=08.12.2026 08:00:02\r\n"), std::string::npos);
  EXPECT_NE(fx.fb.start_block.find(fx.BackupDir() + fs::PathDelimiter() + "ODBackup_1.fbk"), std::string::npos);
  Tick();  // 08:00:03
  EXPECT_EQ(f().NextRunTime(), Dec(8, 18));
  EXPECT_TRUE(f().SlotPending());
  AdvanceTo(Dec(8, 17, 59, 59));
  EXPECT_FALSE(f().BackupDue());
  EXPECT_EQ(LogEntries(fx.Log()).size(), 3u) << "an announcement is logged once, not every second";
  fx.ScriptOutput(3);
  Tick();  // 18:00:00
  EXPECT_TRUE(f().BackupDue());
  Tick();  // 18:00:01
  EXPECT_EQ(fx.fb.starts, 2);
  Tick();  // 18:00:02
  EXPECT_EQ(LogEntries(fx.Log()),
            (Entries{{"08.12.2026 08:00:01", kCatchUp},
                     {"08.12.2026 08:00:02", Done("08.12.2026 08:00:02")},
                     {"08.12.2026 08:00:03", NextSet("08.12.2026 18:00:00")},
                     {"08.12.2026 18:00:01", Done("08.12.2026 18:00:01")},
                     {"08.12.2026 18:00:02", NextSet("09.12.2026 18:00:00")}}));
  // The window is shown, so the log view shows the log file after each entry.
  EXPECT_EQ(f().MemoFiles.Text(), fx.Log());
  EXPECT_TRUE(fx.app.Boxes.empty());
}

TEST_F(Scheduler, NoCatchUpWhenTheMissedInstantIsCoveredOrOutOfReach) {
  for (const char* lastRun : {"07.12.2026 18:30:00", "07.12.2026 10:00:00"}) {
    FormFixture local;
    local.WriteIni(local.PlanIni(lastRun));
    local.Start();
    local.app.AdvanceTime(1000);
    EXPECT_EQ(LogEntries(local.Log()), (Entries{{"08.12.2026 08:00:01", NextSet("08.12.2026 18:00:00")}}))
        << lastRun;
  }
}

TEST_F(Scheduler, AnInstantEqualToNowIsAnnouncedNotCaughtUp) {
  fx.clock.Set(Dec(8, 17, 59, 59));
  Start("07.12.2026 18:30:00");
  fx.ScriptOutput(1);
  for (int i = 0; i < 3; ++i) Tick();
  EXPECT_EQ(LogEntries(fx.Log()), (Entries{{"08.12.2026 18:00:00", NextSet("08.12.2026 18:00:00")},
                                           {"08.12.2026 18:00:02", Done("08.12.2026 18:00:02")}}));
}

TEST_F(Scheduler, PauseStopsEverythingAndBackupOnTimerMakesUpThePassedInstant) {
  Start("07.12.2026 18:30:00");
  Tick();
  ASSERT_EQ(f().NextRunTime(), Dec(8, 18));
  f().cbAction.UserPick(2);
  f().BtnOK.Click();
  EXPECT_FALSE(f().TimerTS.Enabled());
  AdvanceTo(Dec(8, 20));
  EXPECT_EQ(fx.fb.attaches, 0);
  EXPECT_EQ(LogEntries(fx.Log()).size(), 1u);
  f().miOpenFormClick();
  f().cbAction.UserPick(1);
  fx.ScriptOutput(1);
  f().BtnOK.Click();
  EXPECT_TRUE(f().BackupDue());
  Tick();
  EXPECT_EQ(fx.fb.starts, 1);
  EXPECT_EQ(fx.form->Settings().Live.LastRun, Dec(8, 20, 0, 1));
}

TEST_F(Scheduler, ShownWindowTicksOnlyInBackupOnTimer) {
  Start("07.12.2026 07:00:00", "OnceBackup");
  AdvanceTo(Dec(8, 9));
  EXPECT_TRUE(LogEntries(fx.Log()).empty());
  f().miCloseFormClick();
  fx.ScriptOutput(1);
  Tick();
  Tick();
  EXPECT_EQ(fx.fb.starts, 1) << "hidden with OnceBackup, the plan is followed";
}

TEST_F(Scheduler, AFailedPlannedBackupMovesOnAndIsNotRetried) {
  Start("07.12.2026 18:30:00");
  Tick();
  AdvanceTo(Dec(8, 17, 59));
  fx.fb.fail_attach = true;
  int backupsDuringBox = -1;
  fx.app.WhileBoxOpen = [&](const TMessageBox&) {
    const int before = fx.fb.attaches;
    fx.app.AdvanceTime(5000);
    backupsDuringBox = fx.fb.attaches - before;
  };
  AdvanceTo(Dec(8, 18, 10));
  EXPECT_EQ(fx.fb.attaches, 1);
  EXPECT_EQ(backupsDuringBox, 0);
  ASSERT_EQ(fx.app.Boxes.size(), 1u);
  EXPECT_EQ(fx.app.Boxes[0].title, "Samostatné zálohování dat");
  EXPECT_EQ(fx.app.Boxes[0].icon, TBoxIcon::Error);
  EXPECT_EQ(fx.form->Settings().Live.LastRun, Dec(7, 18, 30));
  EXPECT_EQ(f().NextRunTime(), Dec(9, 18));
  const Entries entries = LogEntries(fx.Log());
  ASSERT_EQ(entries.size(), 2u);
  EXPECT_EQ(entries[1].second, NextSet("09.12.2026 18:00:00"));
}

// Attach instants of the backups tried while the clock runs to the end.
std::vector<TDateTime> CatchUpAttempts(FormFixture& fx, TDateTime end, int* maxOpenBoxes) {
  std::vector<TDateTime> attempts;
  fx.fb.fail_attach = true;
  fx.fb.BeforeAttach = [&] { attempts.push_back(fx.clock.Now()); };
  int open = 0;
  fx.app.WhileBoxOpen = [&](const TMessageBox&) {
    *maxOpenBoxes = std::max(*maxOpenBoxes, ++open);
    fx.app.AdvanceTime(90'000);  // the user reads the box for a while
    --open;
  };
  fx.app.AdvanceTime(end.Ms() - fx.clock.Now().Ms());
  return attempts;
}

TEST_F(Scheduler, AFailedCatchUpIsRetriedThreeTimesAMinuteApartThenMovesOn) {
  for (const char* logToFile : {"A", "N"}) {
    FormFixture local;
    local.WriteIni(local.PlanIni("07.12.2026 07:00:00", "BackupOnTimer", logToFile));
    local.Start();
    int maxOpenBoxes = 0;
    const auto attempts = CatchUpAttempts(local, Dec(8, 8, 30), &maxOpenBoxes);
    ASSERT_EQ(attempts.size(), 3u) << "log " << logToFile;
    for (size_t i = 1; i < attempts.size(); ++i) {
      EXPECT_GE(attempts[i].Ms() - attempts[i - 1].Ms(), 60'000) << "log " << logToFile;
    }
    EXPECT_LE(maxOpenBoxes, 1);
    // The verbose failure is shown; the detached one is silent.
    EXPECT_EQ(local.app.Boxes.size(), logToFile[0] == 'A' ? 3u : 0u);
    EXPECT_EQ(local.form->NextRunTime(), Dec(8, 18)) << "log " << logToFile;
    EXPECT_EQ(local.form->Settings().Live.LastRun, Dec(7, 7));
  }
}

TEST_F(Scheduler, TicksAndOkDuringABackupStartNothing) {
  Start("07.12.2026 07:00:00");
  fx.ScriptOutput(25);
  int queries = 0;
  fx.fb.BeforeQuery = [&] {
    if (++queries != 5) return;
    // The server takes its time; ticks fall due and the user presses OK with
    // a one-time backup while the output streams in.
    fx.clock.Advance(5000);
    f().cbAction.UserPick(0);
    f().BtnOK.Click();
  };
  Tick();
  Tick();
  EXPECT_EQ(fx.fb.attaches, 1);
  EXPECT_EQ(fx.fb.starts, 1);
  EXPECT_EQ(queries, 26);
  const Entries entries = LogEntries(fx.Log());
  ASSERT_EQ(entries.size(), 2u);
  EXPECT_EQ(entries[1].second, Done("08.12.2026 08:00:07"));
}

TEST_F(Scheduler, TheOnlyWeekdayAWeekOnIsAnnouncedAtOnce) {
  // Monday 21:00, Monday's 18:00 done: the one instant left lies on the eighth date.
  fx.clock.Set(Dec(7, 21));
  std::string ini = fx.PlanIni("07.12.2026 18:00:05");
  ini.replace(ini.find("Days=1,2,3,4,5,6,7"), 18, "Days=1");
  fx.WriteIni(ini);
  fx.Start();
  Tick();
  EXPECT_EQ(LogEntries(fx.Log()), (Entries{{"07.12.2026 21:00:01", NextSet("14.12.2026 18:00:00")}}));
}

TEST_F(Scheduler, AnEmptyPlanIsSearchedAgainWhenItChanges) {
  std::string ini = fx.PlanIni("07.12.2026 20:30:00");
  ini.replace(ini.find("Days=1,2,3,4,5,6,7"), 18, "Days=");
  fx.WriteIni(ini);
  TFrmODBackupDB& form = fx.Start();
  fx.app.AdvanceTime(5000);
  EXPECT_TRUE(LogEntries(fx.Log()).empty()) << "nothing announced while nothing can come";
  EXPECT_FALSE(form.SlotPending());
  form.cbUt.Click();
  fx.app.AdvanceTime(1000);
  EXPECT_EQ(FormatDateTime(form.NextRunTime()), "08.12.2026 18:00:00") << "a plan change is searched at the next tick";
}

// One weekday, one time, and a LastRun after it (the clock was set back):
// the covered instant is skipped, and the same one a week on is backed up.
TEST_F(Scheduler, ACoveredOnlyInstantOfTheWeekIsBackedUpAWeekOn) {
  std::string ini = fx.PlanIni("08.12.2026 08:03:00");
  ini.replace(ini.find("Days=1,2,3,4,5,6,7"), 18, "Days=2");
  ini.replace(ini.find("Time_1=18:00:00"), 15, "Time_1=08:01:00");
  fx.WriteIni(ini);
  fx.Start();
  Tick();
  EXPECT_EQ(LogEntries(fx.Log()), (Entries{{"08.12.2026 08:00:01", NextSet("15.12.2026 08:01:00")}}));
  for (int week = 1; week <= 3; ++week) {
    fx.ScriptOutput(1);
    AdvanceTo(Dec(8, 8, 2).AddDays(7 * week));
    EXPECT_EQ(fx.fb.starts, week) << "week " << week;
  }
}

}  // namespace
}  // namespace odb
