#pragma once
// The mirror: a second, compressed copy of each new backup in a folder on
// another disk, a USB disk or a network share, with generations of its own
// (ODBackup_1.fbk.gz the newest). The program makes it itself from the backup
// it can read, so it works whichever computer the server runs on.
#include <cstdint>
#include <string>
#include <vector>

#include "backup/Generations.h"
#include "backup/RunInterfaces.h"

namespace odb {

struct TMirrorCopy {
  std::string path;  // the new newest copy
  uint64_t backupBytes = 0;
  uint64_t copyBytes = 0;
};

// Removes what an interrupted copy left in the mirror (its temporary file, a
// ".rotating" beside the newest copy); returns the paths removed, for the log.
// Raises EBackupSetError when the mirror is no reachable folder or a leftover
// cannot go.
std::vector<std::string> RemoveMirrorLeftovers(const std::string& mirror);

// Compresses the backup into a temporary file in the mirror, flushed to the
// disk, reads it back against the backup, shifts the copies (countText as the
// backup count is read, below two keeping only the newest) and puts the new one
// in place. Raises EBackupSetError (EConvertError, ERangeError for the count)
// with the reason; nothing of a failed copy stays in the mirror, and the
// copies before it stay as they were. The pump, when given, is let run
// between blocks: a copy of gigabytes takes a minute.
TMirrorCopy CopyToMirror(const std::string& backup, const std::string& mirror, std::string_view countText,
                         const ShowErrorFn& showError, IMessagePump* pump = nullptr);

}  // namespace odb
