#include "app/UserRestore.h"

#include "app/AppTexts.h"
#include "app/MessagePump.h"
#include "app/RunBackup.h"
#include "app/Settings.h"
#include "backup/Generations.h"
#include "backup/ODBackupUtils.h"
#include "backup/Restore.h"
#include "common/Errors.h"
#include "common/FileLock.h"
#include "common/FlagGuard.h"
#include "common/Format.h"
#include "common/Text.h"
#include "platform/Application.h"
#include "schedule/DmODBackup.h"

namespace odb {

std::string TRestoreChoice::Path() const { return GenerationPrefix(folder) + file.name; }

TUserRestore::TUserRestore(TApplication& app, TDataODBackup& data, const TSettingsBinding& settings)
    : app_(app), data_(data), settings_(settings) {}

std::string TUserRestore::BackupFolder() const { return settings_.BackupFolder(); }

std::vector<TRestoreChoice> TUserRestore::Choices() const {
  std::vector<TRestoreChoice> choices;
  for (TGenerationFile& file : FindGenerations(BackupFolder())) choices.push_back({BackupFolder(), std::move(file), false});
  const std::string mirror = settings_.MirrorFolder();
  if (mirror.empty()) return choices;
  for (TGenerationFile& file : FindGenerations(mirror, kMirrorNames)) choices.push_back({mirror, std::move(file), true});
  return choices;
}

std::string TUserRestore::GenerationPath(int number) const {
  return GenerationPrefix(BackupFolder()) + "ODBackup_" + std::to_string(number) + ".fbk";
}

std::string TUserRestore::DefaultTarget() const {
  const std::string& database = settings_.Live.DatabaseName;
  // The database's own delimiter: it is a path as the server sees it.
  const size_t cut = database.find_last_of(database.find('/') != std::string::npos ? "/" : "\\");
  const std::string folder = cut == std::string::npos ? std::string() : database.substr(0, cut + 1);
  return folder + "Ordava_obnova_" + FileStamp(app_.Now()) + ".fdb";
}

std::string TUserRestore::Restore(const std::string& source, const std::string& target, IBackupOutput& output,
                                  int lockWaitMs) {
  if (running_) throw Exception(std::string(msg::RestoreRunning));
  TFlagGuard running(running_);
  const TBackUpDatabaseSetings job = ConnectionJob(settings_.Live, settings_.IniFileName());
  const std::string prefix = GenerationPrefix(BackupFolder());
  TFileLock folder(prefix + "ODBackup.lock");
  if (folder.WaitFor(lockWaitMs) == TFileLock::TState::Busy) throw Exception(FormatMsg(msg::RestoreFolderBusy, BackupFolder()));
  TAppMessagePump pump(app_);
  RestoreBackup(data_.UserRestoreService(), job, source, target, prefix, app_.Now(), pump, output);
  return FormatMsg(msg::RestoreDone, target) + FormatMsg(msg::RestoreHowToUse, target) +
         FormatMsg(msg::RestoreHowToSwap, job.DatabaseName);
}

}  // namespace odb
