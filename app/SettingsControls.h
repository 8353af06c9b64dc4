#pragma once
// The controls that edit the program's settings. The settings window shows
// them; every change of one is copied at once into the live settings, which
// the scheduler and the backup run read.
#include <cstdint>

#include "app/Controls.h"
#include "config/ProgramSettings.h"

namespace odb {

class TSettingsControls {
 public:
  TSettingsControls();
  TSettingsControls(const TSettingsControls&) = delete;
  TSettingsControls& operator=(const TSettingsControls&) = delete;

  // " Databáze (Ordava) "
  TRadioButton RBLocal{"RBLocal", "Na tomto počítači"};
  TRadioButton RBHost{"RBHost", "Na jiném počítači"};
  TEdit EdtServer{"EdtServer"};
  TEdit EdtPath{"EdtPath"};
  TCheckBox CB_RunMinimalized{"CB_RunMinimalized", "Automaticky minimalizovat do programové lišty"};
  TCheckBox CB_ClearLog{"CB_ClearLog", "Automaticky vymazat historii (log soubor)"};

  // " Nastavení parametrů zálohování "
  TEdit EdtBackupPath{"EdtBackupPath"};
  TSpinEdit sedtBackupCount{"sedtBackupCount"};
  TCheckBox CBLogActivity{"CBLogActivity", "Zapisuj výsledky do logovacího souboru"};
  TCheckBox CBVerifyBackup{"CBVerifyBackup", "Ověřit zálohu zkušební obnovou"};
  TEdit EdtLogFilePath{"EdtLogFilePath"};
  // The mirror: a second folder for compressed copies; empty is off.
  TEdit EdtMirrorPath{"EdtMirrorPath"};
  TSpinEdit sedtMirrorCount{"sedtMirrorCount"};
  TComboBox cbAction{"cbAction"};
  TCheckBox cbPo{"cbPo", "Po"}, cbUt{"cbUt", "Út"}, cbSt{"cbSt", "St"}, cbCt{"cbCt", "Čt"},
      cbPa{"cbPa", "Pá"}, cbSo{"cbSo", "So"}, cbNe{"cbNe", "Ne"};
  TCheckBox cbPracDny{"cbPracDny"};
  TCheckBox cbVikendy{"cbVikendy"};

  // Weekday 1 = Monday … 7 = Sunday; null outside.
  TCheckBox* DayBox(int day);
  // Ticks the day (never unticks one) and brings the two group boxes in step.
  void CheckWeekday(int day);
  // Bit n for a ticked weekday n.
  uint8_t TickedDays() const;

  // The settings into the controls, in the order the configuration is read.
  // The event action's list shows the action; the times are the grid's.
  void ShowSettings(const TSettings& settings);
  // The values the controls hold into settings (not the action nor the times).
  void CopyTo(TSettings& settings) const;
  // From now on every change of a control reaches live at once.
  void EditLive(TSettings& live);

 protected:
  void RecomputeGroupBoxes();
};

}  // namespace odb
