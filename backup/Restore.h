#pragma once
// A restore a person asks for: a generation, or a mirror's gzip copy of one,
// into a new database beside the live one, through the server's restore
// service. The live database and any file that exists are never replaced.
#include <optional>
#include <string>

#include "backup/ODBackupUtils.h"
#include "backup/RunInterfaces.h"
#include "common/DateTime.h"
#include "service/RestoreService.h"

namespace odb {

// "yyyymmdd_hhnnss", for file names that sort by time.
std::string FileStamp(TDateTime value);

// Why the restore may not go into target, or nothing when it may: target is
// the live database (also through a link or another spelling of its path),
// or something (a file, a folder, a link) has the name already.
std::optional<std::string> RestoreTargetProblem(const std::string& target, const std::string& liveDatabase);

// A mirror copy, whose bytes must be decompressed before the server reads them.
bool IsGzipCopy(const std::string& path);

// Restores source into the new database target on the job's server with its
// login, copying the restore's output to output. A gzip copy is decompressed
// first to a temporary file under scratchPrefix (a folder the server reads),
// which is removed again however the restore ends. Raises, with nothing
// replaced, when the target is refused, the source is missing or cannot be
// decompressed, the server fails, or the output ends before the restore
// completed; a database the failed restore created is dropped again.
void RestoreBackup(TRestoreService& service, const TBackUpDatabaseSetings& job, const std::string& source,
                   const std::string& target, const std::string& scratchPrefix, TDateTime now, IMessagePump& pump,
                   IBackupOutput& output);

}  // namespace odb
