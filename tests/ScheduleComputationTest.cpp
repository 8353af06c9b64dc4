// The last missed and the next planned instant of the plan, as one table.
#include <gtest/gtest.h>

#include "FakeFbClient.h"
#include "schedule/DmODBackup.h"

namespace odb {
namespace {

// December 2026: the 7th and the 14th are Mondays.
TDateTime Dec(int day, int h, int m = 0, int s = 0) { return TDateTime::Encode(2026, 12, day, h, m, s); }

constexpr uint8_t kAllDays = 0xFE;
constexpr uint8_t kMonday = 0x02;

struct Window : TPlanWindow {
  uint8_t mask = 0;
  bool slot = false;
  uint8_t DaysMask() const override { return mask; }
  void RaiseSlotPending() override { slot = true; }
};

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
    test::FakeFbClient fb;
    TDataODBackup data(c.now, fb);
    Window window;
    window.mask = c.mask;
    data.PlanWindow = &window;
    data.MemTimes.Open();
    for (const char* time : c.times) {
      data.MemTimes.Append();
      data.MemTimes.SetTimeText(time);
      data.MemTimes.Post();
    }
    data.LastRun = c.lastRun;
    EXPECT_EQ(data.LastMissedRun(c.now), c.missed.value_or(c.now)) << c.name;
    EXPECT_EQ(window.slot, c.missed.has_value()) << c.name;
    window.slot = false;
    EXPECT_EQ(data.NextRun(c.now), c.next.value_or(BaseDateTime)) << c.name;
    EXPECT_EQ(window.slot, c.next.has_value()) << c.name;
    EXPECT_FALSE(data.MemTimes.ControlsDisabled()) << c.name;
  }
}

// The scheduler's search reaches the eighth date, short of from + 7 days.
TEST(ScheduleComputation, UpcomingRunReachesTheSameInstantAWeekOn) {
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
    test::FakeFbClient fb;
    TDataODBackup data(c.from, fb);
    Window window;
    window.mask = c.mask;
    data.PlanWindow = &window;
    data.MemTimes.Open();
    data.MemTimes.Append();
    data.MemTimes.SetTimeText("20:00");
    data.MemTimes.Post();
    EXPECT_EQ(data.UpcomingRun(c.from), c.upcoming) << c.name;
    EXPECT_EQ(data.NextRun(c.from) == c.upcoming, c.nextRunAgrees) << c.name;
  }
}

TEST(ScheduleComputation, ClosedTableRaisesAndResumesTheView) {
  test::FakeFbClient fb;
  TDataODBackup data(Dec(8, 10), fb);
  Window window;
  window.mask = kAllDays;
  data.PlanWindow = &window;
  EXPECT_THROW(data.LastMissedRun(Dec(8, 10)), std::exception);
  EXPECT_THROW(data.NextRun(Dec(8, 10)), std::exception);
  EXPECT_FALSE(data.MemTimes.ControlsDisabled());
}

}  // namespace
}  // namespace odb
