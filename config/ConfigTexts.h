#pragma once
// Texts of the configuration file. Texts that hold a placeholder take
// exactly one argument (see FormatMsg) unless their comment says otherwise.
#include <string_view>

namespace odb::msg {

inline constexpr std::string_view UnableToWrite = "Unable to write to %s";
inline constexpr std::string_view PasswordFileNotPrivate =
    "Heslo ze souboru %s se nepoužije: soubor mohou číst i jiní uživatelé. "
    "Ponechte jej jen vlastníkovi (chmod 600) a zálohu spusťte znovu";
inline constexpr std::string_view PasswordNotReadable =
    "Uložené heslo v %s nelze přečíst: uložil je jiný uživatel Windows nebo jiný počítač. "
    "Zadejte je znovu v nabídce Přihlašovací údaje";
inline constexpr std::string_view PasswordNotProtected = "Heslo se nepodařilo zašifrovat, nebylo uloženo";

}  // namespace odb::msg
