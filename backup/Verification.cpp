#include "backup/Verification.h"

namespace odb {
namespace {

// A restore that failed part-way, or a verification cut short by the end of
// the program, leaves its database behind; the create would then fail on it.
void DropQuietly(TRestoreService& service) noexcept {
  try {
    service.DropDatabase();
  } catch (...) {
    // Usually there is nothing to drop; a real leftover makes the restore say so.
  }
}

}  // namespace

void VerifyBackupByRestore(TRestoreService& service, const TBackUpDatabaseSetings& job,
                           const std::string& database, IMessagePump& pump, IBackupOutput& output) {
  ConfigureConnection(service, job);
  service.BackupFile() = {job.BackupFile};
  service.SetDatabaseName(database);
  service.SetVerbose(true);
  DropQuietly(service);
  try {
    // Line by line, the round trips cost a quarter of the restore's time.
    RunVerbose(service, pump, output, TOutputReading::ByReply);
  } catch (...) {
    DropQuietly(service);
    throw;
  }
  service.DropDatabase();
}

}  // namespace odb
