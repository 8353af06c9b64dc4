#pragma once
// The settings window's and the tray's texts. Texts that hold a placeholder take
// exactly one argument (see FormatMsg) unless their comment says otherwise.
#include <string_view>

namespace odb::msg {

inline constexpr std::string_view AppTitle = "Samostatné zálohování dat";
inline constexpr std::string_view WindowCaption = "Ordava - parametry zálohování";
inline constexpr std::string_view TrayTip = "Ordava backup client.";
inline constexpr std::string_view TrayLeftClick = "Tato ikona reaguje na PRAVÉ tlačítko myši!";
inline constexpr std::string_view ExitQuestion =
    "Uzavřením tohoto uživatelského rozhraní končí funkce Ordava backup,\r\n"
    "                 naplánované úlohy nebudou realizovány.\r\n"
    "               Přejete si skutečně toto rozhraní ukončit?";
inline constexpr std::string_view LoadFailed =
    "Nepodařilo se načíst konfigurační soubor zálohování.\r\n           Program nemusí správně fungovat.";
inline constexpr std::string_view FormShowFailed =
    "Během inicializace formuláře pro nastavení nastala chyba:\r\n";
inline constexpr std::string_view BackupDone = "Záloha byla provedena: %s";
inline constexpr std::string_view BackupVerified = "Záloha ověřena obnovou: %s";
inline constexpr std::string_view VerifyFailed = "Ověření zálohy selhalo: %s";
inline constexpr std::string_view VerifyFailedKept = "Záloha neprošla ověřením, ponechána jako: %s";
inline constexpr std::string_view VerifyFailedRemoved = "Záloha neprošla ověřením a byla smazána: %s";
inline constexpr std::string_view MirrorDone = "Kopie zálohy uložena: %s";
inline constexpr std::string_view MirrorFailed = "Kopie zálohy selhala: %s";
// What the record says while the copy is being made: a run killed meanwhile leaves it.
inline constexpr std::string_view MirrorUnfinished = "kopie nebyla dokončena";
inline constexpr std::string_view NextBackupSet = "Příští zálohování nastaveno: %s";
inline constexpr std::string_view CatchUpBackup = "Backup na základě poslední neprovedené akce časovače.";
inline constexpr std::string_view LogWriteFailed = "Nelze zapisovat do logovacího souboru: \r\n%s\r\n";
// The headless program's notice at start.
inline constexpr std::string_view PlanEmpty =
    "Plán záloh je prázdný: není zaškrtnutý žádný den nebo není zadaný žádný čas.";
inline constexpr std::string_view ComputerBrowse = "Vyhledání počítače";
inline constexpr std::string_view BackupFolderTitle = "Vyberte složku záloh";
inline constexpr std::string_view BackupFolderPrompt = "Vyberte složku, do které se budou ukládat zálohy:";
inline constexpr std::string_view MirrorFolderTitle = "Vyberte složku pro kopie záloh";
inline constexpr std::string_view MirrorFolderPrompt =
    "Vyberte složku na jiném disku nebo v síti, do které se budou ukládat kopie záloh:";
// The status strip.
inline constexpr std::string_view StripLastBackup = "Poslední záloha: %s";
inline constexpr std::string_view StripNextBackup = "Příští záloha: %s";
inline constexpr std::string_view StripNothingComing = "Příští záloha: není v dohledu";
inline constexpr std::string_view StripPaused = "Zálohy pozastaveny";
inline constexpr std::string_view StripPlanEmpty = "Plán záloh je prázdný";
inline constexpr std::string_view StripAttemptFailed = "Poslední pokus selhal: %s";
inline constexpr std::string_view StripRunning = "Probíhá záloha…";
inline constexpr std::string_view StripRunningTable = "Probíhá záloha… tabulka %s";
inline constexpr std::string_view StripRunningLines = "Probíhá záloha… řádek %d";
// The tray tip while a backup runs: TrayTip, a line break, StripRunning.
inline constexpr std::string_view TrayTipRunning = "Ordava backup client.\nProbíhá záloha…";
// Failed attempts and the warnings about them.
inline constexpr std::string_view BackupFailed = "Záloha selhala: %s";
inline constexpr std::string_view DetachedNotStarted = "Zálohu nelze spustit";
inline constexpr std::string_view DetachedEndUnknown =
    "Konec zálohy se nepodařilo zjistit, záloha se nepočítá jako provedená";
inline constexpr std::string_view FolderBusy =
    "Do složky záloh %s právě zálohuje jiný spuštěný program, záloha nebyla provedena";
inline constexpr std::string_view PlanAlreadyFollowed = "Plán záloh podle %s už sleduje jiný spuštěný program";
inline constexpr std::string_view FolderUnreadable = "Složku záloh nelze číst: %s";
inline constexpr std::string_view BackupsNotCurrent = "Zálohy nejsou aktuální: %s";
inline constexpr std::string_view NewestMissing = "Soubor ODBackup_1.fbk nebyl nalezen";
inline constexpr std::string_view LoginNotStorable =
    "Uživatelské jméno a heslo smí obsahovat jen znaky Windows-1250 a žádný konec řádku";
inline constexpr std::string_view LoginNoPassword = "Heslo není zadáno, přihlašovací údaje nebyly uloženy";

// The restore a person asks for, and how to put its database to use.
inline constexpr std::string_view RestoreFromBackups = "Složka záloh: %s";
inline constexpr std::string_view RestoreFromMirror = "Kopie na jiném disku: %s";
inline constexpr std::string_view RestoreBytes = "%s B";
inline constexpr std::string_view RestoreNoChoice = "Vyberte zálohu, ze které se má obnovit";
inline constexpr std::string_view RestoreRunning = "Obnova ze zálohy už probíhá";
inline constexpr std::string_view RestoreFolderBusy =
    "Do složky záloh %s právě zálohuje jiný spuštěný program, obnova nebyla spuštěna";
inline constexpr std::string_view RestoreDone = "Záloha byla obnovena do nové databáze %s.";
inline constexpr std::string_view RestoreHowToUse =
    "\r\nProgram Ordava s ní může pracovat hned: v jeho nastavení připojení k databázi zadejte cestu %s.";
inline constexpr std::string_view RestoreHowToSwap =
    "\r\nNebo ji vyměňte za živou databázi %s: ukončete program Ordava na všech počítačích, živou databázi "
    "přejmenujte (ponechte si ji), obnovený soubor přejmenujte na její název a program Ordava znovu spusťte.";

}  // namespace odb::msg
