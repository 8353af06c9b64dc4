#pragma once
// The headless program's commands, kept apart from main() so tests can run them.
#include <optional>
#include <string>
#include <vector>

#include "app/ODBackup.h"
#include "common/DateTime.h"

namespace odb {

enum class THeadlessMode { Run, Once, ShowSettings, Plan, Help, Version, Status };

struct THeadlessCommand {
  THeadlessMode mode = THeadlessMode::Run;
  TProgramOptions options;
  std::optional<TDateTime> at;
};

// Returns the problem for a usage message, or nothing when the arguments are fine.
std::optional<std::string> ParseHeadlessArguments(const std::vector<std::string>& args,
                                                  THeadlessCommand& command);
// Runs Run, Once, ShowSettings, Plan or Status; returns the exit status. Once and
// ShowSettings work from the loaded settings alone and create no window.
int RunHeadlessCommand(TApplication& app, const THeadlessCommand& command);

}  // namespace odb
