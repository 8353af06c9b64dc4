#pragma once
// A backup proven by a test restore: the newest backup restored through the
// service manager into a temporary database beside it, which the server then
// drops again. A backup that was never restored is a hope, not a backup.
#include <string>

#include "backup/ODBackupUtils.h"
#include "backup/RunInterfaces.h"
#include "backup/service/RestoreService.h"

namespace odb {

// The temporary database's file name, beside the generations.
inline constexpr const char* kVerifyDatabaseName = "ODBackup_verify.fdb";

// Restores job.BackupFile into database (a path as the server sees it) on the
// job's server with its login, copying the restore's output into the log view
// after what it holds, and drops the database. Raises the restore's error; the
// temporary database is dropped however the restore ends.
void VerifyBackupByRestore(TRestoreService& service, const TBackUpDatabaseSetings& job,
                           const std::string& database, IMessagePump& pump, IBackupOutput& output);

}  // namespace odb
