#pragma once
// The controls that hold the program's settings. The settings window shows
// them; without a window (the headless --once) they hold the loaded
// configuration all the same, so the configuration and the backup run read
// and write them the one way.
#include <cstdint>

#include "app/Controls.h"

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

 protected:
  void RecomputeGroupBoxes();
};

}  // namespace odb
