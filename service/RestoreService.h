#pragma once
// The restore service: backup file(s) into a new database, and the removal of
// that database again, for a test restore that must leave nothing behind.
#include "service/BackupService.h"

#include <string>
#include <vector>

namespace odb {

class TRestoreService : public TBackupRestoreService {
 public:
  using TBackupRestoreService::TBackupRestoreService;
  ~TRestoreService() override = default;

  // Backup file paths as the server sees them; blank lines are ignored.
  std::vector<std::string>& BackupFile() { return backup_file_; }
  const std::vector<std::string>& BackupFile() const { return backup_file_; }
  // The database to create, as the server sees it; the restore never replaces one.
  const std::string& DatabaseName() const { return database_name_; }
  void SetDatabaseName(const std::string& value) { database_name_ = value; }

  // Attaches the database named by DatabaseName on the component's server,
  // with its user name and password, and drops it, so the server deletes its
  // own file. Needs the component detached from the service manager.
  void DropDatabase();

 protected:
  std::string BuildStartBlock() override;

 private:
  std::string ConnectionString() const;

  std::vector<std::string> backup_file_;
  std::string database_name_;
};

}  // namespace odb
