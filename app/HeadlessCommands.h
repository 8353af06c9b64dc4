#pragma once
// The headless program's commands, kept apart from main() so tests can run them.
#include <functional>
#include <optional>
#include <string>
#include <vector>

#include "app/ODBackup.h"
#include "common/DateTime.h"

namespace odb {

enum class THeadlessMode { Run, Once, ShowSettings, Plan, Status, SetPassword, Restore, Help, Version };

struct THeadlessCommand {
  THeadlessMode mode = THeadlessMode::Run;
  TProgramOptions options;
  std::optional<TDateTime> at;
  std::optional<std::string> userName;  // --user, with --set-password
  // --restore [N | FILE] --to PATH: generation N of the backup folder (1 when
  // neither is given) or the file, into the new database PATH.
  int restoreGeneration = 1;
  std::optional<std::string> restoreFile;
  std::optional<std::string> restoreTo;
  // The password for --set-password: one line of standard input, unechoed.
  std::function<std::optional<std::string>()> readPassword;
};

// Returns the problem for a usage message, or nothing when the arguments are fine.
std::optional<std::string> ParseHeadlessArguments(const std::vector<std::string>& args,
                                                  THeadlessCommand& command);
// Runs Run, Once, ShowSettings, Plan, Status, SetPassword or Restore; returns
// the exit status. All but Run work from the loaded settings alone and create
// no window; only Run, Once and Restore load the client library.
int RunHeadlessCommand(TApplication& app, const THeadlessCommand& command);

}  // namespace odb
