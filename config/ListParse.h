#pragma once
// The two text forms of the configuration file that are taken apart: delimited
// lists ([Settings] Days) and times of day typed by a person ([Settings] Time_n).
#include <cstdint>
#include <optional>
#include <string>
#include <string_view>
#include <vector>

namespace odb {

// Empties list and fills it with the items of text; returns their number.
// Items before a delimiter are trimmed of codes 0..32, the last item is kept as
// it is, and a delimiter at the very end adds no empty item.
int SplitList(std::vector<std::string>& list, std::string_view text, char delimiter);
// Removes the first item, with its delimiter, from the front of rest.
std::string TakeToken(std::string& rest, char delimiter);
// "05" -> "5", "0" -> "0", "" -> "0", "007" -> "0"; anything not starting with "0" unchanged.
std::string NormalizeTimePart(std::string_view component);
// Accepts "h[:m[:s[.f]]]" with hours 0..23, minutes and seconds 0..59 and turns
// text into "hh:nn:ss". Components that are not whole decimal numbers are
// rejected. On false, text is of no further use.
[[nodiscard]] bool NormalizeTime(std::string& text);

// Whole-number conversion as the configuration's integers are read: optional
// leading blanks and sign, decimal digits or, when allowHex, hexadecimal after
// "$", "x" or "X"; the whole text must convert and fit 32 bits.
std::optional<int32_t> ParseInteger(std::string_view text, bool allowHex = true);

}  // namespace odb
