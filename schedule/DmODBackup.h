#pragma once
// The data module: the times table of the backup plan and the time of the last
// completed backup. Created once at program start, before the settings window.
#include "backup/service/BackupService.h"
#include "backup/service/RestoreService.h"
#include "common/DateTime.h"
#include "schedule/MemTimes.h"

#include <cstdint>
#include <memory>

namespace odb {

// What the schedule computation reads of the settings window: the ticked
// weekdays, and the flag it raises when the plan yields an instant.
class TPlanWindow {
 public:
  virtual ~TPlanWindow() = default;
  virtual uint8_t DaysMask() const = 0;
  virtual void RaiseSlotPending() = 0;
};

class TDataODBackup {
 public:
  // now: the local clock's value at creation; there is no global clock. The
  // first constructor loads the Firebird client library (and raises when it
  // cannot); tests hand in a table of their own.
  explicit TDataODBackup(TDateTime now);
  TDataODBackup(TDateTime now, IFbClient& client);
  ~TDataODBackup();
  TDataODBackup(const TDataODBackup&) = delete;
  TDataODBackup& operator=(const TDataODBackup&) = delete;

  TBackupService& BackupService() { return *backupService_; }
  // The test restore of a verified backup; the same client library.
  TRestoreService& RestoreService() { return *restoreService_; }
  // The settings window, set when it is created.
  TPlanWindow* PlanWindow = nullptr;

  TMemTimes MemTimes;
  TFieldInfo& MemTimesID = MemTimes.FieldID;
  TFieldInfo& MemTimesTIME = MemTimes.FieldTIME;

  // Time of the last successful backup run.
  TDateTime LastRun;
  // The planned instant of the last backup the scheduler began; saved with LastRun.
  TDateTime LastPlannedRun = BaseDateTime;
  // The last ID handed out to a new row; only grows, so IDs are never reused in one run.
  int32_t LastTimeId = 0;

  void DataModuleCreate(TDateTime now);
  void MemTimesNewRecord(TMemTimes& table);
  void MemTimesBeforePost(TMemTimes& table);
  void MemTimesAfterPost(TMemTimes& table);

  // The latest planned instant after LastRun and not after now (today and the
  // six days before), or now when there is none.
  TDateTime LastMissedRun(TDateTime now);
  // The earliest planned instant at or after now (today and the six days
  // after), or BaseDateTime when there is none.
  TDateTime NextRun(TDateTime now);
  // The earliest planned instant at or after from and before from + 7 days, or
  // BaseDateTime: unlike NextRun it reaches the same weekday a week on.
  TDateTime UpcomingRun(TDateTime from);
  // Changes whenever the plan (weekdays or stored times) changes.
  uint64_t PlanVersion(uint8_t daysMask) const;

 private:
  void WireTable();
  TDateTime EarliestRun(TDateTime from, int days);
  std::unique_ptr<TBackupService> backupService_;
  std::unique_ptr<TRestoreService> restoreService_;
};

}  // namespace odb
