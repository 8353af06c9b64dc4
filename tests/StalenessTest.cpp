// Fresh, stale or none: the plan, the last good backup and now, on virtual time.
#include <gtest/gtest.h>

#include "schedule/Staleness.h"

namespace odb {
namespace {

// December 2026: the 7th and the 14th are Mondays.
TDateTime Dec(int day, int h, int m = 0, int s = 0) { return TDateTime::Encode(2026, 12, day, h, m, s); }
TDateTime At(int h, int m = 0) { return TDateTime::TimeOfDay(h, m, 0); }

constexpr uint8_t kAllDays = 0xFE;
constexpr uint8_t kMonday = 0x02;
constexpr auto F = TBackupState::Fresh;
constexpr auto S = TBackupState::Stale;
constexpr auto N = TBackupState::None;

struct Case {
  const char* name;
  bool onTimer;
  TBackupPlan plan;
  TDateTime lastGood, now;
  TBackupState state;
  bool overdue;
  const char* reason;
};

TEST(Staleness, Table) {
  const TBackupPlan daily{kAllDays, {At(18)}};
  const TBackupPlan monday{kMonday, {At(20)}};
  const Case cases[] = {
      // The 60-minute margin, both sides.
      {"planned instant 60 min ago", true, daily, Dec(7, 18), Dec(8, 19), F, false,
       "Zálohy proběhly podle plánu"},
      {"planned instant 60 min 1 s ago", true, daily, Dec(7, 18), Dec(8, 19, 0, 1), S, true,
       "Plánovaná záloha 08.12.2026 18:00:00 neproběhla"},
      {"backed up after the instant", true, daily, Dec(8, 18, 5), Dec(9, 10), F, false, nullptr},
      {"backup at the instant itself covers it", true, daily, Dec(8, 18), Dec(8, 20), F, false, nullptr},
      {"earliest missed is named", true, daily, Dec(5, 18, 1), Dec(8, 20), S, true,
       "Plánovaná záloha 06.12.2026 18:00:00 neproběhla"},
      // The plan looks back seven days and no further.
      {"weekly instant 7 days ago", true, monday, Dec(1, 8), Dec(14, 20), S, true,
       "Plánovaná záloha 07.12.2026 20:00:00 neproběhla"},
      {"weekly instant 7 days 1 s ago is out of the week", true, monday, Dec(1, 8), Dec(14, 20, 0, 1), F,
       false, nullptr},
      {"weekly plan kept, backup six days old", true, monday, Dec(7, 20, 30), Dec(13, 20), F, false, nullptr},
      {"no backup yet, only instant within the margin", true, monday, BaseDateTime, Dec(14, 20, 30), N, false,
       "Zatím žádná záloha"},
      {"no backup yet, instant missed", true, daily, BaseDateTime, Dec(8, 19, 30), N, true,
       "Zatím žádná záloha, plánovaná záloha 02.12.2026 18:00:00 neproběhla"},
      {"LastRun after now is never a silent fresh", true, daily, Dec(9, 8), Dec(8, 20), S, true,
       "Čas poslední zálohy 09.12.2026 08:00:00 je v budoucnosti"},
      // Without a plan to follow: the 7-day rule, both sides.
      {"paused, 7 days old", false, daily, Dec(1, 10), Dec(8, 10), F, false,
       "Poslední záloha je mladší než 7 dní"},
      {"paused, 7 days and 1 s old", false, daily, Dec(1, 10), Dec(8, 10, 0, 1), S, true,
       "Poslední záloha je starší než 7 dní"},
      {"timer with no weekday ticked", true, TBackupPlan{0, {At(18)}}, Dec(1, 10), Dec(8, 10, 0, 1), S,
       true, nullptr},
      {"timer with no times", true, TBackupPlan{kAllDays, {}}, Dec(1, 10), Dec(8, 10), F, false, nullptr},
      {"paused, never backed up", false, daily, BaseDateTime, Dec(8, 10), N, true, "Zatím žádná záloha"},
  };
  for (const Case& c : cases) {
    SCOPED_TRACE(c.name);
    const TStaleness result = BackupStaleness(c.plan, c.onTimer, c.lastGood, c.now);
    EXPECT_EQ(result.state, c.state);
    EXPECT_EQ(result.overdue, c.overdue);
    if (c.reason) {
      EXPECT_EQ(result.reason, c.reason);
    }
  }
}

}  // namespace
}  // namespace odb
