// The scheduler on virtual time over many simulated weeks: plans, restarts,
// clocks that jump and backups that fail, with the promises of a planned
// backup checked after every tick.
#include <gtest/gtest.h>

#include <algorithm>
#include <climits>
#include <cstdlib>
#include <cstdio>
#include <map>
#include <memory>
#include <random>
#include <set>
#include <stdexcept>
#include <string>
#include <vector>

#include "FakeFbClient.h"
#include "app/Scheduler.h"
#include "schedule/DmODBackup.h"

// Designated initializers name only what a case changes. GCC 12 (MinGW, -O2)
// also takes the vectors of the case list for uninitialized, which they are not.
#pragma GCC diagnostic ignored "-Wmissing-field-initializers"
#pragma GCC diagnostic ignored "-Wmaybe-uninitialized"

namespace odb {
namespace {

constexpr int64_t kSecond = 1000;
constexpr int64_t kMinute = 60 * kSecond;
constexpr int64_t kHour = 60 * kMinute;
constexpr int64_t kDay = TDateTime::MsPerDay;
constexpr uint8_t kAllDays = 0xFE;

int64_t FloorDiv(int64_t a, int64_t b) { return a / b - ((a % b != 0) && ((a < 0) != (b < 0))); }
TDateTime Dec(int day, int h, int m = 0, int s = 0) { return TDateTime::Encode(2026, 12, day, h, m, s); }
TDateTime Oct(int day, int h, int m = 0, int s = 0) { return TDateTime::Encode(2026, 10, day, h, m, s); }
TDateTime Tod(int h, int m = 0, int s = 0) { return TDateTime::TimeOfDay(h, m, s); }

struct TPlanSpec {
  uint8_t mask = 0;
  std::vector<TDateTime> times;  // times of day, in any order, duplicates allowed
};

// The planned instants as the test reckons them, independently of the program.
class TOracle {
 public:
  explicit TOracle(const TPlanSpec& plan) : mask_(plan.mask) {
    for (TDateTime t : plan.times) times_.insert(t.Ms());
  }
  bool Empty() const { return (mask_ & kAllDays) == 0 || times_.empty(); }
  // The earliest planned instant after t, or LLONG_MAX.
  int64_t After(int64_t t) const {
    const int64_t first = FloorDiv(t, kDay);
    for (int64_t day = first; !Empty() && day <= first + 8; ++day) {
      if (!InMask(day)) continue;
      const auto it = times_.upper_bound(t - day * kDay);
      if (it != times_.end()) return day * kDay + *it;
    }
    return LLONG_MAX;
  }
  // The latest planned instant at or before t, or LLONG_MIN.
  int64_t AtOrBefore(int64_t t) const {
    const int64_t last = FloorDiv(t, kDay);
    for (int64_t day = last; !Empty() && day >= last - 8; --day) {
      if (!InMask(day)) continue;
      auto it = times_.upper_bound(t - day * kDay);
      if (it != times_.begin()) return day * kDay + *--it;
    }
    return LLONG_MIN;
  }

 private:
  bool InMask(int64_t day) const { return mask_ & (1u << TDateTime::FromMs(day * kDay).IsoWeekday()); }
  uint8_t mask_;
  std::set<int64_t> times_;
};

struct TCaseSetup {
  std::string name;
  TPlanSpec plan;
  TDateTime start;
  TDateTime lastRun;
  int days = 14;
  std::vector<std::pair<int64_t, int64_t>> jumps;  // at tick, clock moved by ms
  std::vector<int64_t> restarts;                   // at tick
  // DST-like: the first time the clock reaches `at`, it is set to `to`.
  std::vector<std::pair<TDateTime, TDateTime>> clockRules;
  int backupSeconds = 2;
  int boxSeconds = 30;
  int failFirst = 0;        // the first attempts fail
  double failChance = 0;    // then each attempt starts a failing streak with this chance
  int failStreak = 1;
  double quietChance = 0;   // a failure without an error (no box)
  int expectSuccesses = -1;  // checked when not negative
};

// What the window is to the scheduler: a clock, a backup that takes its time
// and fails as told, and an error box during which ticks go on.
class TSimulation final : public TScheduleHost {
 public:
  TSimulation(const TCaseSetup& setup, uint32_t seed)
      : setup_(setup), oracle_(setup.plan), rng_(seed), clock_(setup.start.Ms()) {
    settings_.Plan = {setup.plan.mask, setup.plan.times};
    std::stable_sort(settings_.Plan.times.begin(), settings_.Plan.times.end());
    settings_.LastRun = setup.lastRun;
    Restart();
  }

