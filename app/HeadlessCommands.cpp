#include "app/HeadlessCommands.h"

#include <cstdio>
#include <filesystem>

#include "app/BackupStatus.h"
#include "app/ActivityLogView.h"
#include "app/AppTexts.h"
#include "app/ODBackupDB.h"
#include "app/LoginEntry.h"
#include "app/RunBackup.h"
#include "app/Settings.h"
#include "app/SettingsControls.h"
#include "common/Errors.h"
#include "common/FileLock.h"
#include "common/Text.h"
#include "common/FileSystem.h"
#include "common/Format.h"
#include "schedule/ScheduleTexts.h"
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

// Long enough for a backup of a practice's database to end.
constexpr int kOnceLockWaitMs = 30 * 60'000;

std::string PlanValue(TDateTime value, bool found) { return found ? FormatDateTime(value) : "-"; }

// The plan needs the window: its day boxes are what the computation asks for.
int PrintPlan(TApplication& app, const TProgramOptions& options, std::optional<TDateTime> at) {
  auto program = CreateProgram(app, options);
  if (!program) return 1;
  const TDateTime now = at.value_or(app.Now());
  const TDateTime missed = program->data->LastMissedRun(now);
  const TDateTime next = program->data->NextRun(now);
  std::printf("missed: %s\nnext: %s\n", PlanValue(missed, missed < now).c_str(),
              PlanValue(next, next != BaseDateTime).c_str());
  return 0;
}

// The report needs the window, as the plan does: its day boxes are the plan.
int PrintStatus(TApplication& app, const TProgramOptions& options, std::optional<TDateTime> at) {
  auto program = CreateProgram(app, options);
  if (!program) return 1;
  std::string text;
  const int status = StatusReport(*program->form, at.value_or(app.Now()), text);
  std::fputs(text.c_str(), stdout);
  return status;
}

// The configuration loaded into settings controls of their own: what the
// commands that need no window work from.
struct TLoadedSettings {
  std::unique_ptr<TDataODBackup> data;
  TSettingsControls controls;
  std::unique_ptr<TSettingsBinding> binding;

  TLoadedSettings(TApplication& app, const TProgramOptions& options) : data(CreateDataModule(app)) {
    if (!data) return;
    binding = std::make_unique<TSettingsBinding>(app, *data, controls, options);
    // As the window does: a configuration that does not load leaves the
    // defaults, and the command goes on with them.
    (void)binding->LoadSettingsOrTell(options.exePath);
  }
};

// A LastRun ahead of the clock would hide every missed backup until the
// clock caught up with it.
void WarnLastRunInFuture(TDateTime lastRun, TDateTime now) {
  if (now < lastRun) std::fprintf(stderr, "odbackup: %s\n", FormatMsg(msg::LastRunInFuture, FormatDateTime(lastRun)).c_str());
}

int BackupOnce(TApplication& app, const TProgramOptions& options) {
  TLoadedSettings loaded(app, options);
  if (!loaded.data) return 1;
  WarnLastRunInFuture(loaded.data->LastRun, app.Now());
  TMemo output("MemoFiles");
  TStdoutMemoView view;
  output.SetView(&view);
  TTimer unused(app, 1000);  // the output is always read, so nothing is started detached
  TBackupRun run(app, *loaded.data, loaded.controls, *loaded.binding, output, unused,
                 [&](const std::string& message) { AddLogEntry(app, loaded.controls, message, nullptr); });
  run.CreateJob();
  // Two --once at one moment (cron and a person) make one backup after the other.
  run.SetFolderLockWait(kOnceLockWaitMs);
  try {
    if (run.PerformBackup(/*waitForOutput=*/true)) return 0;
    if (const auto& failure = run.Watch.Failure()) std::fprintf(stderr, "odbackup: %s\n", failure->error.c_str());
  } catch (const std::exception& error) {
    std::fprintf(stderr, "odbackup: %s\n", error.what());
  }
  return 1;
}

