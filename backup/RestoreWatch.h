#pragma once
// What every restore needs to be trusted: knowing whether it completed and
// whether it created its database, and removing what it created and nothing else.
#include <string>

#include "backup/ODBackupUtils.h"
#include "backup/RunInterfaces.h"
#include "service/RestoreService.h"

namespace odb {

// Passes the restore's lines on and notes how far it got.
class TRestoreOutput final : public IBackupOutput {
 public:
  explicit TRestoreOutput(IBackupOutput& output) : output_(output) {}
  void Clear() override { output_.Clear(); }
  void AddLine(std::string line) override;
  void Repaint() override { output_.Repaint(); }
  // gbak's closing words were seen: the whole backup was read.
  bool Completed() const { return completed_; }
  // The server said it created the database: a file at the name is this restore's.
  bool Created() const { return created_; }
  // gbak's first line saying it skipped or mended part of the backup and went
  // on; empty when none came. Such a restore ends as if whole, yet rows are lost.
  const std::string& Damage() const { return damage_; }

 private:
  IBackupOutput& output_;
  bool completed_ = false;
  bool created_ = false;
  std::string damage_;
};

// Restores backupFile into the new database on the job's server with its
// login, its lines through watched; the service's errors pass to the caller.
void RunRestore(TRestoreService& service, const TBackUpDatabaseSetings& job, const std::string& backupFile,
                const std::string& database, IMessagePump& pump, TRestoreOutput& watched);

// Drops the service's database (DatabaseName) when a regular file is there,
// then removes the file if the drop left it. A link planted there is left
// alone: the drop would delete whatever it points to.
void DiscardRestored(TRestoreService& service, const std::string& database) noexcept;

}  // namespace odb
