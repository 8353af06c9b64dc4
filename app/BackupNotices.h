#pragma once
// When the status strip is redrawn and when a warning goes out (a tray balloon
// on Windows, a line on standard error headless): a newly found failure at
// once, but no more than one an hour (a failing catch-up is retried within
// minutes); stale backups at start and then at most once a day.
#include <optional>
#include <string>

#include "app/BackupWatch.h"
#include "app/StatusStrip.h"
#include "common/DateTime.h"
#include "schedule/Staleness.h"

namespace odb {

class TBackupNotices {
 public:
  // True when the facts differ from those last shown (always the first time).
  bool StripChanged(const TStatusFacts& facts);
  // The warning due now, if any.
  std::optional<std::string> Due(const TStaleness& staleness, const std::optional<TFailedAttempt>& failure,
                                 TDateTime now);

 private:
  std::optional<TStatusFacts> shown_;
  std::optional<TDateTime> staleWarnedAt_;
  std::optional<TFailedAttempt> failureWarned_;
  std::optional<TDateTime> failureWarnedAt_;
};

}  // namespace odb
