#include "schedule/DmODBackup.h"

#include "common/Errors.h"
#include "schedule/ScheduleTexts.h"

#include <limits>

namespace odb {

TDataODBackup::TDataODBackup()
    : backupService_(std::make_unique<TBackupService>()),
      restoreService_(std::make_unique<TRestoreService>()),
      userRestoreService_(std::make_unique<TRestoreService>()) {
  WireTable();
  DataModuleCreate();
}

TDataODBackup::TDataODBackup(IFbClient& client)
    : backupService_(std::make_unique<TBackupService>(client)),
      restoreService_(std::make_unique<TRestoreService>(client)),
      userRestoreService_(std::make_unique<TRestoreService>(client)) {
  WireTable();
  DataModuleCreate();
}

TDataODBackup::~TDataODBackup() = default;

void TDataODBackup::WireTable() {
  MemTimes.OnNewRecord = [this](TMemTimes& table) { MemTimesNewRecord(table); };
  MemTimes.BeforePost = [this](TMemTimes& table) { MemTimesBeforePost(table); };
  MemTimes.AfterPost = [this](TMemTimes& table) { MemTimesAfterPost(table); };
}

void TDataODBackup::DataModuleCreate() { LastTimeId = 0; }

void TDataODBackup::MemTimesNewRecord(TMemTimes& table) {
  struct TReadOnlyAgain {
    TFieldInfo& field;
    ~TReadOnlyAgain() { field.ReadOnly = true; }
  } guard{MemTimesID};
  MemTimesID.ReadOnly = false;
  if (LastTimeId == std::numeric_limits<int32_t>::max()) throw ERangeError(std::string(msg::IntOverflow));
  ++LastTimeId;
  table.SetID(LastTimeId);
}

// A row without a time never reaches the table; nothing is said about it.
void TDataODBackup::MemTimesBeforePost(TMemTimes& table) {
  if (table.IsTimeNull()) table.Cancel();
}

void TDataODBackup::MemTimesAfterPost(TMemTimes& table) { table.SortByTime(); }

}  // namespace odb
