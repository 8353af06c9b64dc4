#pragma once
// The backup service: one database into the listed backup file(s).
#include "service/ControlService.h"

#include <string>
#include <vector>

namespace odb {

class TBackupRestoreService : public TControlAndQueryService {
 public:
  using TControlAndQueryService::TControlAndQueryService;

  bool Verbose() const { return verbose_; }
  void SetVerbose(bool value) { verbose_ = value; }

 private:
  bool verbose_ = false;
};

class TBackupService : public TBackupRestoreService {
 public:
  using TBackupRestoreService::TBackupRestoreService;
  ~TBackupService() override = default;

  // Path of the database as the server sees it.
  const std::string& DatabaseName() const { return database_name_; }
  void SetDatabaseName(const std::string& value) { database_name_ = value; }
  // Backup file paths as the server sees them; blank lines are ignored.
  std::vector<std::string>& BackupFile() { return backup_file_; }
  const std::vector<std::string>& BackupFile() const { return backup_file_; }
  TBackupOptions Options() const { return options_; }
  void SetOptions(TBackupOptions value) { options_ = value; }

 protected:
  std::string BuildStartBlock() override;

 private:
  std::string database_name_;
  std::vector<std::string> backup_file_;
  TBackupOptions options_;
};

}  // namespace odb
