#include "app/BackupNotices.h"

#include "app/AppTexts.h"
#include "common/Format.h"

namespace odb {

bool TBackupNotices::StripChanged(const TStatusFacts& facts) {
  if (shown_ == facts) return false;
  shown_ = facts;
  return true;
}

std::optional<std::string> TBackupNotices::Due(const TStaleness& staleness,
                                               const std::optional<TFailedAttempt>& failure, TDateTime now) {
  constexpr int64_t kHourMs = 3'600'000;
  if (failure && failure != failureWarned_ && (!failureWarnedAt_ || failureWarnedAt_->AddMs(kHourMs) <= now)) {
    failureWarned_ = failure;
    failureWarnedAt_ = now;
    const std::string first = FirstLine(failure->error);
    return failure->verification ? first : FormatMsg(msg::BackupFailed, first);
  }
  if (!staleness.overdue) {
    // Fresh again: the next time they go stale is told at once.
    staleWarnedAt_.reset();
    return std::nullopt;
  }
  if (staleWarnedAt_ && now < staleWarnedAt_->AddDays(1)) return std::nullopt;
  staleWarnedAt_ = now;
  return FormatMsg(msg::BackupsNotCurrent, staleness.reason);
}

}  // namespace odb
