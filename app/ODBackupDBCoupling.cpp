// Coupling between the settings window's controls: the server choice, the day
// boxes with their two group boxes, and the event action with the tray icon.
#include "app/AppTexts.h"
#include "app/ODBackupDB.h"
#include "common/FlagGuard.h"

namespace odb {

std::string ActionToName(int index) {
  if (index == 0) return kOnceBackup;
  if (index == 2) return kPauseBackup;
  return kBackupOnTimer;
}

int NameToAction(const std::string& name) {
  if (name == kOnceBackup) return 0;
  if (name == kPauseBackup) return 2;
  return 1;
}

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

TCheckBox* TFrmODBackupDB::DayBox(int day) {
  TCheckBox* const boxes[] = {&cbPo, &cbUt, &cbSt, &cbCt, &cbPa, &cbSo, &cbNe};
  return day >= 1 && day <= 7 ? boxes[day - 1] : nullptr;
}

void TFrmODBackupDB::RecomputeGroupBoxes() {
  cbPracDny.SetChecked(cbPo.Checked() && cbUt.Checked() && cbSt.Checked() && cbCt.Checked() &&
                       cbPa.Checked());
  cbVikendy.SetChecked(cbSo.Checked() && cbNe.Checked());
}

void TFrmODBackupDB::cbDayClick() {
  TFlagGuard active(DayClickActive);
  if (GroupClickActive) return;
  RecomputeGroupBoxes();
}

void TFrmODBackupDB::cbPracDnyClick() {
  TFlagGuard active(GroupClickActive);
  if (DayClickActive) return;
  for (TCheckBox* day : {&cbPo, &cbUt, &cbSt, &cbCt, &cbPa}) day->SetChecked(cbPracDny.Checked());
}

void TFrmODBackupDB::cbVikendyClick() {
  TFlagGuard active(GroupClickActive);
  if (DayClickActive) return;
  for (TCheckBox* day : {&cbSo, &cbNe}) day->SetChecked(cbVikendy.Checked());
}

void TFrmODBackupDB::CheckWeekday(int day) {
  if (TCheckBox* box = DayBox(day)) box->SetChecked(true);
  RecomputeGroupBoxes();
}

uint8_t TFrmODBackupDB::DaysMask() const {
  const TCheckBox* const boxes[] = {&cbPo, &cbUt, &cbSt, &cbCt, &cbPa, &cbSo, &cbNe};
  uint8_t mask = 0;
  for (int day = 1; day <= 7; ++day) {
    if (boxes[day - 1]->Checked()) mask |= static_cast<uint8_t>(1u << day);
  }
  return mask;
}

void TFrmODBackupDB::EdtServerChange() {
  EventAction = ActionToName(cbAction.ItemIndex());
  if (!SettingsFileBusy) UpdateTrayIcon();
}

void TFrmODBackupDB::SBComStartClick() {
  EventAction = ActionToName(cbAction.ItemIndex());
  UpdateTrayIcon();
}

void TFrmODBackupDB::SBServerClick() {
  if (auto name = App.BrowseForComputer(std::string(msg::ComputerBrowse))) EdtServer.SetText(*name);
}

void TFrmODBackupDB::SBDBPathClick() {
  if (OpenDialogDB.Execute(App)) EdtPath.SetText(OpenDialogDB.FileName);
}

void TFrmODBackupDB::SBInFilesPathClick() {
  if (auto folder = App.SelectDirectory()) EdtBackupPath.SetText(*folder);
}

void TFrmODBackupDB::SBLogFilePathClick() {
  if (OpenDialogLog.Execute(App)) EdtLogFilePath.SetText(OpenDialogLog.FileName);
}

}  // namespace odb
