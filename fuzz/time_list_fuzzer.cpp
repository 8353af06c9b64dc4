// The configuration's hand-typed texts: times of day, lists and integers.
#include <cstdint>
#include <cstdlib>
#include <string>
#include <vector>

#include "common/Text.h"
#include "config/ListParse.h"
#include "config/TimeOfDay.h"

namespace {

void Check(bool ok) {
  if (!ok) std::abort();
}

bool TwoDigits(const std::string& t, size_t at, int max) {
  if (t[at] < '0' || t[at] > '9' || t[at + 1] < '0' || t[at + 1] > '9') return false;
  return (t[at] - '0') * 10 + (t[at + 1] - '0') <= max;
}

}  // namespace

extern "C" int LLVMFuzzerTestOneInput(const uint8_t* data, size_t size) {
  const std::string text(reinterpret_cast<const char*>(data), size);

  std::string time = text;
  if (odb::NormalizeTime(time)) {
    // Accepted: exactly "hh:nn:ss" in range, and normalising it again changes nothing.
    Check(time.size() == 8 && time[2] == ':' && time[5] == ':');
    Check(TwoDigits(time, 0, 23) && TwoDigits(time, 3, 59) && TwoDigits(time, 6, 59));
    std::string again = time;
    Check(odb::NormalizeTime(again) && again == time);
  }

  const char delimiter = size ? static_cast<char>(data[0]) : ',';
  std::vector<std::string> items{"stale"};
  const int count = odb::SplitList(items, text, delimiter);
  Check(count == static_cast<int>(items.size()));
  size_t length = 0;
  for (const auto& item : items) {
    Check(item.find(delimiter) == std::string::npos);
    length += item.size();
  }
  Check(length <= text.size());

  std::string rest = text;
  const std::string token = odb::TakeToken(rest, delimiter);
  Check(token.size() + rest.size() <= text.size());

  if (const auto value = odb::ParseInteger(text)) {
    Check(odb::ParseInteger(std::to_string(*value), false) == value);
  }
  (void)odb::NormalizeTimePart(text);
  return 0;
}
