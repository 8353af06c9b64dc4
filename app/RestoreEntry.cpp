// The tray's "Obnovit ze zálohy…": the dialog with the backups of both
// folders, and the restore it runs.
#include "app/AppTexts.h"
#include "app/ODBackupDB.h"
#include "app/UserRestore.h"
#include "common/Errors.h"
#include "common/FlagGuard.h"
#include "common/Format.h"
#include "platform/RestoreDialog.h"

namespace odb {
namespace {

std::string ChoiceLine(const TRestoreChoice& choice) {
  return FormatMsg(choice.mirror ? msg::RestoreFromMirror : msg::RestoreFromBackups, choice.file.name) + "   " +
         FormatDateTime(choice.file.modified) + "   " + FormatMsg(msg::RestoreBytes, std::to_string(choice.file.bytes));
}

}  // namespace

void TFrmODBackupDB::miRestoreClick() {
  // The dialog is modal, but the tray menu still answers while it is open.
  static bool open = false;
  if (open) return;
  TFlagGuard guard(open);
  TUserRestore restore(App, Data, settings_);
  const std::vector<TRestoreChoice> choices = restore.Choices();
  TRestoreDialog dialog;
  for (const TRestoreChoice& choice : choices) dialog.choices.push_back(ChoiceLine(choice));
  dialog.target = restore.DefaultTarget();
  dialog.restore = [&](size_t index, const std::string& target, IBackupOutput& output) {
    if (index >= choices.size()) throw Exception(std::string(msg::RestoreNoChoice));
    return restore.Restore(choices[index].Path(), target, output);
  };
  App.ShowRestore(dialog);
}

}  // namespace odb
