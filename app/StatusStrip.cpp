#include "app/StatusStrip.h"

#include "app/AppTexts.h"
#include "common/Format.h"
#include "schedule/ScheduleTexts.h"

namespace odb {
namespace {

std::string NextLine(const TStatusFacts& facts) {
  if (facts.running) return ProgressLine(*facts.running);
  if (facts.paused) return std::string(msg::StripPaused);
  if (facts.planEmpty) return std::string(msg::StripPlanEmpty);
  if (facts.next == BaseDateTime) return std::string(msg::StripNothingComing);
  return FormatMsg(msg::StripNextBackup, FormatDateTime(facts.next));
}

}  // namespace

std::string ProgressLine(const TBackupProgress& progress) {
  if (!progress.table.empty()) return FormatMsg(msg::StripRunningTable, progress.table);
  if (progress.verbose && progress.lines > 0) return FormatMsg(msg::StripRunningLines, progress.lines);
  return std::string(msg::StripRunning);
}

std::string FirstLine(const std::string& text) {
  const size_t end = text.find_first_of("\r\n");
  return end == std::string::npos ? text : text.substr(0, end);
}

std::string TStatusStrip::Text() const {
  std::string text;
  for (const std::string& line : lines) {
    if (!text.empty()) text += "\r\n";
    text += line;
  }
  return text;
}

TStatusStrip StatusStripText(const TStatusFacts& facts) {
  TStatusStrip strip;
  strip.lines.push_back(facts.lastGood == BaseDateTime
                            ? std::string(msg::NoBackupYet)
                            : FormatMsg(msg::StripLastBackup, FormatDateTime(facts.lastGood)));
  strip.lines.push_back(NextLine(facts));
  // A success after the failure clears it.
  if (facts.failure && facts.lastGood <= facts.failure->at) {
    strip.lines.push_back(FormatMsg(msg::StripAttemptFailed, FormatDateTime(facts.failure->at)));
    // A line of its own: the strip is narrow and the error text long.
    const std::string first = FirstLine(facts.failure->error);
    if (!first.empty()) strip.lines.push_back(first);
    strip.warning = true;
  }
  return strip;
}

}  // namespace odb
