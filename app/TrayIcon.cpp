// The tray entry of the settings window: its icon follows the event action in
// the selected icon set, and its menu reaches the window's commands.
#include "app/AppTexts.h"
#include "app/ODBackupDB.h"
#include "platform/SelectIconSet.h"

namespace odb {

int TFrmODBackupDB::TrayIconIndex() const {
  switch (EventAction().Kind()) {
    case TActionKind::OnceBackup:
      return 0;
    case TActionKind::BackupOnTimer:
      return 1;
    case TActionKind::PauseBackup:
      return 2;
    case TActionKind::Unknown:
      return 3;
  }
  return 3;
}

std::string TFrmODBackupDB::TrayTip() const {
  return std::string(backup_.Progress() ? msg::TrayTipRunning : msg::TrayTip);
}

void TFrmODBackupDB::ModifyTrayEntry() {
  trayTipShown_ = TrayTip();
  App.Tray().Modify(trayIconList_, TrayIconIndex(), trayTipShown_);
}

void TFrmODBackupDB::UpdateTrayIcon() {
  // Before window creation has added the entry there is nothing to update.
  if (!trayIconAdded_) return;
  ModifyTrayEntry();
  // The strip names the action's consequence ("Zálohy pozastaveny") as the icon does.
  RefreshBackupStatus();
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
    case TTrayCommand::Restore:
      miRestoreClick();
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
  chooser.SelectedSet = IconSetIndex();
  App.ShowModal(chooser);
  if (chooser.SelectedSet == IconSetIndex()) return;
  settings_.SetIconSetIndex(chooser.SelectedSet);
  trayIconList_ = IconSetIndex() == 2 ? 2 : 1;
  UpdateTrayIcon();
}

}  // namespace odb
