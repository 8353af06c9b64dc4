#pragma once
// Texts only the Windows program shows. Texts that hold a placeholder take
// exactly one argument (see FormatMsg) unless their comment says otherwise.
#include <string_view>

namespace odb::msg {

// A picture or window of the Windows program that cannot be loaded or created.
inline constexpr std::string_view ResourceMissing = "Prostředek programu č. %d nelze načíst.";
inline constexpr std::string_view DeleteRecord = "Smazat záznam?";
inline constexpr std::string_view CreateFolder = "Specifikovaný adresář neexistuje. Vytvořit jej?";
// A Win32 call that failed, by its name; the system's reason follows.
inline constexpr std::string_view CallFailed = "%s selhalo: ";
// The reason of an error code the system has no text for.
inline constexpr std::string_view SystemErrorCode = "systémová chyba č. %d";

// The restore dialog.
inline constexpr std::string_view RestoreTitle = "Obnova ze zálohy";
inline constexpr std::string_view RestoreBackupsLabel = "Zálohy (nejnovější nahoře):";
inline constexpr std::string_view RestoreTargetLabel = "Obnovit do nové databáze:";
inline constexpr std::string_view RestoreButton = "Obnovit";
inline constexpr std::string_view RestoreClose = "Zavřít";
inline constexpr std::string_view RestoreInProgress = "Probíhá obnova, počkejte prosím…";
inline constexpr std::string_view RestoreFailedText = "Obnova se nezdařila: %s";
inline constexpr std::string_view RestoreNothing = "Ve složce záloh nebyla nalezena žádná záloha.";

}  // namespace odb::msg
