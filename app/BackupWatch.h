#pragma once
// What the program knows of its last backups beyond LastRun: whether a
// detached backup has really worked (LastRun is the time of its start), and
// the last failed attempt. It feeds the status strip, the warnings and the
// staleness rule.
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

class TBackupWatch {
 public:
  // The last backup known to have worked: LastRun, unless LastRun is the start
  // of a detached backup that has not been seen to end well.
  TDateTime LastGood(TDateTime lastRun) const { return unconfirmed_ ? goodBefore_ : lastRun; }
  const std::optional<TFailedAttempt>& Failure() const { return failure_; }
  bool Watching() const { return watching_; }
  // Changes with every change of what the watch knows.
  uint64_t Version() const { return version_; }

  // A backup run begins; lastRun is LastRun before it.
  void BackupStarting(TDateTime lastRun);
  void Succeeded();
  void DetachedStarted();
  // verification: the backup was made, its test restore failed.
  void Failed(TDateTime at, std::string error, bool verification = false);
  // One look at the detached backup. Returns the failure when this look found
  // one; an answer that tells nothing ends the watch without a verdict.
  std::optional<TFailedAttempt> Poll(TControlAndQueryService& service, TDateTime now);

 private:
  void Changed() { ++version_; }
  bool watching_ = false;
  bool unconfirmed_ = false;
  TDateTime goodBefore_ = BaseDateTime;
  std::optional<TFailedAttempt> failure_;
  uint64_t version_ = 0;
};

}  // namespace odb
