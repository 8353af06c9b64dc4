#pragma once
// Texts of the generations and the backup count. Texts that hold a placeholder take
// exactly one argument (see FormatMsg) unless their comment says otherwise.
#include <string_view>

namespace odb::msg {

// The one text with two placeholders (source, destination); see RenameErrorText.
inline constexpr std::string_view RenameFailed = "Chyba při přejmenování souboru: %s -> %s.\r\n";
inline constexpr std::string_view BackupCountInvalid = "Počet uchovávaných záloh '%s' není celé číslo";
inline constexpr std::string_view BackupCountRange = "Počet uchovávaných záloh '%s' je mimo povolený rozsah";

}  // namespace odb::msg