  void Run() {
    const int64_t total = int64_t{setup_.days} * 86'400;
    size_t jump = 0, restart = 0;
    std::vector<bool> ruleFired(setup_.clockRules.size());
    while (tick_ < total && faults_.size() < 5) {
      for (; restart < setup_.restarts.size() && setup_.restarts[restart] <= tick_; ++restart) Restart();
      for (; jump < setup_.jumps.size() && setup_.jumps[jump].first <= tick_; ++jump) Jump(setup_.jumps[jump].second);
      for (size_t i = 0; i < setup_.clockRules.size(); ++i) {
        if (ruleFired[i] || clock_ < setup_.clockRules[i].first.Ms()) continue;
        ruleFired[i] = true;
        Jump(setup_.clockRules[i].second.Ms() - clock_);
      }
      TickOnce();
    }
    if (setup_.expectSuccesses >= 0 && successes_ != setup_.expectSuccesses) {
      Fault("backups made: " + std::to_string(successes_) + ", expected " + std::to_string(setup_.expectSuccesses));
    }
  }

  int64_t Ticks() const { return tick_; }
  int Attempts() const { return attempts_; }
  int Successes() const { return successes_; }
  int Boxes() const { return boxes_; }
  const std::vector<std::string>& Faults() const { return faults_; }

  // TScheduleHost
  TDateTime Now() const override { return TDateTime::FromMs(clock_); }
  bool BackupBusy() const override { return busy_; }
  void AddLogEntry(const std::string& m) override { Trace(m); }
  void RunBackup() override { (void)Attempt(/*planned=*/true); }
  bool CatchUpBackup() override { return Attempt(/*planned=*/false); }
  void ShowException(const std::exception&) override {
    if (boxOpen_) Fault("a second error box while one is open");
    ++boxes_;
    const bool wasOpen = boxOpen_;
    boxOpen_ = true;
    for (int i = 0; i < setup_.boxSeconds; ++i) TickOnce();
    boxOpen_ = wasOpen;
  }

 private:
  struct TPassed {
    int64_t instant, tick;
  };

  void Restart() {
    Trace("restart");
    // What the file kept: the served instant is saved with LastRun.
    settings_.LastPlannedRun = TDateTime::FromMs(savedServed_);
    served_ = savedServed_;
    scheduler_ = std::make_unique<TScheduler>(plan_, *this);
    attemptsFor_.clear();
    stuck_ = 0;
  }

  void Trace(const std::string& m) {
    if (trace_) std::printf("%s tick %lld: %s\n", FormatDateTime(Now()).c_str(), (long long)tick_, m.c_str());
  }
  void Jump(int64_t by) {
    Trace("jump by " + std::to_string(by / 1000) + " s");
    const int64_t from = clock_;
    clock_ += by;
    if (by > 0) {
      // The instants jumped over count as one: the latest of them.
      const int64_t latest = oracle_.AtOrBefore(clock_);
      if (latest > from) Passed(latest);
    } else {
      // What lies ahead again will be passed again, and owed again unless it
      // has been served.
      std::erase_if(passed_, [&](const TPassed& p) { return p.instant > clock_; });
    }
    nextInstant_ = oracle_.After(clock_);
  }

  void TickOnce() {
    clock_ += kSecond;
    ++tick_;
    for (; nextInstant_ <= clock_; nextInstant_ = oracle_.After(nextInstant_)) Passed(nextInstant_);
    scheduler_->TimerTSTimer();
    Check();
  }

  // An instant passed while a backup runs is that backup's.
  // One served is never owed again, unless served by a clock more than a week ahead.
  void Passed(int64_t instant) {
    latestPassed_ = std::max(latestPassed_, instant);
    if (Served(instant)) return;
    if (!busy_) passed_.push_back({instant, tick_});
  }
  bool Served(int64_t instant) const { return instant <= served_ && served_ - instant < 7 * kDay; }

