// The settings window keeps its status strip and the warnings in step with the
// state of the backups.
#include "app/BackupStatus.h"
#include "app/ODBackupDB.h"
#include "app/AppTexts.h"
#include "schedule/ScheduleComputation.h"

namespace odb {
namespace {

// Dark red on the strip's tooltip colour: readable, and unlike anything else
// in the window.
constexpr TColor kWarningColor = Rgb(176, 0, 0);

}  // namespace

void TFrmODBackupDB::BackupStatusTick() {
  if (!BackupRunning()) WatchDetachedBackup();
  if (backup_.Watch.Version() != WatchVersionShown) RefreshBackupStatus();
}

void TFrmODBackupDB::RefreshBackupStatus() {
  WatchVersionShown = backup_.Watch.Version();
  const TDateTime now = App.Now();
  const TBackupPlan& plan = settings_.Live.Plan;
  const TDateTime lastGood = settings_.Live.LastRun;
  const bool paused = EventAction().Kind() == TActionKind::PauseBackup;
  const TStatusFacts facts{lastGood, paused, plan.Empty(), paused ? BaseDateTime : NextPlannedInstant(plan, now),
                           backup_.Watch.Failure(), backup_.Progress()};
  if (Notices.StripChanged(facts)) {
    const TStatusStrip strip = StatusStripText(facts);
    LaStatus.SetCaption(strip.Text());
    LaStatus.SetFontColor(strip.warning ? kWarningColor : clWindowText);
  }
  if (!trayIconAdded_) return;
  if (TrayTip() != trayTipShown_) ModifyTrayEntry();
  const TStaleness staleness = BackupStaleness(plan, EventAction().Kind() == TActionKind::BackupOnTimer, lastGood, now);
  if (const auto warning = Notices.Due(staleness, backup_.Watch.Failure(), now)) {
    App.Tray().ShowBalloon(std::string(msg::AppTitle), *warning);
  } else if (Notices.Outlived(staleness, backup_.Watch.Failure(), lastGood)) {
    App.Tray().HideBalloon();
  }
}

}  // namespace odb
