#include "app/ODBackup.h"

#include "app/AppTexts.h"
#include "app/ODBackupDB.h"
#include "schedule/DmODBackup.h"

namespace odb {

TProgram::TProgram() = default;

TProgram::~TProgram() {
  if (form) form->FormDestroy();
  form.reset();
  data.reset();
}

std::unique_ptr<TDataODBackup> CreateDataModule(TApplication& app) {
  app.SetTitle(std::string(msg::AppTitle));
  try {
    return std::make_unique<TDataODBackup>();
  } catch (const std::exception& error) {
    // Without the client library the program cannot work at all.
    app.ShowException(error);
    return nullptr;
  }
}

std::unique_ptr<TProgram> CreateProgram(TApplication& app, const TProgramOptions& options) {
  auto program = std::make_unique<TProgram>();
  program->data = CreateDataModule(app);
  if (!program->data) return nullptr;
  program->form = std::make_unique<TFrmODBackupDB>(app, *program->data, options);
  return program;
}

int RunProgram(TApplication& app, const TProgramOptions& options) {
  auto program = CreateProgram(app, options);
  if (!program) return 1;
  app.Run(*program->form);
  return 0;
}

}  // namespace odb
