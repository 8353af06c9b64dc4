// The last missed and the next planned instant of the plan, as one table.
#include <gtest/gtest.h>

#include "config/TimeOfDay.h"
#include "schedule/ScheduleComputation.h"

namespace odb {
namespace {

// December 2026: the 7th and the 14th are Mondays.
TDateTime Dec(int day, int h, int m = 0, int s = 0) { return TDateTime::Encode(2026, 12, day, h, m, s); }

constexpr uint8_t kAllDays = 0xFE;
constexpr uint8_t kMonday = 0x02;

TBackupPlan Plan(uint8_t mask, const std::vector<const char*>& times) {
  TBackupPlan plan{mask, {}};
  for (const char* time : times) plan.times.push_back(*TryStrToTime(time));
  return plan;
}

struct Case {
  const char* name;
  uint8_t mask;
  std::vector<const char*> times;
  TDateTime lastRun, now;
  std::optional<TDateTime> missed, next;  // nullopt: none (now / BaseDateTime)
};

TEST(ScheduleComputation, Table) {
  const Case cases[] = {
      {"before today's time", kAllDays, {"18:00"}, Dec(7, 18, 0, 5), Dec(8, 17), {}, Dec(8, 18)},
      {"after today's time", kAllDays, {"18:00"}, Dec(7, 18, 0, 5), Dec(8, 18, 30), Dec(8, 18), Dec(9, 18)},
      {"next Monday is the eighth day", kMonday, {"20:00"}, Dec(7, 20, 30), Dec(7, 21), {}, {}},
      {"from Tuesday midnight next Monday is in reach", kMonday, {"20:00"}, Dec(7, 20, 30), Dec(8, 0),
       {}, Dec(14, 20)},
      {"last Monday seven days back is not examined", kMonday, {"20:00"}, BaseDateTime, Dec(14, 19),
       {}, Dec(14, 20)},
      {"six days back is examined", kMonday, {"20:00"}, BaseDateTime, Dec(13, 23), Dec(7, 20), Dec(14, 20)},
      {"search stops at LastRun before yesterday", kAllDays, {"14:00"}, Dec(7, 12), Dec(8, 10), {}, Dec(8, 14)},
      {"yesterday after LastRun is missed", kAllDays, {"14:00"}, Dec(7, 12), Dec(8, 13), Dec(7, 14), Dec(8, 14)},
      {"instant equal to now is both", kAllDays, {"18:00"}, Dec(7, 18, 30), Dec(8, 18), Dec(8, 18), Dec(8, 18)},
      {"instant equal to LastRun is not missed", kAllDays, {"18:00"}, Dec(7, 18), Dec(8, 8), {}, Dec(8, 18)},
      {"the latest of several missed", kAllDays, {"6:00", "12:00", "9:00"}, BaseDateTime, Dec(8, 10),
       Dec(8, 9), Dec(8, 12)},
      {"the earliest of several coming", kAllDays, {"23:00", "11:00", "11:00"}, Dec(8, 9), Dec(8, 10), {},
       Dec(8, 11)},
      {"LastRun after now", kAllDays, {"8:00"}, Dec(9, 8), Dec(8, 10), {}, Dec(9, 8)},
      {"no weekday ticked", 0, {"8:00"}, BaseDateTime, Dec(8, 10), {}, {}},
      {"empty table", kAllDays, {}, BaseDateTime, Dec(8, 10), {}, {}},
      {"weekend only, from Tuesday", 0xC0, {"7:00"}, Dec(6, 7), Dec(8, 10), {}, Dec(12, 7)},
  };
  for (const Case& c : cases) {
    const TBackupPlan plan = Plan(c.mask, c.times);
    EXPECT_EQ(LastMissedRun(plan, c.lastRun, c.now), c.missed.value_or(c.now)) << c.name;
    EXPECT_EQ(NextRun(plan, c.now), c.next.value_or(BaseDateTime)) << c.name;
  }
}

// The scheduler's and the status's search reaches the eighth date, short of from + 7 days.
TEST(ScheduleComputation, NextPlannedInstantReachesTheSameInstantAWeekOn) {
  struct UpCase {
    const char* name;
    uint8_t mask;
    TDateTime from;
    TDateTime upcoming;
    bool nextRunAgrees;  // NextRun stops a date earlier
  };
  const UpCase cases[] = {
      {"eighth date", kMonday, Dec(7, 21), Dec(14, 20), false},
      {"right after the instant", kMonday, Dec(7, 20).AddMs(1), Dec(14, 20), false},
      {"the instant itself", kMonday, Dec(7, 20), Dec(7, 20), true},
      {"a day's instant just ahead", kAllDays, Dec(7, 20, 0, 1), Dec(8, 20), true},
      {"no weekday", 0, Dec(7, 21), BaseDateTime, true},
  };
  for (const UpCase& c : cases) {
    const TBackupPlan plan = Plan(c.mask, {"20:00"});
    EXPECT_EQ(NextPlannedInstant(plan, c.from), c.upcoming) << c.name;
    EXPECT_EQ(NextRun(plan, c.from) == c.upcoming, c.nextRunAgrees) << c.name;
  }
}

}  // namespace
}  // namespace odb