  // The instant a backup serves is the one the program names for it, which
  // must be a planned instant that has come and, for a planned backup, one
  // after every instant served before.
  bool Attempt(bool planned) {
    if (busy_) Fault("a second backup while one runs");
    ++attempts_;
    lastAttemptTick_ = tick_;
    const int64_t instant = settings_.LastPlannedRun.Ms();
    if (oracle_.AtOrBefore(instant) != instant || instant > latestPassed_) Fault("a backup for " + At(instant));
    if (planned && Served(instant)) Fault("served again: " + At(instant));
    served_ = instant;
    if (++attemptsFor_[instant] > 3) Fault("attempt " + std::to_string(attemptsFor_[instant]) + " for " + At(instant));
    busy_ = true;
    for (int i = 0; i < setup_.backupSeconds; ++i) TickOnce();
    busy_ = false;
    Trace("attempt for " + At(instant));
    if (Fails()) {
      if (std::uniform_real_distribution<>(0, 1)(rng_) < setup_.quietChance) return false;
      throw std::runtime_error("the server is gone");
    }
    if (!madeFor_.insert(instant).second) Fault("a second backup for " + At(instant));
    settings_.LastRun = Now();
    savedServed_ = served_;
    ++successes_;
    return true;
  }

  bool Fails() {
    if (attempts_ <= setup_.failFirst) return true;
    if (streakLeft_ > 0) return --streakLeft_, true;
    if (std::uniform_real_distribution<>(0, 1)(rng_) >= setup_.failChance) return false;
    streakLeft_ = setup_.failStreak - 1;
    return true;
  }

  void Check() {
    const int64_t deadline = 2 * (setup_.boxSeconds + setup_.backupSeconds) + 70;
    std::erase_if(passed_, [&](const TPassed& p) {
      if (lastAttemptTick_ >= p.tick || settings_.LastRun.Ms() >= p.instant) return true;
      if (tick_ - p.tick <= deadline) return false;
      Fault("no attempt for " + At(p.instant));
      return true;
    });
    if (oracle_.Empty()) {
      if (scheduler_->NextRunTime() != BaseDateTime) Fault("an announcement with an empty plan");
      return;
    }
    if (busy_ || boxOpen_) return;
    const bool waiting = (scheduler_->SlotPending() && scheduler_->NextRunTime() != BaseDateTime) ||
                         scheduler_->BackupDue();
    stuck_ = waiting ? 0 : stuck_ + 1;
    if (stuck_ > 62) {
      Fault("nothing announced or due for a minute");
      stuck_ = 0;
    }
  }

  std::string At(int64_t ms) const { return FormatDateTime(TDateTime::FromMs(ms)); }
  void Fault(const std::string& what) {
    faults_.push_back(FormatDateTime(Now()) + " (tick " + std::to_string(tick_) + "): " + what +
                      "; NextRunTime " + FormatDateTime(scheduler_->NextRunTime()) +
                      (scheduler_->SlotPending() ? ", pending" : "") + (scheduler_->BackupDue() ? ", due" : "") +
                      ", LastRun " + FormatDateTime(settings_.LastRun) + ", last attempt at tick " +
                      std::to_string(lastAttemptTick_));
  }

