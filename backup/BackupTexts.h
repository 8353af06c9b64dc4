#pragma once
// Texts of the generations and the backup count. Texts that hold a placeholder take
// exactly one argument (see FormatMsg) unless their comment says otherwise.
#include <string_view>

namespace odb::msg {

// The one text with two placeholders (source, destination); see RenameErrorText.
inline constexpr std::string_view RenameFailed = "Chyba při přejmenování souboru: %s -> %s.\r\n";
inline constexpr std::string_view BackupCountInvalid = "Počet uchovávaných záloh '%s' není celé číslo";
inline constexpr std::string_view BackupCountRange = "Počet uchovávaných záloh '%s' je mimo povolený rozsah";

// The backup set around a run.
inline constexpr std::string_view NewestNotMoved = "Nejnovější zálohu nelze odsunout, záloha nebyla provedena";
inline constexpr std::string_view NewestNotPlaced = "Novou zálohu nelze přejmenovat na %s, záloha nebyla provedena";
inline constexpr std::string_view PartialInTheWay = "Soubor %s nelze odstranit, záloha nebyla provedena";
inline constexpr std::string_view LeftoverRemoved = "Odstraněn zbytek přerušené zálohy: %s";
inline constexpr std::string_view BackupFileMissing = "Server hlásí dokončenou zálohu, ale soubor %s nevznikl";
inline constexpr std::string_view NotPrivate = "Přístup k záloze se nepodařilo omezit na vlastníka: %s";
// The test restore.
inline constexpr std::string_view RestoreIncomplete =
    "Zkušební obnova skončila předčasně: záloha je neúplná nebo poškozená";
inline constexpr std::string_view VerifyNameTaken = "Pro zkušební obnovu nelze najít volný název souboru v %s";

}  // namespace odb::msg
