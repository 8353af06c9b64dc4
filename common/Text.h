#pragma once
// Blank trimming and integer reading. Which characters count as blank differs
// on purpose from place to place (a typed value, a list item, a server name),
// so every caller names its set instead of keeping a trim of its own.
#include <cstddef>
#include <cstdint>
#include <optional>
#include <string>
#include <string_view>

namespace odb {

enum class TBlanks {
  Space,              // ' ' only
  SpaceTab,           // ' ' and tab: around a value in the INI file or typed in a field
  SpaceTabLineBreak,  // ' ', tab, CR and LF
  Controls,           // every code 0..32: blanks, tabs, line breaks, other control characters
};

bool IsBlank(char c, TBlanks blanks);
std::string_view TrimLeft(std::string_view text, TBlanks blanks);
std::string_view TrimRight(std::string_view text, TBlanks blanks);
std::string_view Trim(std::string_view text, TBlanks blanks);
// True for an empty text and for one of blanks only.
bool IsBlankText(std::string_view text, TBlanks blanks);

bool IsDecimalDigit(char c);

// The digits of the base (10 or 16) from text[pos] on, at most maxDigits of
// them; pos ends after the last one read. The value stops growing at cap, so
// no text can overflow it; count 0 means no digit was there.
struct TDigitRun {
  uint64_t value = 0;
  size_t count = 0;
};
TDigitRun ReadDigits(std::string_view text, size_t& pos, int base = 10,
                     size_t maxDigits = SIZE_MAX, uint64_t cap = UINT64_MAX);

// Whole-number conversion as the configuration's integers are read: optional
// leading spaces and sign, decimal digits or, when allowHex, hexadecimal after
// "$", "x" or "X"; the whole text must convert and fit 32 bits.
std::optional<int32_t> ParseInteger(std::string_view text, bool allowHex = true);

// Where the file name begins in a path ("\\" or "/" delimited).
size_t FileNameStart(const std::string& path);
// The path with the file name's extension replaced (or appended).
std::string ChangeExtension(const std::string& path, std::string_view extension);

}  // namespace odb
