#pragma once
// Texts of the activity log. Texts that hold a placeholder take
// exactly one argument (see FormatMsg) unless their comment says otherwise.
#include <string_view>

namespace odb::msg {

inline constexpr std::string_view LogStamp = "<Čas zápisu: %s>";
inline constexpr std::string_view LogReadFailed = "Soubor \"%s\" nelze otevřít pro čtení.";

}  // namespace odb::msg
