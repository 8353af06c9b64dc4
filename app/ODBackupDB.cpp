#include "app/ODBackupDB.h"

#include "app/AppTexts.h"
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
      TimerTS(app, 1000),
      settings_(app, options),
      backup_(app, data, settings_, MemoFiles, TimerTS, [this](const std::string& message) { AddLogEntry(message); }) {
  InitLayout();
  WireEvents();
  FormCreate();
}

TFrmODBackupDB::~TFrmODBackupDB() {
  Data.MemTimes.OnRowsChanged = nullptr;
  settings_.OnLoaded = nullptr;
}

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
  PageControlParams.Pages = {"Cesty k souborům", "Nastavení"};
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
  SBMirrorPath.OnClick = bind(&TFrmODBackupDB::SBMirrorPathClick);
  for (int day = 1; day <= 7; ++day) DayBox(day)->OnClick = bind(&TFrmODBackupDB::cbDayClick);
  cbPracDny.OnClick = bind(&TFrmODBackupDB::cbPracDnyClick);
  cbVikendy.OnClick = bind(&TFrmODBackupDB::cbVikendyClick);
  TimerTS.OnTimer = [this] {
    App.Dispatch([this] { TimerTSTimer(); });
    App.Dispatch([this] { BackupStatusTick(); });
  };
  TimerStatus.OnTimer = [this] { App.Dispatch([this] { RefreshBackupStatus(); }); };
  backup_.AfterRun = backup_.OnProgress = [this] { RefreshBackupStatus(); };
  EditLive(settings_.Live);
  Data.MemTimes.OnRowsChanged = [this](TMemTimes& table) { settings_.Live.Plan.times = table.Times(); };
  settings_.OnLoaded = [this](const TSettings& loaded) { ShowLoaded(loaded); };
}

void TFrmODBackupDB::ShowLoaded(const TSettings& loaded) {
  ShowSettings(loaded);
  TMemTimes& table = Data.MemTimes;
  TControlsDisabled noRedraw(table);
  if (table.Active()) {
    table.EmptyTable();
  } else {
    table.Open();
  }
  for (const TDateTime time : loaded.Plan.times) {
    table.Append();
    table.SetTime(time);
    table.Post();
  }
}

void TFrmODBackupDB::KeepLayoutSettings() {
  CopyTo(settings_.Live);
  if (!Data.MemTimes.Active()) Data.MemTimes.Open();
}

void TFrmODBackupDB::CompleteTimeEdit() {
  if (Data.MemTimes.Active()) Data.MemTimes.CheckBrowseMode();
}

void TFrmODBackupDB::FormCreate() {
  settings_.SetIconSetIndex(1);
  groupClickActive_ = false;
  scheduler_.Reset();
  TimerTS.SetEnabled(true);
  // On failure the user gets the window with what the controls hold, so the
  // settings can be repaired and saved with OK; everything below still has to exist.
  const bool loaded = settings_.LoadSettingsOrTell(ExePath);
  if (!loaded) KeepLayoutSettings();
  backup_.RestoreRecord();
  trayIconList_ = IconSetIndex() == 2 ? 2 : 1;
  trayTipShown_ = TrayTip();
  App.Tray().Add(trayIconList_, TrayIconIndex(), trayTipShown_);
  trayIconAdded_ = true;
  backup_.CreateJob();
  GBDatabaze.SetColor(kGBDatabazeColor);
  GBData.SetColor(kGBDataColor);
  GBInfo.SetColor(kGBInfoColor);
  hideAtStart_ = true;
  if (loaded && CB_RunMinimalized.Checked()) App.PostMessage(*this, WM_HIDEATSTART);
  RefreshBackupStatus();
  TimerStatus.SetEnabled(true);
}

void TFrmODBackupDB::FormDestroy() {
  if (trayIconAdded_) App.Tray().Delete();
  trayIconAdded_ = false;
  backup_.FreeJob();
}

void TFrmODBackupDB::HandleMessage(unsigned msg, intptr_t, intptr_t lParam) {
  App.Dispatch([&] {
    if (msg == WM_HIDEATSTART) WMHideAtStart();
    if (msg == WM_TRAYNOTIFY) WMTrayNotify(lParam);
  });
}

void TFrmODBackupDB::WMHideAtStart() {
  if (!hideAtStart_) return;
  hideAtStart_ = false;
  Hide();
}

void TFrmODBackupDB::FormShow() {
  if (CBLogActivity.Checked()) App.PostMessage(MemoFiles, EM_SCROLLCARET_MSG);
  try {
    TimerTS.SetEnabled(EventAction().Kind() == TActionKind::BackupOnTimer);
    PageControlParams.SetActivePageIndex(TabSheetPaths);
  } catch (const std::exception& error) {
    App.ErrorBox(std::string(msg::FormShowFailed) + error.what());
  }
}

void TFrmODBackupDB::FormHide() { SetTimerForHide(); }

void TFrmODBackupDB::SetTimerForHide() { TimerTS.SetEnabled(EventAction().Kind() != TActionKind::PauseBackup); }

void TFrmODBackupDB::miOpenFormClick() { Show(); }

void TFrmODBackupDB::miCloseFormClick() { Hide(); }

void TFrmODBackupDB::SBExitClick() {
  if (App.Confirm(std::string(msg::ExitQuestion))) Close();
}

void TFrmODBackupDB::BtnOKClick() {
  settings_.SetEventAction(TEventAction::FromItemIndex(cbAction.ItemIndex()));
  (void)settings_.SaveSettings(ExePath);
  // Saving has set the action from the list, so it is never unknown here; an
  // unknown one would show as the plan's item.
  switch (EventAction().Kind()) {
    case TActionKind::OnceBackup:
      RunBackup(/*startedByOk=*/true);
      break;
    case TActionKind::PauseBackup:
      TimerTS.SetEnabled(false);
      break;
    case TActionKind::BackupOnTimer:
    case TActionKind::Unknown:
      ArmScheduleTimer();
      break;
  }
  RefreshBackupStatus();
  Hide();
}

}  // namespace odb
