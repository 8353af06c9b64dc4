#pragma once
// The data module: the times table of the backup plan and the time of the last
// completed backup. Created once at program start, before the settings window.
#include "common/DateTime.h"
#include "schedule/MemTimes.h"

#include <cstdint>

namespace odb {

class TDataODBackup {
 public:
  // now: the local clock's value at creation; there is no global clock.
  explicit TDataODBackup(TDateTime now);
  TDataODBackup(const TDataODBackup&) = delete;
  TDataODBackup& operator=(const TDataODBackup&) = delete;

  // The service manager client (BackupService) is created here, before the table.

  TMemTimes MemTimes;
  TFieldInfo& MemTimesID = MemTimes.FieldID;
  TFieldInfo& MemTimesTIME = MemTimes.FieldTIME;

  // Time of the last successful backup run.
  TDateTime LastRun;
  // The last ID handed out to a new row; only grows, so IDs are never reused in one run.
  int32_t LastTimeId = 0;

  void DataModuleCreate(TDateTime now);
  void MemTimesNewRecord(TMemTimes& table);
  void MemTimesBeforePost(TMemTimes& table);
  void MemTimesAfterPost(TMemTimes& table);
};

}  // namespace odb
