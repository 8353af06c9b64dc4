#pragma once
// The headless program's commands, kept apart from main() so tests can run them.
#include <functional>
#include <optional>
#include <string>
#include <vector>

#include "app/ODBackup.h"
#include "common/DateTime.h"

namespace odb {

enum class THeadlessMode { Run, Once, ShowSettings, Plan, Status, SetPassword, Help, Version };

struct THeadlessCommand {
  THeadlessMode mode = THeadlessMode::Run;
  TProgramOptions options;
  std::optional<TDateTime> at;
  std::optional<std::string> userName;  // --user, with --set-password
  // The password for --set-password: one line of standard input, unechoed.
  std::function<std::optional<std::string>()> readPassword;
};

// Returns the problem for a usage message, or nothing when the arguments are fine.
std::optional<std::string> ParseHeadlessArguments(const std::vector<std::string>& args,
                                                  THeadlessCommand& command);
// Runs Run, Once, ShowSettings, Plan, Status or SetPassword; returns the exit
// status. Once, ShowSettings and SetPassword work from the loaded settings alone
// and create no window.
int RunHeadlessCommand(TApplication& app, const THeadlessCommand& command);

}  // namespace odb
