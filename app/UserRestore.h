#pragma once
// The restore a person asks for, from the loaded settings: the headless
// --restore and the tray's restore dialog both go through it.
#include <string>
#include <vector>

#include "app/BackupStatus.h"
#include "backup/RunInterfaces.h"

namespace odb {

class TApplication;
class TDataODBackup;
class TSettingsBinding;

struct TRestoreChoice {
  std::string folder;
  TGenerationFile file;
  bool mirror = false;
  std::string Path() const;
};

class TUserRestore {
 public:
  TUserRestore(TApplication& app, TDataODBackup& data, const TSettingsBinding& settings);

  // The generations of the backup folder, then the mirror's copies.
  std::vector<TRestoreChoice> Choices() const;
  std::string GenerationPath(int number) const;
  // A new file beside the database: "Ordava_obnova_<date>_<time>.fdb".
  std::string DefaultTarget() const;
  // Restores source into the new database target; returns the text that
  // tells how to put the restored file to use. Raises on any failure, with
  // nothing replaced. lockWaitMs: how long a backup running in the folder is
  // waited for (its rotation would move the generations under the restore).
  std::string Restore(const std::string& source, const std::string& target, IBackupOutput& output,
                      int lockWaitMs = 0);
  bool Running() const { return running_; }

 private:
  std::string BackupFolder() const;

  TApplication& app_;
  TDataODBackup& data_;
  const TSettingsBinding& settings_;
  bool running_ = false;
};

}  // namespace odb
