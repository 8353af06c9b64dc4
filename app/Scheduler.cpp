// The one-second scheduler: catch-up of a missed instant, announcement of the
// next one, and the backup once it has come.
#include "app/Scheduler.h"

#include "app/AppTexts.h"
#include "app/ODBackupDB.h"
#include "common/FlagGuard.h"
#include "common/Format.h"
#include "schedule/ScheduleComputation.h"

namespace odb {
namespace {

// A failed catch-up is tried again at most this often and this many times;
// every attempt shifts the generations before it can fail.
constexpr int64_t kCatchUpRetryMs = 60'000;
constexpr int kCatchUpAttempts = 3;
// With nothing coming, the search is repeated this often unless the plan changes.
constexpr int64_t kEmptySearchRepeatMs = 60'000;
// A served instant further ahead than this was served by a clock that was wrong.
constexpr int kServedAheadDays = 7;

// Within the while after since; a clock set back before since has waited enough.
bool Within(TDateTime now, TDateTime since, int64_t ms) { return since <= now && now < since.AddMs(ms); }

}  // namespace

void TSettingsPlan::BeforeSearch() const {
  if (beforeSearch_) beforeSearch_();
}

TDateTime TSettingsPlan::LastMissedRun(TDateTime now) {
  BeforeSearch();
  return odb::LastMissedRun(settings_.Plan, settings_.LastRun, now);
}

TDateTime TSettingsPlan::NextPlannedInstant(TDateTime from) {
  BeforeSearch();
  return odb::NextPlannedInstant(settings_.Plan, from);
}

uint64_t TSettingsPlan::Version() const { return PlanVersion(settings_.Plan); }

void TScheduler::Reset() {
  nextRunTime_ = BaseDateTime;
  slotPending_ = false;
  backupDue_ = false;
  catchUpFailures_ = 0;
  emptySearchPlan_ = ~uint64_t{0};
  lastNow_ = TDateTime();
}

TTick TScheduler::Step(TDateTime now, bool backupBusy) {
  if (backupBusy) return {};
  if (!backupDue_) return Evaluate(now);
  // A due backup waits while the box of the last failure is open, so that a
  // second failure cannot open another; it is made when the box is closed.
  if (errorShowing_) return {};
  slotPending_ = false;
  return {nextRunTime_ == BaseDateTime ? TTickAction::PerformCatchUp : TTickAction::PerformPlanned, nextRunTime_};
}

TTick TScheduler::Evaluate(TDateTime now) {
  const bool clockSetBack = now < lastNow_;
  lastNow_ = now;
  try {
    if (slotPending_) {
      if (BaseDateTime < nextRunTime_ && nextRunTime_ <= now) backupDue_ = true;
      return clockSetBack ? AnnounceEarlier(now) : TTick{};
    }
    if (nextRunTime_ == BaseDateTime) {
      if (CatchUpWaiting(now) || NothingComingYet(now)) return {};
      const TDateTime missed = plan_.LastMissedRun(now);
      backupDue_ = missed < now;
      slotPending_ = backupDue_;
      if (backupDue_) {
        catchUpInstant_ = missed;
        return {TTickAction::CatchUpFound, missed};
      }
    }
    return Announce(now);
  } catch (const std::exception&) {
    // A failed evaluation is dropped without a sign; the next tick tries again.
    slotPending_ = false;
    return {};
  }
}

TTick TScheduler::Announce(TDateTime now) {
  nextRunTime_ = NextUndoneRun(now);
  slotPending_ = nextRunTime_ != BaseDateTime;
  if (slotPending_) return {TTickAction::Announce, nextRunTime_};
  // The plan has no instant; the search is repeated when it changes, or after
  // a while in case a change went unseen.
  emptySearchPlan_ = plan_.Version();
  emptySearchAt_ = now;
  return {};
}

// With the clock set back, planned instants lie again between now and the
// announced one; the first of them not yet backed up is announced instead.
TTick TScheduler::AnnounceEarlier(TDateTime now) {
  const TDateTime earlier = NextUndoneRun(now);
  if (earlier == BaseDateTime || !(earlier < nextRunTime_)) return {};
  nextRunTime_ = earlier;
  return {TTickAction::Announce, earlier};
}

// After the clock has been set back, the instant just backed up comes round
// again. It counts as done while the last backup lies between it and the
// plan's following instant, which is at most a week after it.
TDateTime TScheduler::NextUndoneRun(TDateTime now) {
  const TDateTime next = plan_.NextPlannedInstant(SearchFrom(now));
  if (next == BaseDateTime || plan_.LastRun() < next) return next;
  const TDateTime following = plan_.NextPlannedInstant(next.AddMs(1));
  return plan_.LastRun() < following ? following : next;
}

// An instant that was served is not served again when the clock comes round to
// it once more (the repeated hour of the autumn change, a clock set back), also
// after a restart. One served more than a week ahead of now is let go: holding
// to it would stop every planned backup until the clock got there.
TDateTime TScheduler::SearchFrom(TDateTime now) const {
  const TDateTime served = plan_.LastPlannedRun();
  return now <= served && served < now.AddDays(kServedAheadDays) ? served.AddMs(1) : now;
}

bool TScheduler::CatchUpWaiting(TDateTime now) const {
  return errorShowing_ || (catchUpFailures_ > 0 && Within(now, catchUpFailedAt_, kCatchUpRetryMs));
}

bool TScheduler::NothingComingYet(TDateTime now) const {
  return emptySearchPlan_ == plan_.Version() && Within(now, emptySearchAt_, kEmptySearchRepeatMs);
}

void TScheduler::TimerTSTimer() { Carry(Step(host_.Now(), host_.BackupBusy())); }

void TScheduler::CheckSchedule() { Carry(Evaluate(host_.Now())); }

void TScheduler::ArmScheduleTimer() {
  if (!backupDue_) CheckSchedule();
}

void TScheduler::Carry(const TTick& tick) {
  switch (tick.action) {
    case TTickAction::Nothing:
      return;
    case TTickAction::CatchUpFound:
      host_.AddLogEntry(std::string(msg::CatchUpBackup));
      return;
    case TTickAction::Announce:
      host_.AddLogEntry(FormatMsg(msg::NextBackupSet, FormatDateTime(tick.instant)));
      return;
    case TTickAction::PerformPlanned:
      PerformPlanned();
      return;
    case TTickAction::PerformCatchUp:
      PerformCatchUp();
      return;
  }
}

// BackupDue stays set until the backup has returned, however it ends; it is
// lowered before an error box, in which ticks go on.
void TScheduler::PerformPlanned() {
  TFlagGuard due(backupDue_);
  // Served once begun: a failed instant is not retried in this run either.
  plan_.SetLastPlannedRun(nextRunTime_);
  try {
    host_.RunBackup();
  } catch (const std::exception& error) {
    // Not retried: the next evaluation announces the following instant.
    backupDue_ = false;
    ShowError(error);
  }
}

void TScheduler::PerformCatchUp() {
  TFlagGuard due(backupDue_);
  plan_.SetLastPlannedRun(catchUpInstant_);
  try {
    // A detached start that failed, or generations that could not be shifted,
    // end quietly but are failed attempts all the same.
    if (host_.CatchUpBackup()) {
      catchUpFailures_ = 0;
    } else {
      CatchUpFailed(nullptr);
    }
  } catch (const std::exception& error) {
    backupDue_ = false;
    CatchUpFailed(&error);
  }
}

void TScheduler::CatchUpFailed(const std::exception* error) {
  ++catchUpFailures_;
  catchUpFailedAt_ = host_.Now();
  if (catchUpFailures_ >= kCatchUpAttempts) {
    // Give the missed instant up as after a failed planned backup: the next
    // evaluation announces the following one.
    nextRunTime_ = catchUpInstant_;
    catchUpFailures_ = 0;
  }
  if (error) ShowError(*error);
}

void TScheduler::ShowError(const std::exception& error) {
  // Ticks go on while the box is open; none may open a second one.
  TFlagGuard showing(errorShowing_);
  host_.ShowException(error);
}

void TFrmODBackupDB::TimerTSTimer() {
  App.ProcessMessages();
  scheduler_.TimerTSTimer();
}

TDateTime TFrmODBackupDB::TSchedulerHost::Now() const { return form_.App.Now(); }
bool TFrmODBackupDB::TSchedulerHost::BackupBusy() const {
  return form_.BackupRunning();
}
void TFrmODBackupDB::TSchedulerHost::AddLogEntry(const std::string& message) { form_.AddLogEntry(message); }
void TFrmODBackupDB::TSchedulerHost::RunBackup() { form_.RunBackup(); }
bool TFrmODBackupDB::TSchedulerHost::CatchUpBackup() { return form_.backup_.PerformBackup(/*waitForOutput=*/false); }
void TFrmODBackupDB::TSchedulerHost::ShowException(const std::exception& error) {
  form_.App.ShowException(error);
}

}  // namespace odb
