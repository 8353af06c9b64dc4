#include "app/ODBackupDB.h"

#include "app/AppTexts.h"
#include "backup/ODBackupUtils.h"
#include "common/Errors.h"
#include "schedule/DmODBackup.h"

namespace odb {
namespace {

// The group-box colours that window creation puts in place of the layout's.
constexpr TColor kGBDatabazeColor = Rgb(215, 215, 255);
constexpr TColor kGBDataColor = Rgb(200, 200, 255);
constexpr TColor kGBInfoColor = Rgb(185, 185, 255);

}  // namespace

TFrmODBackupDB::TFrmODBackupDB(TApplication& app, TDataODBackup& data,
                               const TProgramOptions& options)
    : TForm(app, std::string(msg::WindowCaption)),
      Data(data),
      ExePath(options.exePath),
      ConfigFile(options.configFile),
      PrepareLogAtStart(options.prepareLog),
      TimerTS(app, 1000) {
  Data.PlanWindow = this;
  InitLayout();
  WireEvents();
  FormCreate();
}

TFrmODBackupDB::~TFrmODBackupDB() { Data.PlanWindow = nullptr; }

void TFrmODBackupDB::InitLayout() {
  PnlTop.SetColor(clInfoBk);
  PnlBottom.SetColor(clMoneyGreen);
  PnlBody.SetColor(clMoneyGreen);
  SBExit.Hint = "Ukončí vše, zálohování i uživatelské rozhraní";
  SBComStart.Hint = "Aaplikuje změnu aktuálních parametrů (neuloží se).";
  BtnOK.Hint = "Uloží parametry a skryje se do lišty";
  BtnCancel.Hint = "Skryje toto okno bez uložení, ikona pro jeho opětovné vyvolání zůstane na liště";
  GBDatabaze.SetColor(Rgb(191, 215, 240));
  GBData.SetColor(clBtnFace);
  GBInfo.SetColor(Rgb(255, 255, 225));
  TRadioButton::Group({&RBLocal, &RBHost});
  RBLocal.SetChecked(true);
  EdtServer.SetText("local");
  EdtPath.SetText("C:\\ProgramFiles\\Tesmar\\Ordava\\DataFB\\Ordava.FDB");
  CB_ClearLog.SetChecked(true);
  PageControlParams.Pages = {"Cesty k souborům", "Nastavení"};
  EdtBackupPath.SetText("C:\\ProgramFiles\\Tesmar\\Ordava\\Anal");
  EdtLogFilePath.SetText("C:\\ProgramFiles\\Tesmar\\Ordava\\Anal\\Anal.log");
  cbAction.Items = {"Jednorázová záloha", "Dle plánu záloh", "Pozastavení záloh"};
  MemoFiles.SetColor(clInfoBk);
  OpenDialogDB.Filter = "Databáze firebird (*.fdb, *.gdb)|*.fdb;*.gdb|Všechny soubory (*.*)|*.*";
  OpenDialogDB.DefaultExt = "fdb";
  OpenDialogDB.FileName = "C:\\Program Files\\Tesmar\\Ordava\\DataFB\\ORDAVA.FDB";
  OpenDialogLog.Title = "Soubor komunikační aktivity";
  OpenDialogLog.Filter = "Logovací soubory (*.log)|*.log|Všechny soubory (*.*)|*.*";
  OpenDialogLog.DefaultExt = "log";
  OpenDialogLog.FileName = "Anal.log";
  OpenDialogLog.PathMustExist = true;
}

void TFrmODBackupDB::WireEvents() {
  const auto bind = [this](void (TFrmODBackupDB::*handler)()) {
    return [this, handler](TControl&) { (this->*handler)(); };
  };
  SBExit.OnClick = bind(&TFrmODBackupDB::SBExitClick);
  SBComStart.OnClick = bind(&TFrmODBackupDB::SBComStartClick);
  BtnOK.OnClick = bind(&TFrmODBackupDB::BtnOKClick);
  BtnCancel.OnClick = bind(&TFrmODBackupDB::miCloseFormClick);
  RBLocal.OnClick = RBHost.OnClick = bind(&TFrmODBackupDB::RBLocalClick);
  for (TEdit* edit : {&EdtServer, &EdtPath, &EdtBackupPath, &EdtLogFilePath}) {
    edit->OnChange = bind(&TFrmODBackupDB::EdtServerChange);
  }
  cbAction.OnChange = bind(&TFrmODBackupDB::EdtServerChange);
  SBServer.OnClick = bind(&TFrmODBackupDB::SBServerClick);
  SBDBPath.OnClick = bind(&TFrmODBackupDB::SBDBPathClick);
  SBInFilesPath.OnClick = bind(&TFrmODBackupDB::SBInFilesPathClick);
  SBLogFilePath.OnClick = bind(&TFrmODBackupDB::SBLogFilePathClick);
  for (int day = 1; day <= 7; ++day) DayBox(day)->OnClick = bind(&TFrmODBackupDB::cbDayClick);
  cbPracDny.OnClick = bind(&TFrmODBackupDB::cbPracDnyClick);
  cbVikendy.OnClick = bind(&TFrmODBackupDB::cbVikendyClick);
  TimerTS.OnTimer = [this] {
    App.Dispatch([this] { TimerTSTimer(); });
    App.Dispatch([this] { BackupStatusTick(); });
  };
  TimerStatus.OnTimer = [this] { App.Dispatch([this] { RefreshBackupStatus(); }); };
}

void TFrmODBackupDB::FormCreate() {
  IconSetIndex = 1;
  GroupClickActive = false;
  BackupRunning = false;
  NextRunTime = BaseDateTime;
  SlotPending = false;
  TimerTS.SetEnabled(true);
  bool loaded = false;
  try {
    loaded = LoadSettings(ExePath);
  } catch (const std::exception&) {
    loaded = false;
  }
  if (!loaded) {
    // The user gets the window with what the controls hold, so the settings can
    // be repaired and saved with OK; everything below still has to exist.
    App.ErrorBox(std::string(msg::LoadFailed));
  }
  TrayIconList = IconSetIndex == 2 ? 2 : 1;
  App.Tray().Add(TrayIconList, TrayIconIndex(), std::string(msg::TrayTip));
  TrayIconAdded = true;
  BackupSettings = std::make_unique<TBackUpDatabaseSetings>();
  GBDatabaze.SetColor(kGBDatabazeColor);
  GBData.SetColor(kGBDataColor);
  GBInfo.SetColor(kGBInfoColor);
  HideAtStart = true;
  if (loaded && CB_RunMinimalized.Checked()) App.PostMessage(*this, WM_HIDEATSTART);
  RefreshBackupStatus();
  TimerStatus.SetEnabled(true);
}

void TFrmODBackupDB::FormDestroy() {
  if (TrayIconAdded) App.Tray().Delete();
  TrayIconAdded = false;
  BackupSettings.reset();
}

void TFrmODBackupDB::HandleMessage(unsigned msg, intptr_t, intptr_t lParam) {
  App.Dispatch([&] {
    if (msg == WM_HIDEATSTART) WMHideAtStart();
    if (msg == WM_TRAYNOTIFY) WMTrayNotify(lParam);
  });
}

void TFrmODBackupDB::WMHideAtStart() {
  if (!HideAtStart) return;
  HideAtStart = false;
  Hide();
}

void TFrmODBackupDB::FormShow() {
  if (CBLogActivity.Checked()) App.PostMessage(MemoFiles, EM_SCROLLCARET_MSG);
  try {
    TimerTS.SetEnabled(EventAction == kBackupOnTimer);
    PageControlParams.SetActivePageIndex(TabSheetPaths);
  } catch (const std::exception& error) {
    App.ErrorBox(std::string(msg::FormShowFailed) + error.what());
  }
}

void TFrmODBackupDB::FormHide() { SetTimerForHide(); }

void TFrmODBackupDB::SetTimerForHide() { TimerTS.SetEnabled(EventAction != kPauseBackup); }

void TFrmODBackupDB::miOpenFormClick() { Show(); }

void TFrmODBackupDB::miCloseFormClick() { Hide(); }

void TFrmODBackupDB::SBExitClick() {
  if (App.Confirm(std::string(msg::ExitQuestion))) Close();
}

void TFrmODBackupDB::BtnOKClick() {
  (void)SaveSettings(ExePath);
  switch (NameToAction(EventAction)) {
    case 0:
      RunBackup();
      break;
    case 2:
      TimerTS.SetEnabled(false);
      break;
    default:
      ArmScheduleTimer();
      break;
  }
  RefreshBackupStatus();
  Hide();
}

}  // namespace odb
