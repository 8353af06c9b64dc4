#include "config/ListParse.h"

#include <utility>

namespace odb {
namespace {

bool IsControlOrBlank(char c) { return static_cast<unsigned char>(c) <= 32; }

std::string_view TrimControls(std::string_view text) {
  while (!text.empty() && IsControlOrBlank(text.front())) text.remove_prefix(1);
  while (!text.empty() && IsControlOrBlank(text.back())) text.remove_suffix(1);
  return text;
}

int HexDigit(char c) {
  if (c >= '0' && c <= '9') return c - '0';
  if (c >= 'a' && c <= 'f') return c - 'a' + 10;
  if (c >= 'A' && c <= 'F') return c - 'A' + 10;
  return -1;
}

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

}  // namespace

std::string TakeToken(std::string& rest, char delimiter) {
  const auto at = rest.find(delimiter);
  if (at == std::string::npos) return std::exchange(rest, std::string());
  std::string item(TrimControls(std::string_view(rest).substr(0, at)));
  rest.erase(0, at + 1);
  return item;
}

int SplitList(std::vector<std::string>& list, std::string_view text, char delimiter) {
  list.clear();
  std::string rest(text);
  while (!rest.empty()) list.push_back(TakeToken(rest, delimiter));
  return static_cast<int>(list.size());
}

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

std::optional<int32_t> ParseInteger(std::string_view text, bool allowHex) {
  size_t i = 0;
  while (i < text.size() && text[i] == ' ') ++i;
  bool negative = false;
  if (i < text.size() && (text[i] == '+' || text[i] == '-')) negative = text[i++] == '-';
  int base = 10;
  if (allowHex && i < text.size() && (text[i] == '$' || text[i] == 'x' || text[i] == 'X')) {
    base = 16;
    ++i;
  }
  if (i == text.size()) return std::nullopt;
  int64_t value = 0;
  for (; i < text.size(); ++i) {
    const int digit = HexDigit(text[i]);
    if (digit < 0 || digit >= base) return std::nullopt;
    value = value * base + digit;
    if (value > (base == 16 ? 0xFFFFFFFFLL : 0x80000000LL)) return std::nullopt;
  }
  if (base == 16) value = static_cast<int32_t>(static_cast<uint32_t>(value));
  if (negative) value = -value;
  if (value > INT32_MAX || value < INT32_MIN) return std::nullopt;
  return static_cast<int32_t>(value);
}

}  // namespace odb
