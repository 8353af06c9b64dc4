// The two instants the scheduler needs from the plan (ticked weekdays × times
// of the table): the last one missed since LastRun and the next one coming.
#include "schedule/DmODBackup.h"

namespace odb {
namespace {

constexpr int kDaysSearched = 7;

bool DayInMask(uint8_t mask, TDateTime day) { return mask & (1u << day.IsoWeekday()); }

}  // namespace

TDateTime TDataODBackup::LastMissedRun(TDateTime now) {
  const uint8_t mask = PlanWindow ? PlanWindow->DaysMask() : 0;
  TControlsDisabled noRedraw(MemTimes);
  std::optional<TDateTime> best;
  for (int k = 0; k < kDaysSearched; ++k) {
    const TDateTime cursor = now.AddDays(-k);
    if (cursor < LastRun) break;
    if (!DayInMask(mask, cursor)) continue;
    for (MemTimes.First(); !MemTimes.Eof(); MemTimes.Next()) {
      const TDateTime c = cursor.DateOnly() + MemTimes.Time().value_or(TDateTime());
      if (!(LastRun < c && c <= now)) continue;
      PlanWindow->RaiseSlotPending();
      if (!best || c > *best) best = c;
    }
  }
  return best.value_or(now);
}

TDateTime TDataODBackup::NextRun(TDateTime now) { return EarliestRun(now, kDaysSearched); }

TDateTime TDataODBackup::UpcomingRun(TDateTime from) {
  // The date a week on is searched too, and of it what lies before from + 7
  // days: with one weekday and one time the only instant after a given one is
  // the same one a week later.
  return EarliestRun(from, kDaysSearched + 1);
}

TDateTime TDataODBackup::EarliestRun(TDateTime from, int days) {
  const uint8_t mask = PlanWindow ? PlanWindow->DaysMask() : 0;
  const TDateTime end = from.AddDays(kDaysSearched);
  TControlsDisabled noRedraw(MemTimes);
  std::optional<TDateTime> best;
  for (int k = 0; k < days; ++k) {
    const TDateTime day = from.DateOnly().AddDays(k);
    if (!DayInMask(mask, day)) continue;
    for (MemTimes.First(); !MemTimes.Eof(); MemTimes.Next()) {
      const TDateTime c = day + MemTimes.Time().value_or(TDateTime());
      if (!(from <= c && c < end)) continue;
      PlanWindow->RaiseSlotPending();
      if (!best || c < *best) best = c;
    }
  }
  return best.value_or(BaseDateTime);
}

uint64_t TDataODBackup::PlanVersion(uint8_t daysMask) const {
  // FNV-1a over the mask and the stored times: at most 30 rows, so it is cheap
  // enough for every tick.
  uint64_t hash = 1469598103934665603ull;
  const auto mix = [&hash](uint64_t value) {
    hash ^= value;
    hash *= 1099511628211ull;
  };
  mix(daysMask);
  mix(MemTimes.Active() ? static_cast<uint64_t>(MemTimes.RecordCount()) : ~uint64_t{0});
  for (int i = 0; MemTimes.Active() && i < MemTimes.RecordCount(); ++i) {
    mix(static_cast<uint64_t>(MemTimes.Row(i).time.value_or(TDateTime()).Ms()));
  }
  return hash;
}

}  // namespace odb
