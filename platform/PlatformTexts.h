#pragma once
// Titles of the boxes every platform shows. Texts that hold a placeholder take
// exactly one argument (see FormatMsg) unless their comment says otherwise.
#include <string_view>

namespace odb::msg {

inline constexpr std::string_view ErrorTitle = "Chyba";
inline constexpr std::string_view ConfirmTitle = "Potvrzení";

}  // namespace odb::msg
