// The settings window's side of the backup watch: a tick asks a detached
// backup how it went, and a failed attempt is written down.
#include "app/AppTexts.h"
#include "app/ODBackupDB.h"
#include "common/FileSystem.h"
#include "common/Format.h"
#include "log/ActivityLog.h"
#include "schedule/DmODBackup.h"

namespace odb {

std::string CurrentErrorText() {
  try {
    throw;
  } catch (const std::exception& error) {
    return error.what();
  } catch (...) {
    return {};
  }
}

void TFrmODBackupDB::WatchDetachedBackup() {
  TBackupWatch& watch = backup_.Watch;
  if (!watch.Watching()) return;
  const std::optional<TFailedAttempt> failure = watch.Poll(Data.BackupService(), App.Now());
  if (!failure) return;
  // The detached mode is the one with the log box unticked, so a failure that
  // only the watch sees would reach no log at all; it goes to the log file
  // whenever there is one.
  const std::string path = EdtLogFilePath.Text();
  if (fs::FileExists(path)) {
    (void)AppendLogEntry(path, FormatMsg(msg::BackupFailed, failure->error), App.Now());
  }
}


}  // namespace odb
