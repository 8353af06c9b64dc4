#pragma once
// The settings window: its controls are the program's live settings, and its
// run state is shared by the scheduler, the backup run and the tray entry.
#include <cstdint>
#include <memory>
#include <string>

#include "app/Controls.h"
#include "app/Form.h"
#include "app/ODBackup.h"
#include "common/DateTime.h"
#include "schedule/DmODBackup.h"

namespace odb {

class TBackUpDatabaseSetings;
class TIniFile;

// Event action names and the item indexes of the action list.
inline constexpr const char* kOnceBackup = "OnceBackup";
inline constexpr const char* kBackupOnTimer = "BackupOnTimer";
inline constexpr const char* kPauseBackup = "PauseBackup";
std::string ActionToName(int index);
int NameToAction(const std::string& name);

// Tabs of PageControlParams.
inline constexpr int TabSheetPaths = 0;
inline constexpr int TabSheetPort = 1;

class TFrmODBackupDB : public TForm, public TPlanWindow {
 public:
  TFrmODBackupDB(TApplication& app, TDataODBackup& data, const TProgramOptions& options);
  TFrmODBackupDB(TApplication& app, TDataODBackup& data, std::string exePath,
                 std::string configFile = {})
      : TFrmODBackupDB(app, data, TProgramOptions{std::move(exePath), std::move(configFile)}) {}
  ~TFrmODBackupDB() override;

  TDataODBackup& Data;
  const std::string ExePath;
  // Overrides the configuration file next to the executable (headless --config).
  const std::string ConfigFile;
  const bool PrepareLogAtStart;

  // Status strip and button bar.
  TPanel PnlTop{"PnlTop"};
  TLabel LaStatus{"LaStatus", "LaStatus"};
  TPanel PnlBottom{"PnlBottom"};
  TButton SBExit{"SBExit", "Konec"};
  TButton SBComStart{"SBComStart", "Změň"};
  TButton BtnOK{"BtnOK", "OK"};
  TButton BtnCancel{"BtnCancel", "Skrýt"};
  TPanel PnlBody{"PnlBody"};

  // " Databáze (Ordava) "
  TPanel GBDatabaze{"GBDatabaze", " Databáze (Ordava) "};
  TRadioButton RBLocal{"RBLocal", "Na tomto počítači"};
  TRadioButton RBHost{"RBHost", "Na jiném počítači"};
  TLabel LaServer{"LaServer", "Název serveru"};
  TEdit EdtServer{"EdtServer"};
  TButton SBServer{"SBServer"};
  TLabel LaPath{"LaPath", "Fyzická cesta"};
  TEdit EdtPath{"EdtPath"};
  TButton SBDBPath{"SBDBPath"};
  TPanel GBOnStart{"GBOnStart", " Po startu "};
  TCheckBox CB_RunMinimalized{"CB_RunMinimalized", "Automaticky minimalizovat do programové lišty"};
  TCheckBox CB_ClearLog{"CB_ClearLog", "Automaticky vymazat historii (log soubor)"};

  // " Nastavení parametrů zálohování "
  TPanel GBData{"GBData", " Nastavení parametrů zálohování "};
  TPageControl PageControlParams{"PageControlParams"};
  TLabel LaBackupPath{"LaBackupPath", "Cesta k souborům záloh"};
  TEdit EdtBackupPath{"EdtBackupPath"};
  TButton SBInFilesPath{"SBInFilesPath"};
  TLabel laBackupCount{"laBackupCount", "Počet uchovávaných záloh:"};
  TSpinEdit sedtBackupCount{"sedtBackupCount"};
  TCheckBox CBLogActivity{"CBLogActivity", "Zapisuj výsledky do logovacího souboru"};
  TLabel laLogFile{"laLogFile", "Cesta k .log souboru"};
  TEdit EdtLogFilePath{"EdtLogFilePath"};
  TButton SBLogFilePath{"SBLogFilePath"};
  TLabel laAction{"laAction", "Další spuštění:"};
  TComboBox cbAction{"cbAction"};
  TPanel pnlSettings{"pnlSettings"};
  TPanel pnlDays{"pnlDays"};
  TCheckBox cbPo{"cbPo", "Po"}, cbUt{"cbUt", "Út"}, cbSt{"cbSt", "St"}, cbCt{"cbCt", "Čt"},
      cbPa{"cbPa", "Pá"}, cbSo{"cbSo", "So"}, cbNe{"cbNe", "Ne"};
  TLabel laPracDny{"laPracDny", "Prac.dny"};
  TCheckBox cbPracDny{"cbPracDny"};
  TLabel laVikendy{"laVikendy", "Víkendy"};
  TCheckBox cbVikendy{"cbVikendy"};
  TControl grdTimes{"grdTimes"};

