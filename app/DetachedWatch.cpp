// The settings window's side of the backup watch: a tick asks a detached
// backup how it went, and a failed attempt is written down and told.
#include "app/AppTexts.h"
#include "app/ODBackupDB.h"
#include "common/FileSystem.h"
#include "common/Format.h"
#include "log/ActivityLog.h"
#include "schedule/DmODBackup.h"

namespace odb {

void TFrmODBackupDB::WatchDetachedBackup() {
  const bool startedByOk = backup_.DetachedStartedByUser();
  const std::optional<TFailedAttempt> failure = backup_.WatchDetached();
  if (!failure) return;
  const std::string text =
      failure->step == TFailedStep::Backup ? FormatMsg(msg::BackupFailed, failure->error) : failure->error;
  // The detached mode is the one with the log box unticked, so a failure that
  // only the watch sees would reach no log at all; it goes to the log file
  // whenever there is one.
  const std::string path = settings_.Live.LogFileName;
  if (fs::FileExists(path)) (void)AppendLogEntry(path, text, App.Now());
  // The user who pressed OK is told as a verbose backup would tell; the
  // plan's failures go to the strip and the tray.
  if (startedByOk) App.ErrorBox(failure->error);
}

}  // namespace odb
