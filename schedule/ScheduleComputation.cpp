// The instants the scheduler, the status and `--plan` need from the plan: the
// last one missed since LastRun and the next one coming.
#include "schedule/ScheduleComputation.h"

#include <optional>

namespace odb {
namespace {

constexpr int kDaysSearched = 7;

bool DayInMask(uint8_t mask, TDateTime day) { return mask & (1u << day.IsoWeekday()); }

// The earliest instant at or after from and before from + 7 days, on the
// first days dates from from's date on.
TDateTime EarliestRun(const TBackupPlan& plan, TDateTime from, int days) {
  const TDateTime end = from.AddDays(kDaysSearched);
  std::optional<TDateTime> best;
  for (int k = 0; k < days; ++k) {
    const TDateTime day = from.DateOnly().AddDays(k);
    if (!DayInMask(plan.daysMask, day)) continue;
    for (const TDateTime time : plan.times) {
      const TDateTime c = day + time;
      if (from <= c && c < end && (!best || c < *best)) best = c;
    }
  }
  return best.value_or(BaseDateTime);
}

}  // namespace

TDateTime LastMissedRun(const TBackupPlan& plan, TDateTime lastRun, TDateTime now) {
  std::optional<TDateTime> best;
  for (int k = 0; k < kDaysSearched; ++k) {
    const TDateTime cursor = now.AddDays(-k);
    if (cursor < lastRun) break;
    if (!DayInMask(plan.daysMask, cursor)) continue;
    for (const TDateTime time : plan.times) {
      const TDateTime c = cursor.DateOnly() + time;
      if (lastRun < c && c <= now && (!best || c > *best)) best = c;
    }
  }
  return best.value_or(now);
}

TDateTime NextRun(const TBackupPlan& plan, TDateTime now) { return EarliestRun(plan, now, kDaysSearched); }

TDateTime NextPlannedInstant(const TBackupPlan& plan, TDateTime from) {
  // The date a week on is searched too, and of it what lies before from + 7
  // days: with one weekday and one time the only instant after a given one is
  // the same one a week later.
  return EarliestRun(plan, from, kDaysSearched + 1);
}

uint64_t PlanVersion(const TBackupPlan& plan) {
  // FNV-1a over the mask and the times: at most 30 of them, so it is cheap
  // enough for every tick.
  uint64_t hash = 1469598103934665603ull;
  const auto mix = [&hash](uint64_t value) {
    hash ^= value;
    hash *= 1099511628211ull;
  };
  mix(plan.daysMask);
  mix(plan.times.size());
  for (const TDateTime time : plan.times) mix(static_cast<uint64_t>(time.Ms()));
  return hash;
}

}  // namespace odb
