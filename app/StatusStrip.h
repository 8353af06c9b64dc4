#pragma once
// The text of the status strip LaStatus: the last good backup, the next one
// (or the one in progress), and a failed attempt (with its error's first line) until the next success.
#include <optional>
#include <string>
#include <vector>

#include "app/BackupProgress.h"
#include "common/DateTime.h"

namespace odb {

// The step of an attempt that failed. After the backup itself the error's
// text names the step (a test restore, the mirror's copy).
enum class TFailedStep { Backup, Verification, Copy };

struct TFailedAttempt {
  TDateTime at;
  std::string error;  // the error's whole text; the strip shows its first line
  TFailedStep step = TFailedStep::Backup;
  friend bool operator==(const TFailedAttempt&, const TFailedAttempt&) = default;
};

struct TStatusFacts {
  TDateTime lastGood = BaseDateTime;  // BaseDateTime: none yet
  bool paused = false;
  bool planEmpty = false;
  TDateTime next = BaseDateTime;  // BaseDateTime: nothing coming
  std::optional<TFailedAttempt> failure;
  // A backup in progress: said in place of the next one.
  std::optional<TBackupProgress> running;
  friend bool operator==(const TStatusFacts&, const TStatusFacts&) = default;
};

struct TStatusStrip {
  std::vector<std::string> lines;
  bool warning = false;  // shown in the warning colour
  // The lines joined by CR LF, as a multi-line label takes them.
  std::string Text() const;
};

TStatusStrip StatusStripText(const TStatusFacts& facts);
// "Probíhá záloha…", with the table or the line count of a verbose backup.
std::string ProgressLine(const TBackupProgress& progress);
// The first line of an error text, without the line break.
std::string FirstLine(const std::string& text);

}  // namespace odb
