#pragma once
// What the program knows of its backups beyond LastRun: whether a detached
// backup is still being watched, and the last failed attempt. It feeds the
// status strip, the warnings and `odbackup --status`.
#include <cstdint>
#include <optional>
#include <string>
#include <string_view>

#include "app/StatusStrip.h"
#include "common/DateTime.h"

namespace odb {

class TControlAndQueryService;

// The message of the exception being handled; call only inside a catch.
std::string CurrentErrorText();

// What one look at a detached backup found.
enum class TDetachedLook { Running, Ended, Failed, Unknown };

class TBackupWatch {
 public:
  const std::optional<TFailedAttempt>& Failure() const { return failure_; }
  bool Watching() const { return watching_; }
  // Changes with every change of what the watch knows.
  uint64_t Version() const { return version_; }

  // A backup run begins: the next PrepareBackupService detaches whatever was
  // being watched.
  void BackupStarting() { watching_ = false; }
  void Succeeded();
  void DetachedStarted();
  void Failed(TDateTime at, std::string error, TFailedStep step = TFailedStep::Backup);
  // The failure recorded before the program started.
  void Restore(TFailedAttempt failure);
  // One look at the detached backup. Failed: Failure() holds what the server
  // said. Ended and Unknown end the watch; Unknown is an answer that tells
  // nothing either way.
  TDetachedLook Poll(TControlAndQueryService& service, TDateTime now);

 private:
  void Changed() { ++version_; }
  bool watching_ = false;
  std::optional<TFailedAttempt> failure_;
  uint64_t version_ = 0;
};

}  // namespace odb
