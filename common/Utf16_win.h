#pragma once
// UTF-8 inside, UTF-16 at the Win32 API.
#include <string>
#include <string_view>

namespace odb {

std::wstring Widen(std::string_view utf8);
std::string Narrow(std::wstring_view utf16);

}  // namespace odb
