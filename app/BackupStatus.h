#pragma once
// What the program knows about the state of its backups, from the live
// settings, the backup folder and the last attempt: `odbackup --status`.
#include <cstdint>
#include <optional>
#include <string>
#include <vector>

#include "app/BackupWatch.h"
#include "backup/Generations.h"
#include "common/DateTime.h"
#include "schedule/Staleness.h"

namespace odb {

class TSettingsBinding;

struct TGenerationFile {
  std::string name;
  uint64_t bytes = 0;
  TDateTime modified;
};

// The set's files in number order (ODBackup_<n>.fbk, then ODBackup_1.old; the
// mirror's ODBackup_<n>.fbk.gz), as found in the folder.
std::vector<TGenerationFile> FindGenerations(const std::string& folder, const TGenerationNames& names = kBackupNames);

// The failed attempt an earlier run of the program recorded beside the
// configuration, or nothing when the last attempt went well.
std::optional<TFailedAttempt> RecordedFailure(const std::string& iniFileName);

// The lines of `odbackup --status`; returns the exit status: 0 fresh, 1 stale
// or failed, 3 none. failure: the last failed attempt, when one is on record.
int StatusReport(const TSettingsBinding& settings, const std::optional<TFailedAttempt>& failure, TDateTime now,
                 std::string& out);

}  // namespace odb
