#pragma once
// The last backup attempt's outcome, kept in a small file of the program's own
// beside the configuration, so that what the program says about its backups
// after a restart is what it saw before it: a failure stays told until a
// backup works again.
#include <optional>
#include <string>

#include "common/DateTime.h"

namespace odb {

// CopyFailed: the backup was made (and verified when asked), its copy into the mirror failed.
enum class TAttemptOutcome { Made, Verified, Failed, VerificationFailed, CopyFailed };

struct TAttemptRecord {
  TDateTime at;
  TAttemptOutcome outcome = TAttemptOutcome::Made;
  std::string error;  // the error's first line; empty after a success
  bool Failed() const { return outcome != TAttemptOutcome::Made && outcome != TAttemptOutcome::Verified; }
};

// The configuration's name with ".state" for its extension.
std::string AttemptRecordPath(const std::string& iniFileName);

// Replaces the file in one atomic step; raises EIniFileError when it cannot.
void SaveAttemptRecord(const std::string& path, const TAttemptRecord& record);
// Nothing when the file is missing or does not hold a whole record.
std::optional<TAttemptRecord> LoadAttemptRecord(const std::string& path);

}  // namespace odb