int ShowSettings(TApplication& app, const TProgramOptions& options) {
  TLoadedSettings loaded(app, options);
  if (!loaded.data) return 1;
  const std::string bytes = loaded.binding->SettingsText();
  std::fwrite(bytes.data(), 1, bytes.size(), stdout);
  return 0;
}

// Without a window the program behaves as the Windows one hidden in the tray.
int RunInTheBackground(TApplication& app, const TProgramOptions& options) {
  // Two followers of one plan would make every planned backup twice.
  const std::string ini = IniFileNameFor(options.exePath, options.configFile);
  const TFileLock plan(ChangeExtension(ini, ".lock"));
  if (plan.State() == TFileLock::TState::Busy) {
    std::fprintf(stderr, "odbackup: %s\n", FormatMsg(msg::PlanAlreadyFollowed, ini).c_str());
    return 1;
  }
  auto program = CreateProgram(app, options);
  if (!program) return 1;
  TFrmODBackupDB& form = *program->form;
  TStdoutMemoView memoView;
  form.MemoFiles.SetView(&memoView);
  // A notice, not an error: without a window nothing else would tell why nothing happens.
  if (form.EventAction().Kind() == TActionKind::BackupOnTimer &&
      (form.DaysMask() == 0 || form.Data.MemTimes.RecordCount() == 0)) {
    std::fprintf(stderr, "%s\n", std::string(msg::PlanEmpty).c_str());
  }
  WarnLastRunInFuture(form.Data.LastRun, app.Now());
  // Without a window the program behaves as the Windows one hidden in the tray.
  form.Show();
  form.Hide();
  app.ShowMainFormOnRun = false;
  app.Run(form);
  form.MemoFiles.SetView(nullptr);
  return 0;
}

int SetPassword(TApplication& app, const TProgramOptions& options, const THeadlessCommand& command) {
  TLoadedSettings loaded(app, options);
  if (!loaded.data) return 1;
  const std::string& iniFileName = loaded.binding->IniFileName();
  try {
    const std::optional<std::string> password = command.readPassword ? command.readPassword() : std::nullopt;
    if (!password) throw Exception("no password was given on standard input");
    StoreCheckedLogin(iniFileName, command.userName, *password);
    std::fprintf(stderr, "odbackup: the login is stored in %s\n", iniFileName.c_str());
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
  if (command.mode != THeadlessMode::Run) return "only one of --once, --show-settings, --plan, --status and --set-password";
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
  if (arg == "--status") return SetMode(command, THeadlessMode::Status);
  if (arg == "--set-password") return SetMode(command, THeadlessMode::SetPassword);
  std::string value;
  if (arg == "--config") {
    if (auto problem = TakeValue(args, i, value)) return problem;
    if (!fs::ReadFile(value)) return "cannot read the configuration file " + value;
    // Resolved once, here: the defaults go next to it, and a relative name
    // would otherwise follow every change of the current folder.
    command.options.configFile = std::filesystem::absolute(value).lexically_normal().string();
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
  if (command.at && command.mode != THeadlessMode::Plan && command.mode != THeadlessMode::Status) {
    return "--at goes with --plan or --status";
  }
  if (command.userName && command.mode != THeadlessMode::SetPassword) return "--user goes with --set-password";
  return std::nullopt;
}

int RunHeadlessCommand(TApplication& app, const THeadlessCommand& command) {
  TProgramOptions options = command.options;
  options.prepareLog = command.mode == THeadlessMode::Run || command.mode == THeadlessMode::Once;
  switch (command.mode) {
    case THeadlessMode::Once:
      return BackupOnce(app, options);
    case THeadlessMode::ShowSettings:
      return ShowSettings(app, options);
    case THeadlessMode::Plan:
      return PrintPlan(app, options, command.at);
    case THeadlessMode::Status:
      return PrintStatus(app, options, command.at);
    case THeadlessMode::SetPassword:
      return SetPassword(app, options, command);
    case THeadlessMode::Run:
      return RunInTheBackground(app, options);
    case THeadlessMode::Help:
    case THeadlessMode::Version:
      break;
  }
  return 0;
}

}  // namespace odb
