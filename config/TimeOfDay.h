#pragma once
// Times of day read from text. There are two grammars on purpose, and they
// must not be merged: a fix to one is no fix to the other.
//  - NormalizeTime reads the [Settings] Time_n entries of the configuration
//    file, which older versions wrote and people edit by hand; it is lenient
//    per component and hands back the text the file should hold.
//  - TryStrToTime reads what a person types into the times table, in the form
//    a Czech Windows shows times; it is strict about the shape and gives the
//    time itself.
// An entry the file accepts can be refused in the table ("+7", "007:30",
// "12 : 30"); both stay so, since changing either would change which plans
// load or which times can be typed.
#include <optional>
#include <string>
#include <string_view>

#include "common/DateTime.h"

namespace odb {

// "05" -> "5", "0" -> "0", "" -> "0", "007" -> "0"; anything not starting with "0" unchanged.
std::string NormalizeTimePart(std::string_view component);
// Accepts "h[:m[:s[.f]]]" and "h.m" or "h,m" with hours 0..23, minutes and
// seconds 0..59 and turns text into "hh:nn:ss". Components that are not whole
// decimal numbers are rejected. On false, text is of no further use.
[[nodiscard]] bool NormalizeTime(std::string& text);

// A time of day as typed on a Czech Windows: "7", "7:30", "07:30:00",
// "7:30:15,250" (hours 0..23, minutes and seconds 0..59, milliseconds after
// "," or "."), and "18.30" or "18,30" for hours and minutes; blanks around it
// allowed.
std::optional<TDateTime> TryStrToTime(std::string_view text);

}  // namespace odb
