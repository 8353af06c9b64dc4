#include "common/DateTime.h"

#include <gtest/gtest.h>

namespace odb {
namespace {

TEST(DateTime, BaseDateTimeIsFirstOfJanuary1990) {
  EXPECT_EQ(FormatDateTime(BaseDateTime), "01.01.1990 00:00:00");
  EXPECT_DOUBLE_EQ(BaseDateTime.ToDays(), 32874.0);
}

TEST(DateTime, FormatParseRoundTrip) {
  struct Case {
    const char* text;
    bool valid;
  } cases[] = {
      {"09.12.2026 18:00:05", true}, {"29.02.2024 23:59:59", true}, {"29.02.2023 10:00:00", false},
      {"31.04.2026 10:00:00", false}, {"9.12.2026 18:00:05", false}, {"09.12.2026 24:00:00", false},
      {"09-12-2026 18:00:05", false}, {"", false},
  };
  for (const auto& c : cases) {
    const auto parsed = ParseDateTime(c.text);
    EXPECT_EQ(parsed.has_value(), c.valid) << c.text;
    if (parsed) {
      EXPECT_EQ(FormatDateTime(*parsed), c.text);
    }
  }
}

TEST(DateTime, WeekdayAndDateArithmetic) {
  const auto tuesday = TDateTime::Encode(2026, 12, 8, 8, 0, 0);
  EXPECT_EQ(tuesday.IsoWeekday(), 2);
  EXPECT_EQ(tuesday.AddDays(5).IsoWeekday(), 7);
  EXPECT_EQ(tuesday.DateOnly() + TDateTime::TimeOfDay(18, 0, 0), TDateTime::Encode(2026, 12, 8, 18));
  EXPECT_EQ(FormatTime(tuesday), "08:00:00");
  EXPECT_EQ(TDateTime::FromDays(tuesday.ToDays()), tuesday);
}

TEST(DateTime, TheDateBeforeDayZeroIsItsOwnMidnight) {
  // 29.12.1899 06:00 is -0.75 days; truncation toward zero would give 30.12.1899.
  const auto early = TDateTime::Encode(1899, 12, 29, 6, 0, 0);
  EXPECT_EQ(early.DateOnly(), TDateTime::Encode(1899, 12, 29));
  EXPECT_EQ(FormatTime(early.TimeOnly()), "06:00:00");
  EXPECT_EQ(early.DateOnly().IsoWeekday(), early.IsoWeekday());
}

}  // namespace
}  // namespace odb
