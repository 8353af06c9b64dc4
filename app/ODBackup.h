#pragma once
// Program entry shared by the Windows and the headless program.
#include <memory>
#include <string>

#include "platform/Application.h"

namespace odb {

class TDataODBackup;
class TFrmODBackupDB;

struct TProgramOptions {
  std::string exePath;
  std::string configFile;  // empty: next to the executable
  // Off for the commands that only print: they must not create or empty the log.
  bool prepareLog = true;
};

// The data module and the settings window, destroyed window first.
struct TProgram {
  std::unique_ptr<TDataODBackup> data;
  std::unique_ptr<TFrmODBackupDB> form;
  TProgram();
  ~TProgram();
};

// Sets the title and creates the data module. Returns null when it cannot be
// created (the error has been shown).
std::unique_ptr<TDataODBackup> CreateDataModule(TApplication& app);
// CreateDataModule, then the window; null as CreateDataModule.
std::unique_ptr<TProgram> CreateProgram(TApplication& app, const TProgramOptions& options);
// CreateProgram, then the message loop; returns the exit code.
int RunProgram(TApplication& app, const TProgramOptions& options);

}  // namespace odb
