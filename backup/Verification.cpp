#include "backup/Verification.h"

#include "backup/BackupTexts.h"
#include "common/Errors.h"
#include "common/FileSystem.h"
#include "common/Format.h"

namespace odb {
namespace {

constexpr std::string_view kVerifyHead = "ODBackup_verify", kVerifyTail = ".fdb";

// gbak's last words of a restore that read the whole backup. A cut backup
// makes the server ask for a next volume, and the output just stops there.
constexpr std::string_view kRestoreCompleted = "finishing, closing, and going home";

// Passes the restore's lines on and notes whether it completed.
class TRestoreOutput final : public IBackupOutput {
 public:
  explicit TRestoreOutput(IBackupOutput& output) : output_(output) {}
  void Clear() override { output_.Clear(); }
  void AddLine(std::string line) override {
    if (line.find(kRestoreCompleted) != std::string::npos) completed_ = true;
    output_.AddLine(std::move(line));
  }
  void Repaint() override { output_.Repaint(); }
  bool Completed() const { return completed_; }

 private:
  IBackupOutput& output_;
  bool completed_ = false;
};

// Only a regular file at the name, made by this run's restore, is dropped: a
// link planted there would make the drop delete whatever it points to.
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

}  // namespace

std::string NewVerifyDatabaseName(const std::string& prefix, TDateTime now) {
  std::string stamp = FormatDateTime(now);  // dd.mm.yyyy hh:nn:ss
  // With the milliseconds: two runs within a second get names of their own.
  const std::string ms = std::to_string(1000 + now.Ms() % 1000).substr(1);
  const std::string base = prefix + std::string(kVerifyHead) + "_" + stamp.substr(6, 4) + stamp.substr(3, 2) +
                           stamp.substr(0, 2) + "_" + stamp.substr(11, 2) + stamp.substr(14, 2) + stamp.substr(17, 2) +
                           ms;
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
  ConfigureConnection(service, job);
  service.BackupFile() = {backupFile};
  service.SetDatabaseName(database);
  service.SetVerbose(true);
  TRestoreOutput watched(output);
  try {
    // Line by line, the round trips cost a quarter of the restore's time.
    RunVerbose(service, pump, watched, TOutputReading::ByReply);
  } catch (...) {
    DiscardRestored(service, database);
    throw;
  }
  DiscardRestored(service, database);
  if (!watched.Completed()) throw Exception(std::string(msg::RestoreIncomplete));
}

}  // namespace odb
