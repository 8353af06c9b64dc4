#pragma once
// The data module: the service components and the times table the settings
// window's grid edits. Created once at program start, before the settings
// window; the commands that only read the settings never create it, so they
// work without the client library.
#include "service/BackupService.h"
#include "service/RestoreService.h"
#include "schedule/MemTimes.h"

#include <cstdint>
#include <memory>

namespace odb {

class TDataODBackup {
 public:
  // The first constructor loads the Firebird client library (and raises when
  // it cannot); tests hand in a table of their own.
  TDataODBackup();
  explicit TDataODBackup(IFbClient& client);
  ~TDataODBackup();
  TDataODBackup(const TDataODBackup&) = delete;
  TDataODBackup& operator=(const TDataODBackup&) = delete;

  TBackupService& BackupService() { return *backupService_; }
  // The test restore of a verified backup; the same client library.
  TRestoreService& RestoreService() { return *restoreService_; }
  // A restore the user asked for: apart from the test restore, which a
  // planned backup may start while it runs.
  TRestoreService& UserRestoreService() { return *userRestoreService_; }

  TMemTimes MemTimes;
  TFieldInfo& MemTimesID = MemTimes.FieldID;
  TFieldInfo& MemTimesTIME = MemTimes.FieldTIME;

  // The last ID handed out to a new row; only grows, so IDs are never reused in one run.
  int32_t LastTimeId = 0;

  void DataModuleCreate();
  void MemTimesNewRecord(TMemTimes& table);
  void MemTimesBeforePost(TMemTimes& table);
  void MemTimesAfterPost(TMemTimes& table);

 private:
  void WireTable();
  std::unique_ptr<TBackupService> backupService_;
  std::unique_ptr<TRestoreService> restoreService_;
  std::unique_ptr<TRestoreService> userRestoreService_;
};

}  // namespace odb
