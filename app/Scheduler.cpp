// The one-second scheduler: catch-up of a missed instant, announcement of the
// next one, and the backup once it has come.
#include "app/AppTexts.h"
#include "app/ODBackupDB.h"
#include "common/FlagGuard.h"
#include "common/Format.h"
#include "schedule/DmODBackup.h"

namespace odb {
namespace {

// A failed catch-up is tried again at most this often and this many times;
// every attempt shifts the generations before it can fail.
constexpr int64_t kCatchUpRetryMs = 60'000;
constexpr int kCatchUpAttempts = 3;
// With nothing coming, the search is repeated this often unless the plan changes.
constexpr int64_t kEmptySearchRepeatMs = 60'000;

// After the clock has been set back, the instant just backed up comes round
// again. It counts as done while the last backup lies between it and the
// plan's following instant (a week on when none is in sight).
TDateTime NextUndoneRun(TDataODBackup& data, TDateTime now) {
  const TDateTime next = data.NextRun(now);
  if (next == BaseDateTime || data.LastRun < next) return next;
  const TDateTime following = data.NextRun(next.AddMs(1));
  const TDateTime bound = following == BaseDateTime ? next.AddDays(7) : following;
  return data.LastRun < bound ? following : next;
}

}  // namespace

void TFrmODBackupDB::TimerTSTimer() {
  App.ProcessMessages();
  if (BackupRunning()) return;
  if (!BackupDue) {
    CheckSchedule();
    return;
  }
  SlotPending = false;
  const bool catchUp = NextRunTime == BaseDateTime;
  struct ClearDue {
    bool& due;
    ~ClearDue() { due = false; }
  } clearDue{BackupDue};
  if (!catchUp) {
    RunBackup();
    return;
  }
  try {
    // A detached start that failed, or generations that could not be shifted,
    // end quietly but are failed attempts all the same.
    if (backup_.PerformBackup(/*waitForOutput=*/false)) {
      catchUpFailures_ = 0;
    } else {
      CatchUpFailed(nullptr);
    }
  } catch (const std::exception& error) {
    BackupDue = false;
    CatchUpFailed(&error);
  }
}

void TFrmODBackupDB::CatchUpFailed(const std::exception* error) {
  ++catchUpFailures_;
  catchUpRetryAt_ = App.Now().AddMs(kCatchUpRetryMs);
  if (catchUpFailures_ >= kCatchUpAttempts) {
    // Give the missed instant up as after a failed planned backup: the next
    // evaluation announces the following one.
    NextRunTime = catchUpInstant_;
    catchUpFailures_ = 0;
  }
  if (!error) return;
  // Ticks go on while the box is open; none may open a second one.
  TFlagGuard showing(catchUpErrorShowing_);
  App.ShowException(*error);
}

bool TFrmODBackupDB::CatchUpWaiting(TDateTime now) const {
  return catchUpErrorShowing_ || (catchUpFailures_ > 0 && now < catchUpRetryAt_);
}

bool TFrmODBackupDB::NothingComingYet(TDateTime now) const {
  return emptySearchPlan_ == Data.PlanVersion(DaysMask()) && now < emptySearchRepeatAt_;
}

void TFrmODBackupDB::Announce(TDateTime now) {
  NextRunTime = NextUndoneRun(Data, now);
  if (NextRunTime != BaseDateTime) {
    AddLogEntry(FormatMsg(msg::NextBackupSet, FormatDateTime(NextRunTime)));
    return;
  }
  // Nothing is announced; the search is repeated when the plan changes, or
  // after a while, since the week it looks at moves on.
  emptySearchPlan_ = Data.PlanVersion(DaysMask());
  emptySearchRepeatAt_ = now.AddMs(kEmptySearchRepeatMs);
}

void TFrmODBackupDB::CheckSchedule() {
  const TDateTime now = App.Now();
  try {
    if (SlotPending) {
      if (BaseDateTime < NextRunTime && NextRunTime <= now) BackupDue = true;
      return;
    }
    if (NextRunTime == BaseDateTime) {
      if (CatchUpWaiting(now) || NothingComingYet(now)) return;
      const TDateTime missed = Data.LastMissedRun(now);
      BackupDue = missed < now;
      if (BackupDue) {
        catchUpInstant_ = missed;
        AddLogEntry(std::string(msg::CatchUpBackup));
        return;
      }
    }
    Announce(now);
  } catch (const std::exception&) {
    // A failed evaluation is dropped without a sign; the next tick tries again.
    SlotPending = false;
  }
}

void TFrmODBackupDB::ArmScheduleTimer() {
  if (!BackupDue) CheckSchedule();
}

}  // namespace odb
