#pragma once
// When the status strip is redrawn and when a warning goes out (a tray balloon
// on Windows, a line on standard error headless): a newly found failure at
// once, but no more than one an hour (a failing catch-up is retried within
// minutes); stale backups at start and then at most once a day. A balloon
// whose news no longer holds is taken down.
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
  // True, once, when the balloon last shown reports what is no longer so: its
  // failure was followed by a good backup, or the backups it called stale are
  // current or stale for another reason.
  bool Outlived(const TStaleness& staleness, const std::optional<TFailedAttempt>& failure, TDateTime lastGood);

 private:
  struct TStanding {
    bool failure;
    std::string text;
  };
  std::optional<TStanding> standing_;
  std::optional<TStatusFacts> shown_;
  std::optional<TDateTime> staleWarnedAt_;
  std::optional<TFailedAttempt> failureWarned_;
  std::optional<TDateTime> failureWarnedAt_;
};

}  // namespace odb
