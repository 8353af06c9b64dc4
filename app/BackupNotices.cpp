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
    standing_ = TStanding{true, failure->step == TFailedStep::Backup ? FormatMsg(msg::BackupFailed, first) : first};
    return standing_->text;
  }
  if (!staleness.overdue) {
    // Fresh again: the next time they go stale is told at once.
    staleWarnedAt_.reset();
    return std::nullopt;
  }
  if (staleWarnedAt_ && now < staleWarnedAt_->AddDays(1)) return std::nullopt;
  staleWarnedAt_ = now;
  standing_ = TStanding{false, FormatMsg(msg::BackupsNotCurrent, staleness.reason)};
  return standing_->text;
}

bool TBackupNotices::Outlived(const TStaleness& staleness, const std::optional<TFailedAttempt>& failure,
                              TDateTime lastGood) {
  if (!standing_) return false;
  const bool holds = standing_->failure
                         ? failure && failure == failureWarned_ && lastGood <= failure->at
                         : staleness.overdue && standing_->text == FormatMsg(msg::BackupsNotCurrent, staleness.reason);
  if (holds) return false;
  standing_.reset();
  return true;
}

}  // namespace odb
