#include "common/Text.h"

namespace odb {
namespace {

int DigitValue(char c) {
  if (c >= '0' && c <= '9') return c - '0';
  if (c >= 'a' && c <= 'f') return c - 'a' + 10;
  if (c >= 'A' && c <= 'F') return c - 'A' + 10;
  return -1;
}

}  // namespace

bool IsBlank(char c, TBlanks blanks) {
  switch (blanks) {
    case TBlanks::Space:
      return c == ' ';
    case TBlanks::SpaceTab:
      return c == ' ' || c == '\t';
    case TBlanks::SpaceTabLineBreak:
      return c == ' ' || c == '\t' || c == '\r' || c == '\n';
    case TBlanks::Controls:
      return static_cast<unsigned char>(c) <= 32;
  }
  return false;
}

std::string_view TrimLeft(std::string_view text, TBlanks blanks) {
  while (!text.empty() && IsBlank(text.front(), blanks)) text.remove_prefix(1);
  return text;
}

std::string_view TrimRight(std::string_view text, TBlanks blanks) {
  while (!text.empty() && IsBlank(text.back(), blanks)) text.remove_suffix(1);
  return text;
}

std::string_view Trim(std::string_view text, TBlanks blanks) { return TrimRight(TrimLeft(text, blanks), blanks); }

bool IsBlankText(std::string_view text, TBlanks blanks) { return TrimLeft(text, blanks).empty(); }

bool IsDecimalDigit(char c) { return c >= '0' && c <= '9'; }

TDigitRun ReadDigits(std::string_view text, size_t& pos, int base, size_t maxDigits, uint64_t cap) {
  TDigitRun run;
  for (; pos < text.size() && run.count < maxDigits; ++pos, ++run.count) {
    const int digit = DigitValue(text[pos]);
    if (digit < 0 || digit >= base) break;
    const auto d = static_cast<uint64_t>(digit);
    run.value = run.value > (cap - d) / static_cast<uint64_t>(base) ? cap : run.value * base + d;
  }
  return run;
}

std::optional<int32_t> ParseInteger(std::string_view text, bool allowHex) {
  text = TrimLeft(text, TBlanks::Space);
  size_t i = 0;
  bool negative = false;
  if (i < text.size() && (text[i] == '+' || text[i] == '-')) negative = text[i++] == '-';
  int base = 10;
  if (allowHex && i < text.size() && (text[i] == '$' || text[i] == 'x' || text[i] == 'X')) {
    base = 16;
    ++i;
  }
  const TDigitRun digits = ReadDigits(text, i, base);
  if (digits.count == 0 || i != text.size()) return std::nullopt;
  if (digits.value > (base == 16 ? 0xFFFFFFFFULL : 0x80000000ULL)) return std::nullopt;
  int64_t value = static_cast<int64_t>(digits.value);
  // Hexadecimal fills all 32 bits, so $FFFFFFFF is -1.
  if (base == 16) value = static_cast<int32_t>(static_cast<uint32_t>(value));
  if (negative) value = -value;
  if (value > INT32_MAX || value < INT32_MIN) return std::nullopt;
  return static_cast<int32_t>(value);
}

size_t FileNameStart(const std::string& path) {
  const auto cut = path.find_last_of("\\/");
  return cut == std::string::npos ? 0 : cut + 1;
}

std::string ChangeExtension(const std::string& path, std::string_view extension) {
  const auto dot = path.rfind('.');
  if (dot == std::string::npos || dot < FileNameStart(path)) return path + std::string(extension);
  return path.substr(0, dot) + std::string(extension);
}

}  // namespace odb
