#include "app/StatusStrip.h"

#include "common/Format.h"

namespace odb {
namespace {

constexpr std::string_view kLastBackup = "Poslední záloha: %s";
constexpr std::string_view kNoBackupYet = "Zatím žádná záloha";
constexpr std::string_view kNextBackup = "Příští záloha: %s";
constexpr std::string_view kNothingComing = "Příští záloha: není v dohledu";
constexpr std::string_view kPaused = "Zálohy pozastaveny";
constexpr std::string_view kPlanEmpty = "Plán záloh je prázdný";
constexpr std::string_view kAttemptFailed = "Poslední pokus selhal: %s";

std::string NextLine(const TStatusFacts& facts) {
  if (facts.paused) return std::string(kPaused);
  if (facts.planEmpty) return std::string(kPlanEmpty);
  if (facts.next == BaseDateTime) return std::string(kNothingComing);
  return FormatMsg(kNextBackup, FormatDateTime(facts.next));
}

}  // namespace

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
                            ? std::string(kNoBackupYet)
                            : FormatMsg(kLastBackup, FormatDateTime(facts.lastGood)));
  strip.lines.push_back(NextLine(facts));
  // A success after the failure clears it.
  if (facts.failure && facts.lastGood <= facts.failure->at) {
    std::string line = FormatMsg(kAttemptFailed, FormatDateTime(facts.failure->at));
    const std::string first = FirstLine(facts.failure->error);
    if (!first.empty()) line += " – " + first;
    strip.lines.push_back(std::move(line));
    strip.warning = true;
  }
  return strip;
}

}  // namespace odb
