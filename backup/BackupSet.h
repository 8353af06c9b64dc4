#pragma once
// The backup set around a run: the server writes the new backup under a name
// of its own, and only a complete backup takes the newest generation's place,
// so that an unfinished, failed or damaged one never displaces a good one.
#include <string>
#include <string_view>
#include <vector>

#include "backup/Generations.h"

namespace odb {

// A set of generations with the texts of what can go wrong in it (one %s:
// the file's path).
struct TGenerationSet {
  TGenerationNames names;
  std::string_view partialInTheWay, newestNotMoved, newestNotPlaced;
};
// The backups, and the mirror's compressed copies of them.
extern const TGenerationSet kBackupSet;
extern const TGenerationSet kMirrorSet;

// The name a new generation is written to, beside the others.
std::string PartialBackupName(const std::string& prefix, const TGenerationSet& set = kBackupSet);
// Where a backup that failed its test restore is kept; at most one such file.
std::string FailedVerificationName(const std::string& prefix);

// Removes what an interrupted run left in the folder: the partial backup (a
// link there is removed, never followed), and a ".rotating" beside an existing
// ODBackup_1.fbk. Returns the paths removed, for the log. Raises
// EBackupSetError when something at the partial backup's name cannot go.
std::vector<std::string> RemoveLeftovers(const std::string& folder, const TGenerationSet& set = kBackupSet);

// Shifts the generations and renames the complete partial backup to
// ODBackup_1.fbk. Raises EBackupSetError when it cannot be put in place; the
// partial backup is then removed and the generations are where the rotation
// left them.
void PlaceNewBackup(const std::string& folder, int count, const ShowErrorFn& showError,
                    const TGenerationSet& set = kBackupSet);

// Keeps the partial backup as the failed verification's file, replacing an
// earlier one; returns its path, or empty when it could not be kept (then it
// is removed).
std::string KeepFailedVerification(const std::string& folder);

}  // namespace odb
