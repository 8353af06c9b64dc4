// The status strip and the warnings through the settings window on virtual
// time: drawn when the state changes, not on every tick; a failure in the
// warning colour until the next success; stale backups warned at start and
// then once a day.
#include <gtest/gtest.h>

#include "FormFixture.h"

namespace odb {
namespace {

using test::FormFixture;

TDateTime Dec(int day, int h, int m = 0, int s = 0) { return TDateTime::Encode(2026, 12, day, h, m, s); }

struct CaptionCounter : TControlView {
  int changes = 0;
  std::string last;
  void Changed(TControl& control) override {
    if (control.Caption() != last) ++changes;
    last = control.Caption();
  }
};

TEST(BackupStatusWindow, StripFollowsTheBackupsNotTheTicks) {
  FormFixture fx;
  fx.WriteIni(fx.PlanIni("07.12.2026 18:30:00"));
  TFrmODBackupDB& form = fx.Start();
  EXPECT_EQ(form.LaStatus.Caption(), "Poslední záloha: 07.12.2026 18:30:00\r\nPříští záloha: 08.12.2026 18:00:00");
  EXPECT_EQ(form.LaStatus.FontColor(), clWindowText);
  CaptionCounter counter;
  counter.last = form.LaStatus.Caption();
  form.LaStatus.SetView(&counter);
  fx.app.AdvanceTime(3'600'000);
  EXPECT_EQ(counter.changes, 0);

  fx.ScriptOutput(3);
  fx.app.AdvanceTime(Dec(8, 18, 0, 3).Ms() - fx.clock.Now().Ms());
  EXPECT_EQ(form.LaStatus.Caption().find("Poslední záloha: 08.12.2026 18:00:0"), 0u) << form.LaStatus.Caption();
  EXPECT_NE(form.LaStatus.Caption().find("Příští záloha: 09.12.2026 18:00:00"), std::string::npos);
  // "Probíhá záloha…" while it ran (3 lines, too few to count), then the result.
  EXPECT_EQ(counter.changes, 2);
  EXPECT_TRUE(fx.app.TrayEntry.Balloons.empty());
  form.LaStatus.SetView(nullptr);
}

TEST(BackupStatusWindow, AFailureShowsInTheWarningColourUntilTheNextSuccess) {
  FormFixture fx;
  fx.WriteIni(fx.PlanIni("07.12.2026 18:30:00"));
  TFrmODBackupDB& form = fx.Start();
  fx.fb.fail_query = true;
  fx.fb.messages = {"cannot open backup file /zalohy/ODBackup_1.fbk", "Exiting before completion due to errors"};
  fx.app.AdvanceTime(Dec(8, 18, 0, 3).Ms() - fx.clock.Now().Ms());
  ASSERT_EQ(fx.app.Boxes.size(), 1u);
  const std::string caption = form.LaStatus.Caption();
  EXPECT_NE(caption.find("Poslední záloha: 07.12.2026 18:30:00"), std::string::npos) << caption;
  EXPECT_NE(caption.find("\r\nPoslední pokus selhal: 08.12.2026 18:00:0"), std::string::npos) << caption;
  EXPECT_NE(caption.find("\r\ncannot open backup file /zalohy/ODBackup_1.fbk"), std::string::npos) << caption;
  EXPECT_EQ(caption.find("Exiting"), std::string::npos);
  EXPECT_NE(form.LaStatus.FontColor(), clWindowText);
  ASSERT_EQ(fx.app.TrayEntry.Balloons.size(), 1u);
  EXPECT_EQ(fx.app.TrayEntry.Balloons[0], "Záloha selhala: cannot open backup file /zalohy/ODBackup_1.fbk");

  // The next day's backup works.
  fx.fb.fail_query = false;
  fx.ScriptOutput(2);
  fx.app.AdvanceTime(Dec(9, 18, 0, 3).Ms() - fx.clock.Now().Ms());
  EXPECT_EQ(form.LaStatus.Caption().find("selhal"), std::string::npos) << form.LaStatus.Caption();
  EXPECT_EQ(form.LaStatus.FontColor(), clWindowText);
  EXPECT_EQ(fx.app.TrayEntry.BalloonsTakenDown, 1) << "the failure's balloon outlived its news";
}

TEST(BackupStatusWindow, TheStartBalloonGoesOnceABackupIsMade) {
  FormFixture fx;
  fx.WriteIni(fx.PlanIni(""));
  fx.ScriptOutput(2);
  fx.Start();
  ASSERT_EQ(fx.app.TrayEntry.Balloons.size(), 1u);
  EXPECT_EQ(fx.app.TrayEntry.Balloons[0].rfind("Zálohy nejsou aktuální: Zatím žádná záloha", 0), 0u);
  EXPECT_EQ(fx.app.TrayEntry.BalloonsTakenDown, 0);
  // The catch-up on the first ticks makes the first backup.
  fx.app.AdvanceTime(5'000);
  ASSERT_NE(fx.Log().find("Záloha byla provedena"), std::string::npos) << fx.Log();
  EXPECT_EQ(fx.app.TrayEntry.BalloonsTakenDown, 1);
  fx.app.AdvanceTime(3'600'000);
  EXPECT_EQ(fx.app.TrayEntry.BalloonsTakenDown, 1);
  EXPECT_EQ(fx.app.TrayEntry.Balloons.size(), 1u);
}

TEST(BackupStatusWindow, PausedAndStaleIsWarnedAtStartAndOnceADay) {
  FormFixture fx;
  fx.WriteIni(fx.PlanIni("30.11.2026 10:00:00", "PauseBackup"));
  TFrmODBackupDB& form = fx.Start();
  form.Hide();  // paused and hidden: TimerTS stops
  EXPECT_EQ(form.LaStatus.Caption(), "Poslední záloha: 30.11.2026 10:00:00\r\nZálohy pozastaveny");
  ASSERT_EQ(fx.app.TrayEntry.Balloons.size(), 1u);
  EXPECT_EQ(fx.app.TrayEntry.Balloons[0], "Zálohy nejsou aktuální: Poslední záloha je starší než 7 dní");
  fx.app.AdvanceTime(TDateTime::MsPerDay - 60'000);
  EXPECT_EQ(fx.app.TrayEntry.Balloons.size(), 1u);
  fx.app.AdvanceTime(60'000);
  EXPECT_EQ(fx.app.TrayEntry.Balloons.size(), 2u);
  EXPECT_EQ(fx.app.TrayEntry.BalloonsTakenDown, 0) << "still stale: the balloon stands until the next";
  EXPECT_TRUE(fx.Log().find("Záloha") == std::string::npos);
}

TEST(BackupStatusWindow, EmptyPlanIsNamed) {
  FormFixture fx;
  fx.WriteIni("[Settings]\nEventAction=BackupOnTimer\nEventCountTimes=0\n");
  TFrmODBackupDB& form = fx.Start();
  EXPECT_EQ(form.LaStatus.Caption(), "Zatím žádná záloha\r\nPlán záloh je prázdný");
}

}  // namespace
}  // namespace odb
