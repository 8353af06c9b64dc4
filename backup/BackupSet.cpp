#include "backup/BackupSet.h"

#include "backup/BackupTexts.h"
#include "common/Errors.h"
#include "common/FileSystem.h"
#include "common/Format.h"

namespace odb {
namespace {

std::string Newest(const std::string& prefix, const TGenerationSet& set) {
  return GenerationName(prefix, 1, set.names);
}

}  // namespace

const TGenerationSet kBackupSet{kBackupNames, msg::PartialInTheWay, msg::NewestNotMoved, msg::NewestNotPlaced};
const TGenerationSet kMirrorSet{kMirrorNames, msg::MirrorPartialInTheWay, msg::MirrorNewestNotMoved,
                                msg::MirrorNewestNotPlaced};

std::string PartialBackupName(const std::string& prefix, const TGenerationSet& set) {
  return Newest(prefix, set) + ".part";
}

std::string FailedVerificationName(const std::string& prefix) { return prefix + "ODBackup_verify_failed.fbk"; }

std::vector<std::string> RemoveLeftovers(const std::string& folder, const TGenerationSet& set) {
  const std::string prefix = GenerationPrefix(folder);
  std::vector<std::string> removed;
  const std::string partial = PartialBackupName(prefix, set);
  // The server would write through a link planted here; removing the link
  // leaves what it points to alone.
  if (fs::EntryExists(partial)) {
    if (!fs::RemoveFile(partial)) throw EBackupSetError(FormatMsg(set.partialInTheWay, partial));
    removed.push_back(partial);
  }
  // Beside an ODBackup_1.fbk a ".rotating" is an older copy that a crash
  // left half-way through a shift; without one it is the newest backup and
  // the rotation puts it back.
  const std::string newest = Newest(prefix, set);
  const std::string rotating = RotatingName(newest);
  if (fs::FileExists(newest) && fs::IsPlainFile(rotating) && fs::RemoveFile(rotating)) {
    removed.push_back(rotating);
  }
  return removed;
}

void PlaceNewBackup(const std::string& folder, int count, const ShowErrorFn& showError,
                    const TGenerationSet& set) {
  const std::string prefix = GenerationPrefix(folder);
  const std::string partial = PartialBackupName(prefix, set);
  if (!RotateGenerations(set.names, folder, count, showError, LocalGenerationFileOps(set.names))) {
    (void)fs::RemoveFile(partial);
    throw EBackupSetError(std::string(set.newestNotMoved));
  }
  const std::string newest = Newest(prefix, set);
  if (!fs::RenameNoReplace(partial, newest)) {
    (void)fs::RemoveFile(partial);
    throw EBackupSetError(FormatMsg(set.newestNotPlaced, newest));
  }
}

std::string KeepFailedVerification(const std::string& folder) {
  const std::string prefix = GenerationPrefix(folder);
  const std::string partial = PartialBackupName(prefix, kBackupSet);
  const std::string kept = FailedVerificationName(prefix);
  if (fs::EntryExists(kept)) (void)fs::RemoveFile(kept);
  if (fs::RenameNoReplace(partial, kept)) return kept;
  (void)fs::RemoveFile(partial);
  return {};
}

}  // namespace odb
