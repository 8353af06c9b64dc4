#include "app/HeadlessCommands.h"

#include <cstdio>

#include "app/ODBackupDB.h"
#include "app/LoginEntry.h"
#include "common/Errors.h"
#include "common/FileSystem.h"
#include "schedule/DmODBackup.h"

namespace odb {
namespace {

// Backup output lines go to standard output as they arrive.
class TStdoutMemoView final : public TControlView {
 public:
  void Changed(TControl&) override {}
  void LineAdded(TMemo&, std::string_view line) override {
    std::fwrite(line.data(), 1, line.size(), stdout);
    std::fputc('\n', stdout);
    std::fflush(stdout);
  }
};

std::string PlanValue(TDateTime value, bool found) { return found ? FormatDateTime(value) : "-"; }

int PrintPlan(TFrmODBackupDB& form, TDateTime now) {
  const TDateTime missed = form.Data.LastMissedRun(now);
  const TDateTime next = form.Data.NextRun(now);
  std::printf("missed: %s\nnext: %s\n", PlanValue(missed, missed < now).c_str(),
              PlanValue(next, next != BaseDateTime).c_str());
  return 0;
}

int BackupOnce(TFrmODBackupDB& form) {
  try {
    if (form.PerformBackup(/*waitForOutput=*/true)) return 0;
    std::fprintf(stderr, "odbackup: no backup was made: %s could not be moved away\n",
                 form.BackupFileName().c_str());
  } catch (const std::exception& error) {
    std::fprintf(stderr, "odbackup: %s\n", error.what());
  }
  return 1;
}

int SetPassword(TFrmODBackupDB& form, const THeadlessCommand& command) {
  try {
    const std::optional<std::string> password = command.readPassword ? command.readPassword() : std::nullopt;
    if (!password) throw Exception("no password was given on standard input");
    StoreCheckedLogin(form.IniFileName, command.userName, *password);
    std::fprintf(stderr, "odbackup: the login is stored in %s\n", form.IniFileName.c_str());
    return 0;
  } catch (const std::exception& error) {
    std::fprintf(stderr, "odbackup: %s\n", error.what());
    return 1;
  }
}

std::optional<std::string> TakeValue(const std::vector<std::string>& args, size_t& i,
                                     std::string& value) {
  if (i + 1 >= args.size()) return args[i] + " needs a value";
  value = args[++i];
  return std::nullopt;
}

std::optional<std::string> SetMode(THeadlessCommand& command, THeadlessMode mode) {
  if (command.mode != THeadlessMode::Run) return "only one of --once, --show-settings, --plan and --set-password";
  command.mode = mode;
  return std::nullopt;
}

std::optional<std::string> ParseOne(const std::vector<std::string>& args, size_t& i,
                                    THeadlessCommand& command) {
  const std::string& arg = args[i];
  if (arg == "--help" || arg == "-h") return SetMode(command, THeadlessMode::Help);
  if (arg == "--version") return SetMode(command, THeadlessMode::Version);
  if (arg == "--once") return SetMode(command, THeadlessMode::Once);
  if (arg == "--show-settings") return SetMode(command, THeadlessMode::ShowSettings);
  if (arg == "--plan") return SetMode(command, THeadlessMode::Plan);
  if (arg == "--set-password") return SetMode(command, THeadlessMode::SetPassword);
  std::string value;
  if (arg == "--config") {
    if (auto problem = TakeValue(args, i, value)) return problem;
    if (!fs::ReadFile(value)) return "cannot read the configuration file " + value;
    command.options.configFile = value;
    return std::nullopt;
  }
  if (arg == "--user") {
    if (auto problem = TakeValue(args, i, value)) return problem;
    if (value.empty()) return "--user needs a user name";
    command.userName = value;
    return std::nullopt;
  }
  if (arg == "--at") {
    if (auto problem = TakeValue(args, i, value)) return problem;
    command.at = ParseDateTime(value);
    if (!command.at) return "--at takes a date and time as \"dd.mm.yyyy hh:nn:ss\", not \"" + value + "\"";
    return std::nullopt;
  }
  return "unknown option " + arg;
}

}  // namespace

std::optional<std::string> ParseHeadlessArguments(const std::vector<std::string>& args,
                                                  THeadlessCommand& command) {
  for (size_t i = 0; i < args.size(); ++i) {
    if (auto problem = ParseOne(args, i, command)) return problem;
  }
  if (command.at && command.mode != THeadlessMode::Plan) return "--at goes with --plan";
  if (command.userName && command.mode != THeadlessMode::SetPassword) return "--user goes with --set-password";
  return std::nullopt;
}

int RunHeadlessCommand(TApplication& app, const THeadlessCommand& command) {
  TProgramOptions options = command.options;
  options.prepareLog = command.mode == THeadlessMode::Run || command.mode == THeadlessMode::Once;
  auto program = CreateProgram(app, options);
  if (!program) return 1;
  TFrmODBackupDB& form = *program->form;
  TStdoutMemoView memoView;
  switch (command.mode) {
    case THeadlessMode::Once:
      form.MemoFiles.SetView(&memoView);
      return BackupOnce(form);
    case THeadlessMode::ShowSettings:
      std::fputs(form.SettingsText().c_str(), stdout);
      return 0;
    case THeadlessMode::Plan:
      return PrintPlan(form, command.at.value_or(app.Now()));
    case THeadlessMode::SetPassword:
      return SetPassword(form, command);
    case THeadlessMode::Run:
      form.MemoFiles.SetView(&memoView);
      // Without a window the program behaves as the Windows one hidden in the tray.
      form.Show();
      form.Hide();
      app.ShowMainFormOnRun = false;
      app.Run(form);
      form.MemoFiles.SetView(nullptr);
      return 0;
    case THeadlessMode::Help:
    case THeadlessMode::Version:
      break;
  }
  return 0;
}

}  // namespace odb
