#pragma once
// Texts of the configuration file. Texts that hold a placeholder take
// exactly one argument (see FormatMsg) unless their comment says otherwise.
#include <string_view>

namespace odb::msg {

inline constexpr std::string_view UnableToWrite = "Unable to write to %s";

}  // namespace odb::msg
