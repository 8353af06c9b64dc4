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
#include "app/UserRestore.h"
#include "common/Errors.h"
#include "common/FileLock.h"
#include "common/Text.h"
#include "common/FileSystem.h"
#include "common/Format.h"
#include "schedule/ScheduleTexts.h"
#include "schedule/DmODBackup.h"
#include "schedule/ScheduleComputation.h"

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

// The configuration read into live settings of their own: what every command
// but the plan follower works from. No window, and no client library.
struct TLoadedSettings {
  TSettingsBinding binding;

  TLoadedSettings(TApplication& app, const TProgramOptions& options) : binding(app, options) {
    app.SetTitle(std::string(msg::AppTitle));
    // As the window does: a configuration that does not load leaves the
    // defaults, and the command goes on with them.
    (void)binding.LoadSettingsOrTell(options.exePath);
  }
  TSettings& Live() { return binding.Live; }
};

// The schedule computation's two instants, with its own window ahead (NextRun).
int PrintPlan(TApplication& app, const TProgramOptions& options, std::optional<TDateTime> at) {
  TLoadedSettings loaded(app, options);
  const TDateTime now = at.value_or(app.Now());
  const TBackupPlan& plan = loaded.Live().Plan;
  const TDateTime missed = LastMissedRun(plan, loaded.Live().LastRun, now);
  const TDateTime next = NextRun(plan, now);
  std::printf("missed: %s\nnext: %s\n", PlanValue(missed, missed < now).c_str(),
              PlanValue(next, next != BaseDateTime).c_str());
  return 0;
}

int PrintStatus(TApplication& app, const TProgramOptions& options, std::optional<TDateTime> at) {
  TLoadedSettings loaded(app, options);
  std::string text;
  const int status = StatusReport(loaded.binding, RecordedFailure(loaded.binding.IniFileName()),
                                  at.value_or(app.Now()), text);
  std::fputs(text.c_str(), stdout);
  return status;
}

// A LastRun ahead of the clock would hide every missed backup until the
// clock caught up with it.
void WarnLastRunInFuture(TDateTime lastRun, TDateTime now) {
  if (now < lastRun) std::fprintf(stderr, "odbackup: %s\n", FormatMsg(msg::LastRunInFuture, FormatDateTime(lastRun)).c_str());
}

int BackupOnce(TApplication& app, const TProgramOptions& options) {
  // The backup itself needs the client library.
  const std::unique_ptr<TDataODBackup> data = CreateDataModule(app);
  if (!data) return 1;
  TLoadedSettings loaded(app, options);
  WarnLastRunInFuture(loaded.Live().LastRun, app.Now());
  TMemo output("MemoFiles");
  TStdoutMemoView view;
  output.SetView(&view);
  TTimer unused(app, 1000);  // the output is always read, so nothing is started detached
  TBackupRun run(app, *data, loaded.binding, output, unused,
                 [&](const std::string& message) { AddLogEntry(app, loaded.Live(), message, nullptr); });
  run.CreateJob();
  // Two --once at one moment (cron and a person) make one backup after the other.
  run.SetFolderLockWait(kOnceLockWaitMs);
  try {
    // A failure after a made backup is its copy's: the backup stays made, but
    // cron must hear of a mirror that took nothing.
    if (run.PerformBackup(/*waitForOutput=*/true) && !run.Watch.Failure()) return 0;
    if (const auto& failure = run.Watch.Failure()) std::fprintf(stderr, "odbackup: %s\n", failure->error.c_str());
  } catch (const std::exception& error) {
    std::fprintf(stderr, "odbackup: %s\n", error.what());
  }
  return 1;
}

int ShowSettings(TApplication& app, const TProgramOptions& options) {
  TLoadedSettings loaded(app, options);
  const std::string bytes = loaded.binding.SettingsText();
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
  if (form.EventAction().Kind() == TActionKind::BackupOnTimer && form.Live().Plan.Empty()) {
    std::fprintf(stderr, "%s\n", std::string(msg::PlanEmpty).c_str());
  }
  WarnLastRunInFuture(form.Live().LastRun, app.Now());
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
  const std::string& iniFileName = loaded.binding.IniFileName();
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

// The restore's output lines go to standard output as they arrive.
class TStdoutOutput final : public IBackupOutput {
 public:
  void Clear() override {}
  void AddLine(std::string line) override { std::printf("%s\n", line.c_str()); }
  void Repaint() override { std::fflush(stdout); }
};

// The server resolves a relative name against its own folder, not ours.
std::string Absolute(const std::string& path) {
  return std::filesystem::absolute(path).lexically_normal().string();
}

int RestoreFromBackup(TApplication& app, const TProgramOptions& options, const THeadlessCommand& command) {
  // The restore service needs the client library.
  const std::unique_ptr<TDataODBackup> data = CreateDataModule(app);
  if (!data) return 1;
  TLoadedSettings loaded(app, options);
  TUserRestore restore(app, *data, loaded.binding);
  const std::string source =
      command.restoreFile ? Absolute(*command.restoreFile) : restore.GenerationPath(command.restoreGeneration);
  TStdoutOutput output;
  try {
    std::string done = restore.Restore(source, Absolute(command.restoreTo.value_or("")), output, kOnceLockWaitMs);
    for (size_t at; (at = done.find("\r\n")) != std::string::npos;) done.replace(at, 2, "\n");
    std::printf("%s\n", done.c_str());
    std::fflush(stdout);
    return 0;
  } catch (const std::exception& error) {
    std::fflush(stdout);
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
  if (command.mode != THeadlessMode::Run) {
    return "only one of --once, --show-settings, --plan, --status, --set-password and --restore";
  }
  command.mode = mode;
  return std::nullopt;
}

// A number is a generation of the backup folder; anything else a backup file.
std::optional<std::string> ParseRestoreSource(const std::string& value, THeadlessCommand& command) {
  if (value.empty()) return "--restore takes a generation number or a backup file, not an empty text";
  if (value.find_first_not_of("0123456789") != std::string::npos) {
    command.restoreFile = value;
    return std::nullopt;
  }
  const std::optional<int32_t> number = value.size() <= 9 ? ParseInteger(value, false) : std::nullopt;
  if (!number || *number < 1) return "--restore takes a generation number from 1, not " + value;
  command.restoreGeneration = *number;
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
  if (arg == "--restore") {
    if (auto problem = SetMode(command, THeadlessMode::Restore)) return problem;
    if (i + 1 < args.size() && !args[i + 1].starts_with("--")) return ParseRestoreSource(args[++i], command);
    return std::nullopt;
  }
  if (arg == "--to") {
    if (auto problem = TakeValue(args, i, value)) return problem;
    if (value.empty()) return "--to needs the path of the new database";
    command.restoreTo = value;
    return std::nullopt;
  }
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
  if (command.restoreTo && command.mode != THeadlessMode::Restore) return "--to goes with --restore";
  if (command.mode == THeadlessMode::Restore && !command.restoreTo) return "--restore needs --to PATH, the new database";
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
    case THeadlessMode::Restore:
      return RestoreFromBackup(app, options, command);
    case THeadlessMode::Run:
      return RunInTheBackground(app, options);
    case THeadlessMode::Help:
    case THeadlessMode::Version:
      break;
  }
  return 0;
}

}  // namespace odb
