#include "backup/BackupSet.h"

#include "backup/BackupTexts.h"
#include "common/Errors.h"
#include "common/FileSystem.h"
#include "common/Format.h"

namespace odb {
namespace {

std::string Newest(const std::string& prefix) { return prefix + "ODBackup_1.fbk"; }

}  // namespace

std::string PartialBackupName(const std::string& prefix) { return Newest(prefix) + ".part"; }

std::string FailedVerificationName(const std::string& prefix) { return prefix + "ODBackup_verify_failed.fbk"; }

std::vector<std::string> RemoveLeftovers(const std::string& folder) {
  const std::string prefix = GenerationPrefix(folder);
  std::vector<std::string> removed;
  const std::string partial = PartialBackupName(prefix);
  // The server would write through a link planted here; removing the link
  // leaves what it points to alone.
  if (fs::EntryExists(partial)) {
    if (!fs::RemoveFile(partial)) throw EBackupSetError(FormatMsg(msg::PartialInTheWay, partial));
    removed.push_back(partial);
  }
  // Beside an ODBackup_1.fbk a ".rotating" is an older copy that a crash
  // left half-way through a shift; without one it is the newest backup and
  // the rotation puts it back.
  const std::string rotating = RotatingName(Newest(prefix));
  if (fs::FileExists(Newest(prefix)) && fs::IsPlainFile(rotating) && fs::RemoveFile(rotating)) {
    removed.push_back(rotating);
  }
  return removed;
}

void PlaceNewBackup(const std::string& folder, int count, const ShowErrorFn& showError) {
  const std::string prefix = GenerationPrefix(folder);
  const std::string partial = PartialBackupName(prefix);
  if (!RotateBackups(folder, count, showError)) {
    (void)fs::RemoveFile(partial);
    throw EBackupSetError(std::string(msg::NewestNotMoved));
  }
  if (!fs::RenameNoReplace(partial, Newest(prefix))) {
    (void)fs::RemoveFile(partial);
    throw EBackupSetError(FormatMsg(msg::NewestNotPlaced, Newest(prefix)));
  }
}

std::string KeepFailedVerification(const std::string& folder) {
  const std::string prefix = GenerationPrefix(folder);
  const std::string partial = PartialBackupName(prefix);
  const std::string kept = FailedVerificationName(prefix);
  if (fs::EntryExists(kept)) (void)fs::RemoveFile(kept);
  if (fs::RenameNoReplace(partial, kept)) return kept;
  (void)fs::RemoveFile(partial);
  return {};
}

}  // namespace odb
