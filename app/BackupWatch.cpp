#include "app/BackupWatch.h"

#include "service/ControlService.h"
#include "service/ServiceErrors.h"

namespace odb {

std::string CurrentErrorText() {
  try {
    throw;
  } catch (const std::exception& error) {
    return error.what();
  } catch (...) {
    return {};
  }
}

void TBackupWatch::Succeeded() {
  watching_ = false;
  Changed();
}

void TBackupWatch::DetachedStarted() {
  watching_ = true;
  Changed();
}

void TBackupWatch::Failed(TDateTime at, std::string error, TFailedStep step) {
  failure_ = TFailedAttempt{at, std::move(error), step};
  watching_ = false;
  Changed();
}

void TBackupWatch::Restore(TFailedAttempt failure) {
  failure_ = std::move(failure);
  Changed();
}

TDetachedLook TBackupWatch::Poll(TControlAndQueryService& service, TDateTime now) {
  if (!watching_) return TDetachedLook::Unknown;
  try {
    if (service.QueryRunning()) return TDetachedLook::Running;
    watching_ = false;
    return TDetachedLook::Ended;
  } catch (const EServerError& error) {
    // The backup's own error, or the server gone while it ran.
    Failed(now, error.what());
    return TDetachedLook::Failed;
  } catch (const std::exception&) {
    // Detached meanwhile or an odd reply: nothing known either way.
    watching_ = false;
    return TDetachedLook::Unknown;
  }
}

}  // namespace odb
