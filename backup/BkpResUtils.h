#pragma once
// The program's message texts, in one table. Texts that hold a placeholder take
// exactly one argument (see FormatMsg).
#include <string_view>

namespace odb::msg {

inline constexpr std::string_view AppTitle = "Samostatné zálohování dat";
inline constexpr std::string_view WindowCaption = "Ordava - parametry zálohování";
inline constexpr std::string_view ErrorTitle = "Chyba";
inline constexpr std::string_view ConfirmTitle = "Potvrzení";
inline constexpr std::string_view TrayTip = "Ordava backup client.";
inline constexpr std::string_view TrayLeftClick = "Tato ikona reaguje na PRAVÉ tlačítko myši!";
// A picture or window of the Windows program that cannot be loaded or created.
inline constexpr std::string_view ResourceMissing = "Prostředek programu č. %d nelze načíst.";
inline constexpr std::string_view ExitQuestion =
    "Uzavřením tohoto uživatelského rozhraní končí funkce Ordava backup,\r\n"
    "                 naplánované úlohy nebudou realizovány.\r\n"
    "               Přejete si skutečně toto rozhraní ukončit?";
inline constexpr std::string_view LoadFailed =
    "Nepodařilo se načíst konfigurační soubor zálohování.\r\n           Program nemusí správně fungovat.";
inline constexpr std::string_view FormShowFailed =
    "Během inicializace formuláře pro nastavení nastala chyba:\r\n";
// The one text with two placeholders (source, destination); see RenameErrorText.
inline constexpr std::string_view RenameFailed = "Chyba při přejmenování souboru: %s -> %s.\r\n";
inline constexpr std::string_view BackupCountInvalid = "Počet uchovávaných záloh '%s' není celé číslo";
inline constexpr std::string_view BackupCountRange = "Počet uchovávaných záloh '%s' je mimo povolený rozsah";
inline constexpr std::string_view BackupDone = "Záloha byla provedena: %s";
inline constexpr std::string_view NextBackupSet = "Příští zálohování nastaveno: %s";
inline constexpr std::string_view CatchUpBackup = "Backup na základě poslední neprovedené akce časovače.";
inline constexpr std::string_view LogStamp = "<Čas zápisu: %s>";
inline constexpr std::string_view LogWriteFailed = "Nelze zapisovat do logovacího souboru: \r\n%s\r\n";
inline constexpr std::string_view LogReadFailed = "Soubor \"%s\" nelze otevřít pro čtení.";
inline constexpr std::string_view BadTimeEntry = "Chybný formát časového údaje č. %d.\r\nZáznam nebude uložen.";
inline constexpr std::string_view DeleteRecord = "Smazat záznam?";
inline constexpr std::string_view CreateFolder = "Specifikovaný adresář neexistuje. Vytvořit jej?";
inline constexpr std::string_view UnableToWrite = "Unable to write to %s";
inline constexpr std::string_view InvalidTime = "'%s' is not a valid time";
// The times table's own errors; the range text takes its four values in order.
inline constexpr std::string_view FieldRange =
    "%g není platná hodnota pro pole '%s'. Povolený rozsah je %g až %g";
inline constexpr std::string_view FieldRequired = "Field '%s' must have a value";
inline constexpr std::string_view FieldReadOnly = "Field '%s' cannot be modified";
inline constexpr std::string_view DataSetClosed = "Cannot perform this operation on a closed dataset";
inline constexpr std::string_view DataSetEmpty = "Cannot perform this operation on an empty dataset";
inline constexpr std::string_view NotEditing = "Dataset not in edit or insert mode";
inline constexpr std::string_view IntOverflow = "Integer overflow";
inline constexpr std::string_view ComputerBrowse = "Vyhledání počítače";

// Service manager client.
inline constexpr std::string_view FbClientNotFound =
    "Firebird client library %s not found in the path. "
    "Please install the Firebird client to use this functionality";
inline constexpr std::string_view FbClientFunctionMissing =
    "Firebird client library lacks the function %s. Please install a current Firebird client";
inline constexpr std::string_view SvcAttached = "Cannot perform operation -- service is attached";
inline constexpr std::string_view SvcNotAttached =
    "Cannot perform operation -- service is not attached";
inline constexpr std::string_view SvcServerNameMissing = "Server Name Missing";
inline constexpr std::string_view SvcStartParamsMissing = "start Parameters missing or incorrect";
inline constexpr std::string_view SvcQueryParamsMissing = "Query Parameters missing or incorrect";
inline constexpr std::string_view SvcUnexpectedOutput = "Unexpected Output buffer value";
inline constexpr std::string_view SpbNotSupported = "SPB Constant Not supported";
inline constexpr std::string_view SpbUnknown = "SPB Constant Unknown";
inline constexpr std::string_view SpbValueTooLong =
    "Service parameter too long (at most 255 bytes): %s";
inline constexpr std::string_view StartValueTooLong =
    "Service start value too long (at most 65535 bytes): %s";
inline constexpr std::string_view StartBlockTooLong =
    "Service start parameters too long together (at most 65535 bytes)";
inline constexpr std::string_view ServiceNameTooLong =
    "Service manager name too long (at most 65535 bytes)";
inline constexpr std::string_view AttachBlockTooLong =
    "Service parameters too long together (at most 65535 bytes)";
inline constexpr std::string_view ClientTextNotInCodePage =
    "Text '%s' obsahuje znak, který znaková sada systému neumí zapsat, "
    "a klientu Firebirdu jej nelze předat";

}  // namespace odb::msg
