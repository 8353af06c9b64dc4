#include "backup/RestoreWatch.h"

#include <string_view>

#include "common/FileSystem.h"

namespace odb {
namespace {

// gbak's last words of a restore that read the whole backup. A cut backup
// makes the server ask for a next volume, and the output just stops there.
constexpr std::string_view kRestoreCompleted = "finishing, closing, and going home";
// Its line once the new database file exists; a name already taken gives
// "failed to create database" instead.
constexpr std::string_view kDatabaseCreated = "gbak:created database ";
// Measured on Firebird 3 with bytes of a backup overwritten: gbak then may say
// "do not recognize table attribute 0 -- continuing" or "adjusting an invalid
// decompression length from …", finish as usual, and the database lacks rows.
constexpr std::string_view kDamageMarks[] = {"-- continuing", "adjusting an invalid decompression length"};

}  // namespace

void TRestoreOutput::AddLine(std::string line) {
  if (line.find(kRestoreCompleted) != std::string::npos) completed_ = true;
  if (line.find(kDatabaseCreated) != std::string::npos) created_ = true;
  for (std::string_view mark : kDamageMarks) {
    if (damage_.empty() && line.find(mark) != std::string::npos) damage_ = line;
  }
  output_.AddLine(std::move(line));
}

void RunRestore(TRestoreService& service, const TBackUpDatabaseSetings& job, const std::string& backupFile,
                const std::string& database, IMessagePump& pump, TRestoreOutput& watched) {
  ConfigureConnection(service, job);
  service.BackupFile() = {backupFile};
  service.SetDatabaseName(database);
  service.SetVerbose(true);
  // Line by line, the round trips cost a quarter of the restore's time.
  RunVerbose(service, pump, watched, TOutputReading::ByReply);
}

void DiscardRestored(TRestoreService& service, const std::string& database) noexcept {
  if (!fs::IsPlainFile(database)) return;
  (void)fs::MakePrivate(database);
  try {
    service.DropDatabase();
  } catch (...) {
    // A restore cut short leaves a database the server may not open again.
  }
  if (fs::IsPlainFile(database)) (void)fs::RemoveFile(database);
}

}  // namespace odb
