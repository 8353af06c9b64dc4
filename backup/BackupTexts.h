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
// The mirror: a compressed copy of each new backup in a second folder.
inline constexpr std::string_view MirrorNotFolder = "Cesta pro kopie záloh %s není složka";
inline constexpr std::string_view MirrorUnreachable = "Složka pro kopie záloh %s neexistuje nebo není dostupná";
inline constexpr std::string_view MirrorBackupUnreadable = "Zálohu %s nelze z tohoto počítače přečíst";
inline constexpr std::string_view MirrorNotWritable = "Kopii zálohy nelze zapsat do %s";
inline constexpr std::string_view MirrorMismatch = "Kopie %s se při zpětném čtení neshoduje se zálohou";
inline constexpr std::string_view MirrorPartialInTheWay = "Soubor %s nelze odstranit";
inline constexpr std::string_view MirrorNewestNotMoved = "Nejnovější kopii zálohy nelze odsunout";
inline constexpr std::string_view MirrorNewestNotPlaced = "Novou kopii zálohy nelze přejmenovat na %s";
inline constexpr std::string_view MirrorCountInvalid = "Počet uchovávaných kopií '%s' není celé číslo";
inline constexpr std::string_view MirrorCountRange = "Počet uchovávaných kopií '%s' je mimo povolený rozsah";
// The test restore.
inline constexpr std::string_view RestoreIncomplete =
    "Zkušební obnova skončila předčasně: záloha je neúplná nebo poškozená";
inline constexpr std::string_view RestoreDamaged = "Záloha je poškozená, obnova by ztratila data: %s";
inline constexpr std::string_view VerifyNameTaken = "Pro zkušební obnovu nelze najít volný název souboru v %s";

// A restore a person asks for.
inline constexpr std::string_view RestoreNoTarget = "Není zadán soubor, do kterého se má záloha obnovit";
inline constexpr std::string_view RestoreIntoLive =
    "%s je živá databáze programu Ordava: obnova ji nikdy nepřepíše, zvolte nový soubor";
inline constexpr std::string_view RestoreTargetExists =
    "Soubor %s už existuje: obnova žádný soubor nepřepisuje, zvolte nový název";
inline constexpr std::string_view RestoreSourceMissing = "Záloha %s nebyla nalezena";
inline constexpr std::string_view RestoreNotUnpacked = "Kopii zálohy %s nelze rozbalit";
inline constexpr std::string_view RestoreUnpackedInto = " do %s (složka záloh, odkud ji server čte)";
inline constexpr std::string_view RestoreScratchTaken = "Pro rozbalenou kopii zálohy nelze najít volný název souboru v %s";
inline constexpr std::string_view UserRestoreIncomplete =
    "Obnova skončila předčasně: záloha je neúplná nebo poškozená, obnovená databáze byla odstraněna";
inline constexpr std::string_view UserRestoreDamaged =
    "Záloha je poškozená, obnovená databáze by neměla všechna data a byla odstraněna: %s";

}  // namespace odb::msg
