#pragma once
// What the program knows about the state of its backups, gathered from the
// settings window: the plan as a value, and the state for `odbackup --status`.
#include <cstdint>
#include <string>
#include <vector>

#include "common/DateTime.h"
#include "schedule/Staleness.h"

namespace odb {

class TFrmODBackupDB;

// The live plan: ticked weekdays and the stored times of the table.
TBackupPlan CurrentPlan(const TFrmODBackupDB& form);

struct TGenerationFile {
  std::string name;
  uint64_t bytes = 0;
  TDateTime modified;
};

// ODBackup_<n>.fbk in number order, then ODBackup_1.old, as found in the folder.
std::vector<TGenerationFile> FindGenerations(const std::string& folder);

// The lines of `odbackup --status`; returns the exit status: 0 fresh, 1 stale, 3 none.
int StatusReport(TFrmODBackupDB& form, TDateTime now, std::string& out);

}  // namespace odb
