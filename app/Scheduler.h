#pragma once
// The planned-backup scheduler: its state and the decision of each one-second
// tick, apart from the window, so that it runs as well on virtual time with a
// plan and a program of a test's own.
#include <cstdint>
#include <exception>
#include <functional>
#include <string>

#include "common/DateTime.h"
#include "config/ProgramSettings.h"

namespace odb {

// What the scheduler reads of the plan (ticked weekdays, times, LastRun), and
// the one thing it writes there: the last planned instant it served.
class TSchedulePlan {
 public:
  virtual ~TSchedulePlan() = default;
  // The latest planned instant after LastRun and not after now, or now.
  virtual TDateTime LastMissedRun(TDateTime now) = 0;
  // The earliest planned instant at or after from, up to seven days on, or
  // BaseDateTime when the plan has none.
  virtual TDateTime NextPlannedInstant(TDateTime from) = 0;
  virtual TDateTime LastRun() const = 0;
  // The planned instant of the last backup the scheduler began, or BaseDateTime.
  // It lives with LastRun, so that a restart keeps it.
  virtual TDateTime LastPlannedRun() const = 0;
  virtual void SetLastPlannedRun(TDateTime instant) = 0;
  // Changes whenever the weekdays or the times change.
  virtual uint64_t Version() const = 0;
};

// What a tick does through the program around the scheduler.
class TScheduleHost {
 public:
  virtual ~TScheduleHost() = default;
  virtual TDateTime Now() const = 0;
  // A backup is in progress at one of its steps (a box of it may be open).
  virtual bool BackupBusy() const = 0;
  virtual void AddLogEntry(const std::string& message) = 0;
  // A planned backup; its failure is raised.
  virtual void RunBackup() = 0;
  // A catch-up backup: false when it failed without raising.
  [[nodiscard]] virtual bool CatchUpBackup() = 0;
  // The application's error box; ticks go on while it is open.
  virtual void ShowException(const std::exception& error) = 0;
};

// The live settings' plan and LastRun. beforeSearch, when given, runs before
// each search: the window completes a time still being typed into the grid.
class TSettingsPlan final : public TSchedulePlan {
 public:
  explicit TSettingsPlan(TSettings& settings, std::function<void()> beforeSearch = {})
      : settings_(settings), beforeSearch_(std::move(beforeSearch)) {}
  TDateTime LastMissedRun(TDateTime now) override;
  TDateTime NextPlannedInstant(TDateTime from) override;
  TDateTime LastRun() const override { return settings_.LastRun; }
  TDateTime LastPlannedRun() const override { return settings_.LastPlannedRun; }
  void SetLastPlannedRun(TDateTime instant) override { settings_.LastPlannedRun = instant; }
  uint64_t Version() const override;

 private:
  void BeforeSearch() const;

  TSettings& settings_;
  std::function<void()> beforeSearch_;
};

enum class TTickAction {
  Nothing,         // waiting, marking an instant due, or the evaluation failed
  CatchUpFound,    // a missed instant: logged, and the next tick makes it up
  Announce,        // the instant is the next planned one
  PerformPlanned,  // the announced instant has come
  PerformCatchUp,
};

struct TTick {
  TTickAction action = TTickAction::Nothing;
  TDateTime instant;  // announced, missed, or the one performed (BaseDateTime: a catch-up)
};

class TScheduler {
 public:
  TScheduler(TSchedulePlan& plan, TScheduleHost& host) : plan_(plan), host_(host) {}

  // As the window is created: nothing announced, pending or due.
  void Reset();
  // What the tick at now does, given the state; it changes the scheduler's
  // own state and nothing else (the plan is only read).
  TTick Step(TDateTime now, bool backupBusy);
  // What one evaluation at now does (the part of Step without a due backup).
  TTick Evaluate(TDateTime now);

  // Step at the host's now, then what it decided, through the host.
  void TimerTSTimer();
  void CheckSchedule();
  // OK with BackupOnTimer: one evaluation unless a backup is due.
  void ArmScheduleTimer();

  // The last announced instant; BaseDateTime: nothing announced since start.
  TDateTime NextRunTime() const { return nextRunTime_; }
  // An instant found by the search waits to be performed.
  bool SlotPending() const { return slotPending_; }
  // The next tick performs a backup.
  bool BackupDue() const { return backupDue_; }

 private:
  void Carry(const TTick& tick);
  void PerformPlanned();
  void PerformCatchUp();
  void CatchUpFailed(const std::exception* error);  // null: failed without an error
  void ShowError(const std::exception& error);
  bool CatchUpWaiting(TDateTime now) const;
  bool NothingComingYet(TDateTime now) const;
  TTick Announce(TDateTime now);
  TTick AnnounceEarlier(TDateTime now);
  TDateTime NextUndoneRun(TDateTime now);
  TDateTime SearchFrom(TDateTime now) const;

  TSchedulePlan& plan_;
  TScheduleHost& host_;
  TDateTime nextRunTime_ = BaseDateTime;
  TDateTime lastNow_;  // of the last evaluation, to see the clock set back
  bool slotPending_ = false;
  bool backupDue_ = false;
  int catchUpFailures_ = 0;
  TDateTime catchUpFailedAt_;
  TDateTime catchUpInstant_;
  bool errorShowing_ = false;
  uint64_t emptySearchPlan_ = ~uint64_t{0};
  TDateTime emptySearchAt_;
};

}  // namespace odb