  const TCaseSetup& setup_;
  TOracle oracle_;
  std::mt19937 rng_;
  TSettings settings_;
  TSettingsPlan plan_{settings_};
  std::unique_ptr<TScheduler> scheduler_;
  int64_t clock_;
  int64_t tick_ = 0;
  int64_t nextInstant_ = oracle_.After(clock_);
  int64_t lastAttemptTick_ = -1;
  int64_t latestPassed_ = oracle_.AtOrBefore(clock_);
  int64_t served_ = BaseDateTime.Ms();
  int64_t savedServed_ = BaseDateTime.Ms();  // as the file holds it
  bool busy_ = false;
  bool boxOpen_ = false;
  bool trace_ = std::getenv("ODB_SIM_TRACE") && setup_.name == std::getenv("ODB_SIM_TRACE");
  int streakLeft_ = 0;
  int attempts_ = 0, successes_ = 0, boxes_ = 0;
  int stuck_ = 0;
  std::vector<TPassed> passed_;
  std::map<int64_t, int> attemptsFor_;
  std::set<int64_t> madeFor_;
  std::vector<std::string> faults_;
};

TPlanSpec Daily(std::vector<TDateTime> times) { return {kAllDays, std::move(times)}; }

std::vector<TCaseSetup> TableCases() {
  const TDateTime tue8 = Dec(8, 8);
  const int64_t h = 3600;  // ticks
  std::vector<TCaseSetup> cases = {
      {.name = "daily, LastRun yesterday morning", .plan = Daily({Tod(18)}), .start = tue8,
       .lastRun = Dec(7, 7), .days = 7, .expectSuccesses = 8},
      {.name = "one weekday, one time, LastRun after it", .plan = {0x04, {Tod(8, 1)}}, .start = tue8,
       .lastRun = Dec(8, 8, 3), .days = 22, .expectSuccesses = 3},
      {.name = "one weekday at midnight, LastRun now", .plan = {0x02, {Tod(0)}}, .start = tue8,
       .lastRun = tue8, .days = 21, .expectSuccesses = 3},
      {.name = "both ends of the day, duplicated", .plan = Daily({Tod(23, 59, 59), Tod(0), Tod(0), Tod(23, 59, 59)}),
       .start = tue8, .lastRun = Dec(1, 0), .days = 7},
      {.name = "clock set back over a backup", .plan = Daily({Tod(12)}), .start = tue8, .lastRun = Dec(7, 12),
       .days = 3, .jumps = {{5 * h, -2 * 3600 * kSecond}, {30 * h, -26 * 3600 * kSecond}}},
      {.name = "clock set forward over days", .plan = Daily({Tod(12), Tod(18)}), .start = tue8,
       .lastRun = Dec(7, 18), .days = 7, .jumps = {{h, 3 * kDay}, {50 * h, 20 * kMinute}}},
      {.name = "repeated hour", .plan = Daily({Tod(2, 30)}), .start = tue8, .lastRun = Dec(8, 2, 30, 5), .days = 4,
       .clockRules = {{Dec(10, 3), Dec(10, 2)}}, .expectSuccesses = 4},
      {.name = "autumn change, two instants in the repeated hour", .plan = Daily({Tod(2, 15), Tod(2, 45)}),
       .start = Oct(24, 8), .lastRun = Oct(24, 2, 45, 5), .days = 3,
       .clockRules = {{Oct(25, 3), Oct(25, 2)}}, .expectSuccesses = 6},
      {.name = "autumn change, restart in the repeated hour", .plan = Daily({Tod(2, 15), Tod(2, 45)}),
       .start = Oct(24, 8), .lastRun = Oct(24, 2, 45, 5), .days = 3, .restarts = {19 * h + 1200},
       .clockRules = {{Oct(25, 3), Oct(25, 2)}}, .expectSuccesses = 6},
      {.name = "clock set back an hour after two instants", .plan = Daily({Tod(18), Tod(18, 30)}), .start = tue8,
       .lastRun = Dec(8, 7), .days = 2, .jumps = {{10 * h + 2100, -kHour}}, .expectSuccesses = 4},
      {.name = "clock set back an hour, then a restart", .plan = Daily({Tod(18), Tod(18, 30)}), .start = tue8,
       .lastRun = Dec(8, 7), .days = 2, .jumps = {{10 * h + 2100, -kHour}}, .restarts = {10 * h + 2700},
       .expectSuccesses = 4},
      {.name = "skipped hour", .plan = Daily({Tod(2, 30)}), .start = tue8, .lastRun = Dec(8, 2, 30, 5), .days = 4,
       .clockRules = {{Dec(10, 2), Dec(10, 3)}}},
      {.name = "restart in the repeated hour", .plan = Daily({Tod(2, 30)}), .start = tue8,
       .lastRun = Dec(8, 2, 30, 5), .days = 4, .restarts = {int64_t{43} * h + 1800},
       .clockRules = {{Dec(10, 3), Dec(10, 2)}}, .expectSuccesses = 4},
      {.name = "every backup fails", .plan = Daily({Tod(9), Tod(18)}), .start = tue8, .lastRun = Dec(6, 9),
       .days = 4, .restarts = {30 * h}, .boxSeconds = 90, .failChance = 1},
      {.name = "clock set back while a failed catch-up waits", .plan = Daily({Tod(7)}), .start = tue8,
       .lastRun = Dec(7, 7, 30), .days = 2, .jumps = {{20, -2 * 3600 * kSecond}}, .boxSeconds = 10, .failFirst = 1},
      {.name = "quiet failures in a row", .plan = Daily({Tod(7, 59)}), .start = tue8, .lastRun = Dec(5, 9),
       .days = 3, .failFirst = 5, .quietChance = 1},
      {.name = "LastRun a year ahead", .plan = {0x10, {Tod(6)}}, .start = tue8, .lastRun = Dec(8, 8).AddDays(365),
       .days = 15, .expectSuccesses = 2},
      {.name = "no weekday ticked", .plan = {0, {Tod(6)}}, .start = tue8, .lastRun = Dec(7, 6), .days = 2,
       .expectSuccesses = 0},
      {.name = "no times", .plan = {kAllDays, {}}, .start = tue8, .lastRun = Dec(7, 6), .days = 2,
       .expectSuccesses = 0},
  };
  return cases;
}

TCaseSetup RandomCase(std::mt19937& rng, int index) {
  const auto pick = [&](int lo, int hi) { return std::uniform_int_distribution<>(lo, hi)(rng); };
  TCaseSetup c;
  c.name = "random " + std::to_string(index);
  std::vector<int> weekdays = {1, 2, 3, 4, 5, 6, 7};
  std::shuffle(weekdays.begin(), weekdays.end(), rng);
  for (int i = pick(1, 7); i > 0; --i) c.plan.mask |= uint8_t(1u << weekdays[size_t(i - 1)]);
  for (int i = pick(1, 30); i > 0; --i) {
    switch (pick(0, 9)) {
      case 0: c.plan.times.push_back(Tod(0)); break;
      case 1: c.plan.times.push_back(Tod(23, 59, 59)); break;
      case 2: if (!c.plan.times.empty()) c.plan.times.push_back(c.plan.times.front()); break;
      default: c.plan.times.push_back(Tod(pick(0, 23), pick(0, 59), pick(0, 59))); break;
    }
  }
  if (c.plan.times.empty()) c.plan.times.push_back(Tod(pick(0, 23), pick(0, 59)));
  c.start = TDateTime::Encode(2026, pick(1, 12), pick(1, 28), pick(0, 23), pick(0, 59), pick(0, 59));
  switch (pick(0, 2)) {
    case 0: c.lastRun = c.start.AddMs(-int64_t{pick(0, 10 * 24 * 60)} * kMinute); break;
    case 1: c.lastRun = c.start; break;
    default: c.lastRun = c.start.AddMs(int64_t{pick(1, 10 * 24 * 60)} * kMinute); break;
  }
  c.days = pick(7, 14);
  const int64_t ticks = int64_t{c.days} * 86'400;
  for (int i = pick(0, 4); i > 0; --i) {
    const int64_t by = pick(0, 1) ? int64_t{pick(1, 3 * 24 * 60)} * kMinute : -int64_t{pick(1, 2 * 24 * 60)} * kMinute;
    c.jumps.push_back({std::uniform_int_distribution<int64_t>(0, ticks)(rng), by});
  }
  std::sort(c.jumps.begin(), c.jumps.end());
  for (int i = pick(0, 3); i > 0; --i) c.restarts.push_back(std::uniform_int_distribution<int64_t>(0, ticks)(rng));
  std::sort(c.restarts.begin(), c.restarts.end());
  const TDateTime dstDay = c.start.DateOnly().AddDays(pick(0, c.days - 1));
  if (pick(0, 1)) c.clockRules.push_back({dstDay + Tod(3), dstDay + Tod(2)});
  if (pick(0, 1)) c.clockRules.push_back({dstDay.AddDays(1) + Tod(2), dstDay.AddDays(1) + Tod(3)});
  c.backupSeconds = pick(0, 40);
  c.boxSeconds = pick(0, 120);
  c.failFirst = pick(0, 1) ? pick(0, 5) : 0;
  c.failChance = pick(0, 2) == 0 ? 0.0 : pick(1, 60) / 100.0;
  c.failStreak = pick(1, 4);
  c.quietChance = pick(0, 3) / 3.0;
  return c;
}

TEST(SchedulerInvariants, HoldAfterEveryTick) {
#ifdef _WIN32
  const int randomCases = 6;  // under Wine a reduced count
#else
  const int randomCases = 60;
#endif
  std::vector<TCaseSetup> cases = TableCases();
  std::mt19937 caseRng(20261208);
  for (int i = 0; i < randomCases; ++i) cases.push_back(RandomCase(caseRng, i));
  int64_t ticks = 0, days = 0;
  int attempts = 0, successes = 0, boxes = 0;
  for (size_t i = 0; i < cases.size(); ++i) {
    TSimulation sim(cases[i], static_cast<uint32_t>(1000 + i));
    sim.Run();
    for (const std::string& fault : sim.Faults()) ADD_FAILURE() << cases[i].name << ": " << fault;
    ticks += sim.Ticks();
    days += cases[i].days;
    attempts += sim.Attempts();
    successes += sim.Successes();
    boxes += sim.Boxes();
  }
  std::printf("scheduler invariants: %zu cases, %.1f simulated weeks, %lld ticks, %d attempts (%d made), %d error boxes\n",
              cases.size(), days / 7.0, static_cast<long long>(ticks), attempts, successes, boxes);
  EXPECT_GT(successes, 0);
}

}  // namespace
}  // namespace odb
