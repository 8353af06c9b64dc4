// The scheduler alone, tick by tick from a table: no window, no files; the
// program around it is a script that records what each tick did.
#include <gtest/gtest.h>

#include <string>
#include <vector>

#include "app/Scheduler.h"
#include "config/TimeOfDay.h"

namespace odb {
namespace {

TDateTime Dec(int day, int h, int m = 0, int s = 0) { return TDateTime::Encode(2026, 12, day, h, m, s); }

// Backups succeed at once and move LastRun.
struct TScript final : TScheduleHost {
  TSettings* settings = nullptr;
  TDateTime now;
  bool busy = false;
  std::string did;
  TDateTime Now() const override { return now; }
  bool BackupBusy() const override { return busy; }
  void AddLogEntry(const std::string& message) override { did = message; }
  void RunBackup() override {
    did = "planned backup";
    settings->LastRun = now;
  }
  bool CatchUpBackup() override {
    did = "catch-up backup";
    settings->LastRun = now;
    return true;
  }
  void ShowException(const std::exception& error) override { did = error.what(); }
};

struct TRow {
  TDateTime now;
  std::string did;
  bool busy = false;
};

const std::string kCatchUp = "Backup na základě poslední neprovedené akce časovače.";
std::string NextSet(const char* at) { return std::string("Příští zálohování nastaveno: ") + at; }

struct TCase {
  const char* name;
  uint8_t mask;
  const char* time;
  TDateTime lastRun;
  std::vector<TRow> rows;
};


TEST(SchedulerTicks, Table) {
  const TCase cases[] = {
      {"the road of a planned backup", 0xFE, "18:00", Dec(7, 7),
       {{Dec(8, 8, 0, 1), kCatchUp},
        {Dec(8, 8, 0, 2), "catch-up backup"},
        {Dec(8, 8, 0, 3), NextSet("08.12.2026 18:00:00")},
        {Dec(8, 8, 0, 4), ""},
        {Dec(8, 18), ""},  // due
        {Dec(8, 18, 0, 1), "", true},
        {Dec(8, 18, 0, 1), "planned backup"},
        {Dec(8, 18, 0, 2), NextSet("09.12.2026 18:00:00")}}},
      {"an instant equal to now is announced, not caught up", 0xFE, "18:00", Dec(7, 18, 30),
       {{Dec(8, 18), NextSet("08.12.2026 18:00:00")}, {Dec(8, 18, 0, 1), ""}, {Dec(8, 18, 0, 2), "planned backup"}}},
      {"one weekday, one time, LastRun after it", 0x04, "08:01", Dec(8, 8, 3),
       {{Dec(8, 8, 0, 1), NextSet("15.12.2026 08:01:00")},
        {Dec(8, 8, 1), ""},
        {Dec(15, 8, 1), ""},
        {Dec(15, 8, 1, 1), "planned backup"},
        {Dec(15, 8, 1, 2), NextSet("22.12.2026 08:01:00")}}},
      {"the only weekday a week on", 0x02, "20:00", Dec(7, 20, 0, 5),
       {{Dec(7, 21), NextSet("14.12.2026 20:00:00")}}},
      {"clock set back before the announced instant brings the earlier ones back", 0xFE, "12:00",
       Dec(8, 12, 0, 2),
       {{Dec(8, 13), NextSet("09.12.2026 12:00:00")},
        {Dec(8, 11), ""},  // today's 12:00 is done
        {Dec(7, 11), NextSet("07.12.2026 12:00:00")}}},
      {"no weekday ticked", 0x00, "12:00", Dec(7, 12), {{Dec(8, 8), ""}, {Dec(8, 8, 1, 1), ""}}},
  };
  for (const TCase& c : cases) {
    TSettings settings;
    settings.Plan = {c.mask, {*TryStrToTime(c.time)}};
    settings.LastRun = c.lastRun;
    TSettingsPlan plan(settings);
    TScript host;
    host.settings = &settings;
    TScheduler scheduler(plan, host);
    for (size_t i = 0; i < c.rows.size(); ++i) {
      host.now = c.rows[i].now;
      host.busy = c.rows[i].busy;
      host.did.clear();
      scheduler.TimerTSTimer();
      EXPECT_EQ(host.did, c.rows[i].did) << c.name << ", row " << i;
    }
  }
}

}  // namespace
}  // namespace odb
