// Coupling between the settings window's controls: the server choice, the day
// boxes with their two group boxes, and the event action with the tray icon.
#include "app/AppTexts.h"
#include "app/ODBackupDB.h"
#include "common/FlagGuard.h"
#include "platform/FolderDialog.h"

namespace odb {

void TFrmODBackupDB::RBLocalClick() {
  if (RBLocal.Checked()) {
    EdtServer.SetFontColor(clInactiveCaption);
    EdtServer.SetText("localhost");
    EdtServer.SetEnabled(false);
  } else {
    EdtServer.SetFontColor(clWindowText);
    EdtServer.SetEnabled(true);
  }
}

void TFrmODBackupDB::cbDayClick() {
  TFlagGuard active(dayClickActive_);
  if (groupClickActive_) return;
  RecomputeGroupBoxes();
}

void TFrmODBackupDB::cbPracDnyClick() {
  TFlagGuard active(groupClickActive_);
  if (dayClickActive_) return;
  for (TCheckBox* day : {&cbPo, &cbUt, &cbSt, &cbCt, &cbPa}) day->SetChecked(cbPracDny.Checked());
}

void TFrmODBackupDB::cbVikendyClick() {
  TFlagGuard active(groupClickActive_);
  if (dayClickActive_) return;
  for (TCheckBox* day : {&cbSo, &cbNe}) day->SetChecked(cbVikendy.Checked());
}

void TFrmODBackupDB::EdtServerChange() {
  settings_.SetEventAction(TEventAction::FromItemIndex(cbAction.ItemIndex()));
  if (!settings_.SettingsFileBusy()) UpdateTrayIcon();
}

void TFrmODBackupDB::SBComStartClick() {
  settings_.SetEventAction(TEventAction::FromItemIndex(cbAction.ItemIndex()));
  UpdateTrayIcon();
}

void TFrmODBackupDB::SBServerClick() {
  if (auto name = App.BrowseForComputer(std::string(msg::ComputerBrowse))) EdtServer.SetText(*name);
}

void TFrmODBackupDB::SBDBPathClick() {
  if (OpenDialogDB.Execute(App)) EdtPath.SetText(OpenDialogDB.FileName);
}

void TFrmODBackupDB::ChooseFolderInto(TEdit& edit, std::string_view title, std::string_view prompt) {
  const TFolderDialog dialog{std::string(title), std::string(prompt), edit.Text()};
  if (auto folder = App.SelectDirectory(dialog)) edit.SetText(*folder);
}

void TFrmODBackupDB::SBInFilesPathClick() {
  ChooseFolderInto(EdtBackupPath, msg::BackupFolderTitle, msg::BackupFolderPrompt);
}

void TFrmODBackupDB::SBMirrorPathClick() {
  ChooseFolderInto(EdtMirrorPath, msg::MirrorFolderTitle, msg::MirrorFolderPrompt);
}

void TFrmODBackupDB::SBLogFilePathClick() {
  if (OpenDialogLog.Execute(App)) EdtLogFilePath.SetText(OpenDialogLog.FileName);
}

}  // namespace odb
