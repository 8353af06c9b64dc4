#include "schedule/Staleness.h"

#include <optional>

#include "common/Format.h"
#include "schedule/ScheduleTexts.h"

namespace odb {
namespace {

// The earliest planned instant of the last seven days that passed more than the
// margin ago and after lastGood.
std::optional<TDateTime> FirstMissed(const TBackupPlan& plan, TDateTime lastGood, TDateTime now) {
  const TDateTime from = now.AddDays(-kStaleDays);
  const TDateTime until = now.AddMs(-kStaleMarginMs);
  for (int k = kStaleDays; k >= 0; --k) {
    const TDateTime day = now.DateOnly().AddDays(-k);
    if (!(plan.daysMask & (1u << day.IsoWeekday()))) continue;
    std::optional<TDateTime> first;
    for (const TDateTime time : plan.times) {
      const TDateTime c = day + time;
      if (from <= c && c < until && lastGood < c && (!first || c < *first)) first = c;
    }
    if (first) return first;
  }
  return std::nullopt;
}

TStaleness ByPlan(const TBackupPlan& plan, TDateTime lastGood, TDateTime now) {
  const bool never = lastGood == BaseDateTime;
  const std::optional<TDateTime> missed = FirstMissed(plan, lastGood, now);
  if (!missed) {
    return {never ? TBackupState::None : TBackupState::Fresh, false,
            std::string(never ? msg::NoBackupYet : msg::FreshPlanKept)};
  }
  const std::string instant = FormatDateTime(*missed);
  if (never) return {TBackupState::None, true, FormatMsg(msg::NoBackupOverdue, instant)};
  return {TBackupState::Stale, true, FormatMsg(msg::StalePlannedMissed, instant)};
}

}  // namespace

TStaleness BackupStaleness(const TBackupPlan& plan, bool backupOnTimer, TDateTime lastGood,
                           TDateTime now) {
  // A clock that was once ahead, or a hand-edited value: never a silent "fresh".
  if (now < lastGood) {
    return {TBackupState::Stale, true, FormatMsg(msg::LastRunInFuture, FormatDateTime(lastGood))};
  }
  if (backupOnTimer && !plan.Empty()) return ByPlan(plan, lastGood, now);
  if (lastGood == BaseDateTime) return {TBackupState::None, true, std::string(msg::NoBackupYet)};
  if (lastGood < now.AddDays(-kStaleDays)) return {TBackupState::Stale, true, std::string(msg::StaleTooOld)};
  return {TBackupState::Fresh, false, std::string(msg::FreshRecent)};
}

const char* BackupStateName(TBackupState state) {
  switch (state) {
    case TBackupState::Fresh:
      return "fresh";
    case TBackupState::Stale:
      return "stale";
    case TBackupState::None:
      return "none";
    case TBackupState::Failed:
      return "failed";
  }
  return "none";
}

}  // namespace odb
