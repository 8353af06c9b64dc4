#pragma once
// A backup proven by a test restore: the new backup restored through the
// service manager into a temporary database beside it, which the server then
// drops again. A backup that was never restored is a hope, not a backup.
#include <string>

#include "backup/ODBackupUtils.h"
#include "backup/RunInterfaces.h"
#include "service/RestoreService.h"
#include "common/DateTime.h"

namespace odb {

// A name for this run's temporary database under the folder prefix
// ("ODBackup_verify_<date>_<time with milliseconds>.fdb"), that nothing has yet. Raises when
// every candidate is taken.
std::string NewVerifyDatabaseName(const std::string& prefix, TDateTime now);

// Deletes, as files, the temporary databases that earlier runs left under
// the prefix (ODBackup_verify*.fdb). Links and anything but regular files are
// left alone: what they point to is not the program's.
void RemoveVerifyLeftovers(const std::string& prefix);

// Restores backupFile into database (a path as the server sees it, that must
// not exist yet) on the job's server with its login, copying the restore's
// output into the log view after what it holds. Raises the restore's error,
// and RestoreIncomplete when the output ended before the restore completed.
// Whatever the restore created is dropped again, and nothing else.
void VerifyBackupByRestore(TRestoreService& service, const TBackUpDatabaseSetings& job,
                           const std::string& backupFile, const std::string& database,
                           IMessagePump& pump, IBackupOutput& output);

}  // namespace odb
