// The tray entry of the settings window: its icon follows the event action in
// the selected icon set, and its menu reaches the window's commands.
#include "app/AppTexts.h"
#include "app/ODBackupDB.h"
#include "platform/SelectIconSet.h"

namespace odb {

int TFrmODBackupDB::TrayIconIndex() const {
  if (EventAction == kOnceBackup) return 0;
  if (EventAction == kBackupOnTimer) return 1;
  if (EventAction == kPauseBackup) return 2;
  return 3;
}

void TFrmODBackupDB::UpdateTrayIcon() {
  // Before window creation has added the entry there is nothing to update.
  if (!TrayIconAdded) return;
  App.Tray().Modify(TrayIconList, TrayIconIndex(), std::string(msg::TrayTip));
}

void TFrmODBackupDB::WMTrayNotify(intptr_t lParam) {
  if (lParam == WM_LBUTTONDOWN_MSG) {
    App.Notice(std::string(msg::TrayLeftClick));
    return;
  }
  if (lParam != WM_RBUTTONDOWN_MSG) return;
  const TTrayCommand command = App.TrackTrayMenu(*this);
  App.PostMessage(*this, WM_NULL_MSG);
  switch (command) {
    case TTrayCommand::OpenForm:
      miOpenFormClick();
      break;
    case TTrayCommand::CloseForm:
      miCloseFormClick();
      break;
    case TTrayCommand::AnimateIcons:
      miAnimateIconsClick();
      break;
    case TTrayCommand::Login:
      miLoginClick();
      break;
    case TTrayCommand::End:
      miEndClick();
      break;
    case TTrayCommand::None:
      break;
  }
}

void TFrmODBackupDB::miAnimateIconsClick() {
  TFrmSelectIconSet chooser;
  chooser.SelectedSet = IconSetIndex;
  App.ShowModal(chooser);
  if (chooser.SelectedSet == IconSetIndex) return;
  IconSetIndex = chooser.SelectedSet;
  TrayIconList = IconSetIndex == 2 ? 2 : 1;
  UpdateTrayIcon();
}

}  // namespace odb
