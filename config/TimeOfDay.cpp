#include "config/TimeOfDay.h"

#include <vector>

#include "common/Text.h"
#include "config/ListParse.h"

namespace odb {
namespace {

// One component converted and range-checked, written with two digits.
std::optional<std::string> TwoDigits(std::string_view component, int maximum) {
  const auto value = ParseInteger(NormalizeTimePart(component), false);
  if (!value || *value < 0 || *value > maximum) return std::nullopt;
  return std::string{static_cast<char>('0' + *value / 10), static_cast<char>('0' + *value % 10)};
}

std::string_view WholeSeconds(std::string_view seconds) {
  seconds = seconds.substr(0, seconds.find('.'));
  return seconds.substr(0, seconds.find(','));
}

bool Skip(std::string_view text, size_t& i, std::string_view chars) {
  if (i >= text.size() || chars.find(text[i]) == std::string_view::npos) return false;
  ++i;
  return true;
}

// One or two digits of a typed time.
bool ReadPart(std::string_view text, size_t& i, int& value) {
  const TDigitRun digits = ReadDigits(text, i, 10, 2);
  value = static_cast<int>(digits.value);
  return digits.count > 0;
}

std::optional<int> ReadMilliseconds(std::string_view text, size_t& i) {
  const size_t start = i;
  const TDigitRun digits = ReadDigits(text, i, 10, 3);
  if (digits.count == 0) return std::nullopt;
  return static_cast<int>(digits.value) * (i - start == 1 ? 100 : i - start == 2 ? 10 : 1);
}

}  // namespace

std::string NormalizeTimePart(std::string_view component) {
  if (component.empty()) return "0";
  if (component.front() != '0') return std::string(component);
  if (component.size() == 2) return std::string(component.substr(1));
  return "0";
}

bool NormalizeTime(std::string& text) {
  std::vector<std::string> parts;
  int count = SplitList(parts, text, ':');
  if (count == 0) return false;
  // As typed into the times table: 18.30 and 18,30 are hours and minutes.
  if (const size_t mark = parts[0].find_first_of(".,"); count == 1 && mark != std::string::npos) {
    parts = {parts[0].substr(0, mark), parts[0].substr(mark + 1)};
    count = 2;
  }
  const auto hour = TwoDigits(parts[0], 23);
  if (!hour) return false;
  const auto minute = count < 2 ? std::optional<std::string>("00") : TwoDigits(parts[1], 59);
  if (!minute) return false;
  const auto second = count < 3 ? std::optional<std::string>("00") : TwoDigits(WholeSeconds(parts[2]), 59);
  if (!second) return false;
  text = *hour + ":" + *minute + ":" + *second;
  return text.size() == 8;
}

std::optional<TDateTime> TryStrToTime(std::string_view text) {
  text = Trim(text, TBlanks::SpaceTab);
  size_t i = 0;
  int part[3] = {0, 0, 0};
  int count = 0;
  while (count < 3 && (count == 0 || Skip(text, i, ":"))) {
    if (!ReadPart(text, i, part[count++])) return std::nullopt;
  }
  int ms = 0;
  if (count == 1 && Skip(text, i, ".,")) {
    // Czech people write 18.30 too: hours and minutes, never 18:00 and three
    // tenths of a second.
    if (!ReadPart(text, i, part[1])) return std::nullopt;
  } else if (count == 3 && Skip(text, i, ".,")) {
    // A fraction belongs to the seconds only; after the minutes nobody means one.
    const auto fraction = ReadMilliseconds(text, i);
    if (!fraction) return std::nullopt;
    ms = *fraction;
  }
  if (i != text.size() || part[0] > 23 || part[1] > 59 || part[2] > 59) return std::nullopt;
  return TDateTime::TimeOfDay(part[0], part[1], part[2]).AddMs(ms);
}

}  // namespace odb
