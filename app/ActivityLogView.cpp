// The window side of the activity log: the log box, the file name edit and the
// log view that shows the file while the window is visible.
#include "app/AppTexts.h"
#include "app/ODBackupDB.h"
#include "common/FileSystem.h"
#include "common/Format.h"
#include "log/ActivityLog.h"

namespace odb {

void TFrmODBackupDB::PrepareLogFile() {
  if (!odb::PrepareLogFile(EdtLogFilePath.Text(), CB_ClearLog.Checked())) {
    CBLogActivity.SetChecked(false);
  }
}

void TFrmODBackupDB::AddLogEntry(const std::string& message) {
  const std::string path = EdtLogFilePath.Text();
  if (!CBLogActivity.Checked() || !fs::FileExists(path)) return;
  try {
    if (!AppendLogEntry(path, message, App.Now())) {
      // Logging stays off until the user ticks the box again.
      CBLogActivity.SetChecked(false);
      return;
    }
    if (!Visible()) return;
    MemoFiles.SetText(ReadLogText(path));
    App.PostMessage(MemoFiles, EM_SCROLLCARET_MSG);
  } catch (const std::exception& error) {
    App.ErrorBox(FormatMsg(msg::LogWriteFailed, path) + error.what());
  }
}

}  // namespace odb
