// The window side of the activity log: the log box, the file name edit and the
// log view that shows the file while the window is visible.
#include "app/ActivityLogView.h"

#include "app/AppTexts.h"
#include "app/ODBackupDB.h"
#include "common/FileSystem.h"
#include "common/Format.h"
#include "log/ActivityLog.h"

namespace odb {

void AddLogEntry(TApplication& app, TSettings& settings, const std::string& message, TMemo* view) {
  const std::string path = settings.LogFileName;
  if (!settings.LogToFile || !fs::FileExists(path)) return;
  try {
    if (!AppendLogEntry(path, message, app.Now())) {
      // Logging stays off until the user ticks the box again.
      settings.LogToFile = false;
      return;
    }
    if (!view) return;
    view->SetText(ReadLogText(path));
    app.PostMessage(*view, EM_SCROLLCARET_MSG);
  } catch (const std::exception& error) {
    app.ErrorBox(FormatMsg(msg::LogWriteFailed, path) + error.what());
  }
}

void TFrmODBackupDB::AddLogEntry(const std::string& message) {
  odb::AddLogEntry(App, settings_.Live, message, Visible() ? &MemoFiles : nullptr);
  // The box shows that logging went off.
  if (!settings_.Live.LogToFile) CBLogActivity.SetChecked(false);
}

}  // namespace odb
