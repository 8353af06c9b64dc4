// The status strip's lines for each state, and the next planned instant behind them.
#include <gtest/gtest.h>

#include "app/StatusStrip.h"
#include "schedule/ScheduleComputation.h"
#include "schedule/Staleness.h"

namespace odb {
namespace {

TDateTime Dec(int day, int h, int m = 0, int s = 0) { return TDateTime::Encode(2026, 12, day, h, m, s); }

struct Case {
  const char* name;
  // The facts without the failure: GCC 12 warns on optionals in such arrays.
  struct {
    TDateTime lastGood;
    bool paused, planEmpty;
    TDateTime next;
  } facts;
  const TFailedAttempt* failure;
  std::vector<std::string> lines;
  bool warning;
  const TBackupProgress* running = nullptr;
};

TEST(StatusStrip, Lines) {
  const TFailedAttempt bare{Dec(8, 9), ""};
  const TFailedAttempt failed{Dec(8, 18, 0, 2), "cannot open backup file /x/ODBackup_1.fbk\r\nsecond line"};
  const TBackupProgress detached, started{true, 0, ""}, counted{true, 1234, ""}, table{true, 1300, "T400"};
  const Case cases[] = {
      {"no backup yet, next planned", {BaseDateTime, false, false, Dec(8, 18)}, nullptr,
       {"Zatím žádná záloha", "Příští záloha: 08.12.2026 18:00:00"}, false},
      {"last and next", {Dec(7, 18, 0, 9), false, false, Dec(8, 18)}, nullptr,
       {"Poslední záloha: 07.12.2026 18:00:09", "Příští záloha: 08.12.2026 18:00:00"}, false},
      {"paused wins over the plan", {Dec(7, 18), true, true, Dec(8, 18)}, nullptr,
       {"Poslední záloha: 07.12.2026 18:00:00", "Zálohy pozastaveny"}, false},
      {"empty plan", {Dec(7, 18), false, true, BaseDateTime}, nullptr,
       {"Poslední záloha: 07.12.2026 18:00:00", "Plán záloh je prázdný"}, false},
      {"failure after the last success",
       {Dec(7, 18), false, false, Dec(9, 18)}, &failed,
       {"Poslední záloha: 07.12.2026 18:00:00", "Příští záloha: 09.12.2026 18:00:00",
        "Poslední pokus selhal: 08.12.2026 18:00:02", "cannot open backup file /x/ODBackup_1.fbk"},
       true},
      {"a later success clears the failure", {Dec(8, 19), false, false, Dec(9, 18)}, &failed,
       {"Poslední záloha: 08.12.2026 19:00:00", "Příští záloha: 09.12.2026 18:00:00"}, false},
      {"failure without a text", {BaseDateTime, true, false, BaseDateTime}, &bare,
       {"Zatím žádná záloha", "Zálohy pozastaveny", "Poslední pokus selhal: 08.12.2026 09:00:00"}, true},
      {"detached backup running", {Dec(7, 18), false, false, Dec(8, 18)}, nullptr,
       {"Poslední záloha: 07.12.2026 18:00:00", "Probíhá záloha…"}, false, &detached},
      {"verbose, no line yet", {Dec(7, 18), true, false, BaseDateTime}, nullptr,
       {"Poslední záloha: 07.12.2026 18:00:00", "Probíhá záloha…"}, false, &started},
      {"verbose, lines before the first table", {Dec(7, 18), false, true, BaseDateTime}, nullptr,
       {"Poslední záloha: 07.12.2026 18:00:00", "Probíhá záloha… řádek 1234"}, false, &counted},
      {"verbose, a table named; the failure stays until a success", {Dec(7, 18), false, false, Dec(9, 18)}, &failed,
       {"Poslední záloha: 07.12.2026 18:00:00", "Probíhá záloha… tabulka T400",
        "Poslední pokus selhal: 08.12.2026 18:00:02", "cannot open backup file /x/ODBackup_1.fbk"},
       true, &table},
  };
  for (const Case& c : cases) {
    SCOPED_TRACE(c.name);
    TStatusFacts facts{c.facts.lastGood, c.facts.paused, c.facts.planEmpty, c.facts.next, std::nullopt, std::nullopt};
    if (c.failure) facts.failure = *c.failure;
    if (c.running) facts.running = *c.running;
    const TStatusStrip strip = StatusStripText(facts);
    EXPECT_EQ(strip.lines, c.lines);
    EXPECT_EQ(strip.warning, c.warning);
  }
}

TEST(StatusStrip, TableOfTheOutputLine) {
  const std::pair<const char*, const char*> cases[] = {
      {"gbak:    writing data for table T400 ", "T400"},
      {"gbak:    restoring data for table CLIENTS", "CLIENTS"},
      {"gbak:    writing table T1 ", ""},  // the metadata, before any data
      {"gbak:closing file, committing, and finishing. 11259904 bytes written ", ""},
      {"", ""},
  };
  for (const auto& [line, table] : cases) EXPECT_EQ(TableOfLine(line), table) << line;
}

TEST(StatusStrip, NextPlannedInstant) {
  const TDateTime eight = TDateTime::TimeOfDay(20, 0, 0);
  // Monday only: from Monday evening the next one is a week on, the eighth day.
  EXPECT_EQ(NextPlannedInstant({0x02, {eight}}, Dec(7, 21)), Dec(14, 20));
  EXPECT_EQ(NextPlannedInstant({0x02, {eight}}, Dec(7, 20)), Dec(7, 20));
  EXPECT_EQ(NextPlannedInstant({0xFE, {TDateTime::TimeOfDay(23, 0, 0), eight}}, Dec(8, 10)), Dec(8, 20));
  EXPECT_EQ(NextPlannedInstant({0, {eight}}, Dec(7, 21)), BaseDateTime);
}

}  // namespace
}  // namespace odb
