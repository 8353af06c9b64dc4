#include "app/BackupWatch.h"

#include "backup/service/ControlService.h"
#include "backup/service/ServiceErrors.h"

namespace odb {

void TBackupWatch::BackupStarting(TDateTime lastRun) {
  goodBefore_ = LastGood(lastRun);
  // The next PrepareBackupService detaches whatever was being watched.
  watching_ = false;
}

void TBackupWatch::Succeeded() {
  unconfirmed_ = false;
  watching_ = false;
  Changed();
}

void TBackupWatch::DetachedStarted() {
  unconfirmed_ = true;
  watching_ = true;
  Changed();
}

void TBackupWatch::Failed(TDateTime at, std::string error, bool verification) {
  failure_ = TFailedAttempt{at, std::move(error), verification};
  watching_ = false;
  Changed();
}

std::optional<TFailedAttempt> TBackupWatch::Poll(TControlAndQueryService& service, TDateTime now) {
  if (!watching_) return std::nullopt;
  try {
    if (service.QueryRunning()) return std::nullopt;
    Succeeded();
    return std::nullopt;
  } catch (const EServerError& error) {
    // The backup's own error, or the server gone while it ran.
    Failed(now, error.what());
    return failure_;
  } catch (const std::exception&) {
    // Detached meanwhile or an odd reply: nothing known either way.
    watching_ = false;
    return std::nullopt;
  }
}

}  // namespace odb
