#pragma once
// Message texts hold at most one placeholder, "%s" or "%d"; this fills it.
#include <string>
#include <string_view>

namespace odb {

std::string FormatMsg(std::string_view pattern, std::string_view argument);
std::string FormatMsg(std::string_view pattern, long long argument);

}  // namespace odb
