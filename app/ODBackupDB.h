#pragma once
// The settings window: its settings controls edit the program's live settings
// (Settings().Live), which the scheduler and the backup run read; its run
// state is shared by the scheduler and the tray entry.
#include <cstdint>
#include <memory>
#include <string>
#include <string_view>

#include "app/BackupNotices.h"
#include "app/BackupWatch.h"
#include "app/Controls.h"
#include "app/EventAction.h"
#include "app/Form.h"
#include "app/ODBackup.h"
#include "app/RunBackup.h"
#include "app/Scheduler.h"
#include "app/Settings.h"
#include "app/SettingsControls.h"
#include "common/DateTime.h"
#include "schedule/DmODBackup.h"

namespace odb {

// Tabs of PageControlParams.
inline constexpr int TabSheetPaths = 0;
inline constexpr int TabSheetPort = 1;

class TFrmODBackupDB : public TForm, public TSettingsControls {
 public:
  TFrmODBackupDB(TApplication& app, TDataODBackup& data, const TProgramOptions& options);
  TFrmODBackupDB(TApplication& app, TDataODBackup& data, std::string exePath,
                 std::string configFile = {})
      : TFrmODBackupDB(app, data, TProgramOptions{std::move(exePath), std::move(configFile)}) {}
  ~TFrmODBackupDB() override;

  TDataODBackup& Data;
  const std::string ExePath;

  // The controls that edit settings (RBLocal, EdtServer … the day boxes) are
  // TSettingsControls'; the window adds its frames, labels and buttons.

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
  TLabel LaServer{"LaServer", "Název serveru"};
  TButton SBServer{"SBServer"};
  TLabel LaPath{"LaPath", "Fyzická cesta"};
  TButton SBDBPath{"SBDBPath"};
  TPanel GBOnStart{"GBOnStart", " Po startu "};

  // " Nastavení parametrů zálohování "
  TPanel GBData{"GBData", " Nastavení parametrů zálohování "};
  TPageControl PageControlParams{"PageControlParams"};
  TLabel LaBackupPath{"LaBackupPath", "Cesta k souborům záloh"};
  TButton SBInFilesPath{"SBInFilesPath"};
  TLabel laBackupCount{"laBackupCount", "Počet uchovávaných záloh:"};
  TLabel laLogFile{"laLogFile", "Cesta k .log souboru"};
  TButton SBLogFilePath{"SBLogFilePath"};
  TLabel laMirrorPath{"laMirrorPath", "Kopie záloh (jiný disk nebo síť)"};
  TButton SBMirrorPath{"SBMirrorPath"};
  TLabel laMirrorCount{"laMirrorCount", "Počet uchovávaných kopií:"};
  TLabel laAction{"laAction", "Další spuštění:"};
  TPanel pnlSettings{"pnlSettings"};
  TPanel pnlDays{"pnlDays"};
  TLabel laPracDny{"laPracDny", "Prac.dny"};
  TLabel laVikendy{"laVikendy", "Víkendy"};
  TControl grdTimes{"grdTimes"};

  // " Log "
  TPanel GBInfo{"GBInfo", " Log "};
  TMemo MemoFiles{"MemoFiles"};

  // Dialog components.
  TOpenDialog OpenDialogDB;
  TOpenDialog OpenDialogLog;
  TTimer TimerTS;

  // The last good backup and the last failed attempt are the backup run's
  // (Backup().Watch); what the strip and the warnings last said of them
  // (StatusRefresh.cpp).
  TBackupNotices Notices;
  // Keeps the strip's next instant and the stale warnings current also while
  // TimerTS is stopped (paused); a minute is close enough for both.
  TTimer TimerStatus{App, 60'000};
  uint64_t WatchVersionShown = ~uint64_t{0};

  // The live settings and the configuration file.
  TSettingsBinding& Settings() { return settings_; }
  const TSettings& Live() const { return settings_.Live; }
  TEventAction EventAction() const { return settings_.EventAction(); }
  int32_t IconSetIndex() const { return settings_.IconSetIndex(); }
  // The backup run with its job record.
  TBackupRun& Backup() { return backup_; }
  bool BackupRunning() const { return backup_.BackupRunning(); }

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
  void SBMirrorPathClick();

  // Tray entry and icon chooser.
  void UpdateTrayIcon();
  void WMTrayNotify(intptr_t lParam);
  void miAnimateIconsClick();
  void miLoginClick();  // app/LoginEntry.cpp
  void miRestoreClick();  // app/RestoreEntry.cpp

  // Activity log.
  void AddLogEntry(const std::string& message);

  // Backup and scheduler.
  // startedByOk: a failure gets an error box, also one that a detached
  // backup reports later; the plan's failures go to the strip and the tray.
  void RunBackup(bool startedByOk = false);
  // The scheduler's state and operations (app/Scheduler.h).
  void TimerTSTimer();
  void CheckSchedule() { scheduler_.CheckSchedule(); }
  void ArmScheduleTimer() { scheduler_.ArmScheduleTimer(); }
  TDateTime NextRunTime() const { return scheduler_.NextRunTime(); }
  bool SlotPending() const { return scheduler_.SlotPending(); }
  bool BackupDue() const { return scheduler_.BackupDue(); }
  // A tick's look at a detached backup: a failure is logged and kept.
  void WatchDetachedBackup();
  // After each tick of TimerTS: the watch outside a backup, and the strip
  // and the warnings when the watch or the backups have moved on.
  void BackupStatusTick();
  // Redraws the strip when its facts have changed; warns when one is due.
  void RefreshBackupStatus();

 protected:
  void FormShow() override;
  void FormHide() override;

 private:
  void InitLayout();
  void WireEvents();
  // The loaded settings into the controls and the times table.
  void ShowLoaded(const TSettings& settings);
  // A configuration that did not load: the live settings are what the
  // controls show.
  void KeepLayoutSettings();
  int TrayIconIndex() const;
  // A time still being typed into the grid counts for the next search.
  void CompleteTimeEdit();
  // The folder chooser, opened at the edit's folder; the choice goes into the edit.
  void ChooseFolderInto(TEdit& edit, std::string_view title, std::string_view prompt);
  // "Ordava backup client.", with a line more while a backup runs.
  std::string TrayTip() const;
  void ModifyTrayEntry();
  void SetTimerForHide();

  // The window as the scheduler's program: clock, log, backups, error box.
  class TSchedulerHost final : public TScheduleHost {
   public:
    explicit TSchedulerHost(TFrmODBackupDB& form) : form_(form) {}
    TDateTime Now() const override;
    bool BackupBusy() const override;
    void AddLogEntry(const std::string& message) override;
    void RunBackup() override;
    bool CatchUpBackup() override;
    void ShowException(const std::exception& error) override;

   private:
    TFrmODBackupDB& form_;
  };

  TSettingsBinding settings_;
  TBackupRun backup_;
  bool groupClickActive_ = false;
  bool dayClickActive_ = false;
  bool hideAtStart_ = false;
  int trayIconList_ = 0;  // 1 or 2: ImageList1 or ImageList2; 0 before creation
  bool trayIconAdded_ = false;
  std::string trayTipShown_;
  TSchedulerHost schedulerHost_{*this};
  TSettingsPlan schedulePlan_{settings_.Live, [this] { CompleteTimeEdit(); }};
  TScheduler scheduler_{schedulePlan_, schedulerHost_};
};

}  // namespace odb
