#pragma once
// Program texts are UTF-8 inside; the configuration and log files are
// Windows-1250 whatever the system code page, so both builds write the same bytes.
#include <string>
#include <string_view>

namespace odb {

std::string Cp1250ToUtf8(std::string_view text);
// Characters outside Windows-1250 become "?".
std::string Utf8ToCp1250(std::string_view text);
// Well-formed UTF-8 (no overlong form, surrogate or code point beyond U+10FFFF)
// with at least one character beyond ASCII. Czech Windows-1250 text is never
// that in practice: its accented letters stand alone between ASCII bytes.
bool IsNonAsciiUtf8(std::string_view text);

}  // namespace odb
