// The settings window keeps its status strip and the warnings in step with the
// state of the backups.
#include "app/BackupStatus.h"
#include "app/ODBackupDB.h"
#include "app/AppTexts.h"
#include "schedule/DmODBackup.h"

namespace odb {
namespace {

// Dark red on the strip's tooltip colour: readable, and unlike anything else
// in the window.
constexpr TColor kWarningColor = Rgb(176, 0, 0);

}  // namespace

void TFrmODBackupDB::BackupStatusTick() {
  if (!BackupRunning && !BackupInProgress) WatchDetachedBackup();
  if (Watch.Version() != WatchVersionShown) RefreshBackupStatus();
}

void TFrmODBackupDB::RefreshBackupStatus() {
  WatchVersionShown = Watch.Version();
  const TDateTime now = App.Now();
  const TBackupPlan plan = CurrentPlan(*this);
  const TDateTime lastGood = Watch.LastGood(Data.LastRun);
  const bool paused = EventAction == kPauseBackup;
  const TStatusFacts facts{lastGood, paused, plan.Empty(), paused ? BaseDateTime : NextPlannedInstant(plan, now),
                           Watch.Failure()};
  if (Notices.StripChanged(facts)) {
    const TStatusStrip strip = StatusStripText(facts);
    LaStatus.SetCaption(strip.Text());
    LaStatus.SetFontColor(strip.warning ? kWarningColor : clWindowText);
  }
  if (!TrayIconAdded) return;
  const TStaleness staleness = BackupStaleness(plan, EventAction == kBackupOnTimer, lastGood, now);
  if (const auto warning = Notices.Due(staleness, Watch.Failure(), now)) {
    App.Tray().ShowBalloon(std::string(msg::AppTitle), *warning);
  }
}

}  // namespace odb
