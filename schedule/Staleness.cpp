#include "schedule/Staleness.h"

#include <optional>

#include "common/Format.h"

namespace odb {
namespace {

constexpr std::string_view kPlannedMissed = "Plánovaná záloha %s neproběhla";
constexpr std::string_view kPlanKept = "Zálohy proběhly podle plánu";
constexpr std::string_view kTooOld = "Poslední záloha je starší než 7 dní";
constexpr std::string_view kRecent = "Poslední záloha je mladší než 7 dní";
constexpr std::string_view kNoneYet = "Zatím žádná záloha";
constexpr std::string_view kNoneOverdue = "Zatím žádná záloha, plánovaná záloha %s neproběhla";

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
            std::string(never ? kNoneYet : kPlanKept)};
  }
  const std::string instant = FormatDateTime(*missed);
  if (never) return {TBackupState::None, true, FormatMsg(kNoneOverdue, instant)};
  return {TBackupState::Stale, true, FormatMsg(kPlannedMissed, instant)};
}

}  // namespace

TStaleness BackupStaleness(const TBackupPlan& plan, bool backupOnTimer, TDateTime lastGood,
                           TDateTime now) {
  if (backupOnTimer && !plan.Empty()) return ByPlan(plan, lastGood, now);
  if (lastGood == BaseDateTime) return {TBackupState::None, true, std::string(kNoneYet)};
  if (lastGood < now.AddDays(-kStaleDays)) return {TBackupState::Stale, true, std::string(kTooOld)};
  return {TBackupState::Fresh, false, std::string(kRecent)};
}

const char* BackupStateName(TBackupState state) {
  switch (state) {
    case TBackupState::Fresh:
      return "fresh";
    case TBackupState::Stale:
      return "stale";
    case TBackupState::None:
      return "none";
  }
  return "none";
}

}  // namespace odb

namespace odb {

TDateTime NextPlannedInstant(const TBackupPlan& plan, TDateTime now) {
  std::optional<TDateTime> best;
  // Eight days: the same weekday next week counts when today's times are past.
  for (int k = 0; k <= kStaleDays; ++k) {
    const TDateTime day = now.DateOnly().AddDays(k);
    if (!(plan.daysMask & (1u << day.IsoWeekday()))) continue;
    for (const TDateTime time : plan.times) {
      const TDateTime c = day + time;
      if (now <= c && (!best || c < *best)) best = c;
    }
  }
  return best.value_or(BaseDateTime);
}

}  // namespace odb
