#include "app/SettingsControls.h"

#include "app/EventAction.h"

namespace odb {

TSettingsControls::TSettingsControls() {
  TRadioButton::Group({&RBLocal, &RBHost});
  RBLocal.SetChecked(true);
  EdtServer.SetText("local");
  EdtPath.SetText("C:\\ProgramFiles\\Tesmar\\Ordava\\DataFB\\Ordava.FDB");
  CB_ClearLog.SetChecked(true);
  EdtBackupPath.SetText("C:\\ProgramFiles\\Tesmar\\Ordava\\Anal");
  EdtLogFilePath.SetText("C:\\ProgramFiles\\Tesmar\\Ordava\\Anal\\Anal.log");
  sedtMirrorCount.SetText("3");
  cbAction.Items = {"Jednorázová záloha", "Dle plánu záloh", "Pozastavení záloh"};
}

TCheckBox* TSettingsControls::DayBox(int day) {
  TCheckBox* const boxes[] = {&cbPo, &cbUt, &cbSt, &cbCt, &cbPa, &cbSo, &cbNe};
  return day >= 1 && day <= 7 ? boxes[day - 1] : nullptr;
}

void TSettingsControls::RecomputeGroupBoxes() {
  cbPracDny.SetChecked(cbPo.Checked() && cbUt.Checked() && cbSt.Checked() && cbCt.Checked() &&
                       cbPa.Checked());
  cbVikendy.SetChecked(cbSo.Checked() && cbNe.Checked());
}

void TSettingsControls::CheckWeekday(int day) {
  if (TCheckBox* box = DayBox(day)) box->SetChecked(true);
  RecomputeGroupBoxes();
}

uint8_t TSettingsControls::TickedDays() const {
  const TCheckBox* const boxes[] = {&cbPo, &cbUt, &cbSt, &cbCt, &cbPa, &cbSo, &cbNe};
  uint8_t mask = 0;
  for (int day = 1; day <= 7; ++day) {
    if (boxes[day - 1]->Checked()) mask |= static_cast<uint8_t>(1u << day);
  }
  return mask;
}

}  // namespace odb

namespace odb {

void TSettingsControls::ShowSettings(const TSettings& s) {
  RBLocal.SetChecked(s.LocalHost);
  RBHost.SetChecked(!RBLocal.Checked());
  // After the server choice, whose coupling writes a name of its own.
  EdtServer.SetText(s.ServerName);
  EdtPath.SetText(s.DatabaseName);
  EdtLogFilePath.SetText(s.LogFileName);
  EdtBackupPath.SetText(s.BackupPath);
  sedtBackupCount.SetText(s.BackupCount);
  EdtMirrorPath.SetText(s.MirrorPath);
  sedtMirrorCount.SetText(s.MirrorCount);
  CBLogActivity.SetChecked(s.LogToFile);
  CB_ClearLog.SetChecked(s.ClearLog);
  CB_RunMinimalized.SetChecked(s.RunMinimalized);
  CBVerifyBackup.SetChecked(s.VerifyBackup);
  cbAction.SetItemIndex(NameToAction(s.EventAction));
  for (int day = 1; day <= 7; ++day) DayBox(day)->SetChecked(s.Plan.daysMask & (1u << day));
  RecomputeGroupBoxes();
}

void TSettingsControls::CopyTo(TSettings& s) const {
  s.LocalHost = RBLocal.Checked();
  s.ServerName = EdtServer.Text();
  s.DatabaseName = EdtPath.Text();
  s.LogFileName = EdtLogFilePath.Text();
  s.BackupPath = EdtBackupPath.Text();
  s.BackupCount = sedtBackupCount.Text();
  s.MirrorPath = EdtMirrorPath.Text();
  s.MirrorCount = sedtMirrorCount.Text();
  s.LogToFile = CBLogActivity.Checked();
  s.ClearLog = CB_ClearLog.Checked();
  s.RunMinimalized = CB_RunMinimalized.Checked();
  s.VerifyBackup = CBVerifyBackup.Checked();
  s.Plan.daysMask = TickedDays();
}

void TSettingsControls::EditLive(TSettings& live) {
  TControl* const controls[] = {&RBLocal, &RBHost, &EdtServer, &EdtPath, &EdtLogFilePath, &EdtBackupPath,
                                &sedtBackupCount, &EdtMirrorPath, &sedtMirrorCount, &CBLogActivity, &CB_ClearLog, &CB_RunMinimalized,
                                &CBVerifyBackup, &cbPo, &cbUt, &cbSt, &cbCt, &cbPa, &cbSo, &cbNe};
  for (TControl* control : controls) control->OnValueChanged = [this, &live] { CopyTo(live); };
}

}  // namespace odb
