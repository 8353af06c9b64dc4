#include "app/SettingsControls.h"

namespace odb {

TSettingsControls::TSettingsControls() {
  TRadioButton::Group({&RBLocal, &RBHost});
  RBLocal.SetChecked(true);
  EdtServer.SetText("local");
  EdtPath.SetText("C:\\ProgramFiles\\Tesmar\\Ordava\\DataFB\\Ordava.FDB");
  CB_ClearLog.SetChecked(true);
  EdtBackupPath.SetText("C:\\ProgramFiles\\Tesmar\\Ordava\\Anal");
  EdtLogFilePath.SetText("C:\\ProgramFiles\\Tesmar\\Ordava\\Anal\\Anal.log");
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
