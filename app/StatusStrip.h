#pragma once
// The text of the status strip LaStatus: the last good backup, the next one,
// and a failed attempt (with its error's first line) until the next success.
#include <optional>
#include <string>
#include <vector>

#include "common/DateTime.h"

namespace odb {

struct TFailedAttempt {
  TDateTime at;
  std::string error;  // the error's whole text; the strip shows its first line
  bool verification = false;  // the backup was made; its test restore failed (error says so)
  friend bool operator==(const TFailedAttempt&, const TFailedAttempt&) = default;
};

struct TStatusFacts {
  TDateTime lastGood = BaseDateTime;  // BaseDateTime: none yet
  bool paused = false;
  bool planEmpty = false;
  TDateTime next = BaseDateTime;  // BaseDateTime: nothing coming
  std::optional<TFailedAttempt> failure;
  friend bool operator==(const TStatusFacts&, const TStatusFacts&) = default;
};

struct TStatusStrip {
  std::vector<std::string> lines;
  bool warning = false;  // shown in the warning colour
  // The lines joined by CR LF, as a multi-line label takes them.
  std::string Text() const;
};

TStatusStrip StatusStripText(const TStatusFacts& facts);
// The first line of an error text, without the line break.
std::string FirstLine(const std::string& text);

}  // namespace odb
