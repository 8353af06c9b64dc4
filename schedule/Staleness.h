#pragma once
// Whether the backups are up to date: the rule behind the status strip, the
// tray warning and `odbackup --status`. Pure, so it runs on any clock.
#include <cstdint>
#include <string>
#include <vector>

#include "common/DateTime.h"
#include "config/ProgramSettings.h"

namespace odb {

// A planned instant counts as missed only this long after it has passed, so a
// backup that is still running, or a tick late, is not called stale.
inline constexpr int64_t kStaleMarginMs = 60 * 60'000;
// Without a plan to go by, a backup older than this is stale.
inline constexpr int kStaleDays = 7;

// Failed: the last attempt failed after the last good backup (not the
// rule's own verdict: the program adds it from what it saw).
enum class TBackupState { Fresh, Stale, None, Failed };

struct TStaleness {
  // None: no backup known yet; Stale, Fresh: by the rule.
  TBackupState state = TBackupState::None;
  // The rule's verdict; true also for None when the first backup is overdue.
  bool overdue = false;
  std::string reason;  // Czech, for the user
};

// lastGood: the last backup known to have worked, BaseDateTime when none.
TStaleness BackupStaleness(const TBackupPlan& plan, bool backupOnTimer, TDateTime lastGood,
                           TDateTime now);

const char* BackupStateName(TBackupState state);  // "fresh", "stale", "none", "failed"

}  // namespace odb
