#include "backup/Verification.h"

#include "backup/BackupTexts.h"
#include "backup/Restore.h"
#include "backup/RestoreWatch.h"
#include "common/Errors.h"
#include "common/FileSystem.h"
#include "common/Format.h"

namespace odb {
namespace {

constexpr std::string_view kVerifyHead = "ODBackup_verify", kVerifyTail = ".fdb";

}  // namespace

std::string NewVerifyDatabaseName(const std::string& prefix, TDateTime now) {
  // With the milliseconds: two runs within a second get names of their own.
  const std::string ms = std::to_string(1000 + now.Ms() % 1000).substr(1);
  const std::string base = prefix + std::string(kVerifyHead) + "_" + FileStamp(now) + ms;
  for (int n = 1; n <= 100; ++n) {
    const std::string name = base + (n == 1 ? "" : "_" + std::to_string(n)) + std::string(kVerifyTail);
    if (!fs::EntryExists(name)) return name;
  }
  throw Exception(FormatMsg(msg::VerifyNameTaken, prefix));
}

void RemoveVerifyLeftovers(const std::string& prefix) {
  for (const std::string& name : fs::ListFiles(prefix)) {
    if (name.size() < kVerifyHead.size() + kVerifyTail.size() || !name.starts_with(kVerifyHead) ||
        !name.ends_with(kVerifyTail)) {
      continue;
    }
    if (fs::IsPlainFile(prefix + name)) (void)fs::RemoveFile(prefix + name);
  }
}

void VerifyBackupByRestore(TRestoreService& service, const TBackUpDatabaseSetings& job,
                           const std::string& backupFile, const std::string& database,
                           IMessagePump& pump, IBackupOutput& output) {
  TRestoreOutput watched(output);
  try {
    RunRestore(service, job, backupFile, database, pump, watched);
  } catch (...) {
    DiscardRestored(service, database);
    throw;
  }
  DiscardRestored(service, database);
  if (!watched.Completed()) throw Exception(std::string(msg::RestoreIncomplete));
  if (!watched.Damage().empty()) throw Exception(FormatMsg(msg::RestoreDamaged, watched.Damage()));
}

}  // namespace odb