  // " Log "
  TPanel GBInfo{"GBInfo", " Log "};
  TMemo MemoFiles{"MemoFiles"};

  // Dialog components.
  TOpenDialog OpenDialogDB;
  TOpenDialog OpenDialogLog;
  TTimer TimerTS;

  // Run state shared by the lifecycle, the scheduler, the backup and the tray.
  bool SettingsFileBusy = false;
  TDateTime NextRunTime;
  bool SlotPending = false;
  std::string EventAction;
  bool BackupRunning = false;
  std::unique_ptr<TBackUpDatabaseSetings> BackupSettings;
  bool GroupClickActive = false;
  bool DayClickActive = false;
  bool HideAtStart = false;
  int32_t IconSetIndex = 0;
  int TrayIconList = 0;  // 1 or 2: ImageList1 or ImageList2; 0 before creation
  std::string IniFileName;
  bool BackupDue = false;
  bool TrayIconAdded = false;
  // Held over the whole of RunBackup, preparation and rotation included.
  bool BackupInProgress = false;

  // Lifecycle.
  void FormCreate();
  void FormDestroy();
  void WMHideAtStart();
  void miOpenFormClick();
  void miCloseFormClick();
  void SBExitClick();
  void miEndClick() { SBExitClick(); }
  void BtnOKClick();
  void HandleMessage(unsigned msg, intptr_t wParam, intptr_t lParam) override;

  // Control coupling.
  void RBLocalClick();
  void cbDayClick();
  void cbPracDnyClick();
  void cbVikendyClick();
  void EdtServerChange();
  void SBComStartClick();
  void SBServerClick();
  void SBDBPathClick();
  void SBInFilesPathClick();
  void SBLogFilePathClick();
  void CheckWeekday(int day);
  uint8_t DaysMask() const override;
  void RaiseSlotPending() override { SlotPending = true; }

  // Configuration file.
  [[nodiscard]] bool LoadSettings(const std::string& exePath);
  bool SaveSettings(const std::string& exePath);
  void SaveLastRun();

  // Tray entry and icon chooser.
  void UpdateTrayIcon();
  void WMTrayNotify(intptr_t lParam);
  void miAnimateIconsClick();
  void miLoginClick();  // app/LoginEntry.cpp

  // Activity log.
  void PrepareLogFile();
  void AddLogEntry(const std::string& message);

  // Backup and scheduler.
  void RunBackup();
  // RunBackup's work; true when the backup was made (or, detached, started).
  // waitForOutput reads the output to its end whatever the log box says.
  [[nodiscard]] bool PerformBackup(bool waitForOutput);
  std::string BackupFileName() const;
  // The configuration exactly as SaveSettings would write it, writing nothing.
  std::string SettingsText();
  void TimerTSTimer();
  void CheckSchedule();
  void ArmScheduleTimer();

 protected:
  void FormShow() override;
  void FormHide() override;

 private:
  void InitLayout();
  void LoadDays(const std::string& text);
  void LoadTimes(const TIniFile& ini);
  void WriteSettings(TIniFile& ini);
  void WriteTimes(TIniFile& ini);
  std::string DaysText() const;
  void FillBackupSettings();
  void WireEvents();
  int TrayIconIndex() const;
  TCheckBox* DayBox(int day);
  void RecomputeGroupBoxes();
  void SetTimerForHide();
  void CatchUpFailed(const std::exception* error);  // null: failed without an error
  bool CatchUpWaiting(TDateTime now) const;
  void Announce(TDateTime now);
  bool NothingComingYet(TDateTime now) const;
  int catchUpFailures_ = 0;
  TDateTime catchUpRetryAt_;
  TDateTime catchUpInstant_;
  bool catchUpErrorShowing_ = false;
  uint64_t emptySearchPlan_ = ~uint64_t{0};
  TDateTime emptySearchRepeatAt_;
};

}  // namespace odb
