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

}  // namespace

std::string NormalizeTimePart(std::string_view component) {
  if (component.empty()) return "0";
  if (component.front() != '0') return std::string(component);
  if (component.size() == 2) return std::string(component.substr(1));
  return "0";
}

bool NormalizeTime(std::string& text) {
  std::vector<std::string> parts;
  const int count = SplitList(parts, text, ':');
  if (count == 0) return false;
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
  for (int k = 0; k < 3; ++k) {
    if (k > 0 && !Skip(text, i, ":")) break;
    const TDigitRun value = ReadDigits(text, i, 10, 2);
    if (value.count == 0) return std::nullopt;
    part[k] = static_cast<int>(value.value);
  }
  int ms = 0;
  if (Skip(text, i, ".,")) {
    const size_t start = i;
    const TDigitRun value = ReadDigits(text, i, 10, 3);
    if (value.count == 0) return std::nullopt;
    ms = static_cast<int>(value.value) * (i - start == 1 ? 100 : i - start == 2 ? 10 : 1);
  }
  if (i != text.size() || part[0] > 23 || part[1] > 59 || part[2] > 59) return std::nullopt;
  return TDateTime::TimeOfDay(part[0], part[1], part[2]).AddMs(ms);
}

}  // namespace odb
