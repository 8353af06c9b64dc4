#pragma once
// The tray's restore dialog as the program describes it: the backups to pick
// from, the proposed new database, and the restore to run when the user asks.
#include <cstddef>
#include <functional>
#include <string>
#include <vector>

#include "backup/RunInterfaces.h"

namespace odb {

struct TRestoreDialog {
  // One line per backup: its folder kind, file name, date and size.
  std::vector<std::string> choices;
  std::string target;
  // Restores choices[index] into target, its lines into output; returns the
  // text for the end of the dialog, or raises with the reason.
  std::function<std::string(size_t index, const std::string& target, IBackupOutput& output)> restore;
};

}  // namespace odb
