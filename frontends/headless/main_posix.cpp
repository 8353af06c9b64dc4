// odbackup: the program without a window, for Firebird hosts that run Linux,
// for cron/systemd, and for the demo and the tests.
#include <csignal>
#include <cstdio>
#include <cstdlib>
#include <cstring>
#include <string>
#include <vector>

#include "app/HeadlessCommands.h"
#include "common/FileSystem.h"
#include "frontends/headless/HeadlessApplication.h"
#include "frontends/headless/PasswordInput.h"

namespace {

constexpr const char* kUsage =
    "Usage: odbackup [--config FILE] [--once | --show-settings |\n"
    "                                 (--plan | --status) [--at \"dd.mm.yyyy hh:nn:ss\"]]\n"
    "       odbackup [--config FILE] --set-password [--user NAME]\n"
    "       odbackup [--config FILE] --restore [N | FILE] --to PATH\n"
    "       odbackup --help | --version\n"
    "\n"
    "Backs up a Firebird database through the server's service manager.\n"
    "  (no option)      follow the backup plan until SIGINT or SIGTERM\n"
    "  --once           make one backup now; exit status 0 when it was made\n"
    "  --show-settings  print the configuration as understood, writing nothing\n"
    "  --status         print the last and next backup, the generations and whether the\n"
    "                   backups are fresh; exit status 0 fresh, 1 stale or failed, 3 none yet\n"
    "  --plan           print the last missed and the next planned backup instant\n"
    "  --at TIME        the instant --plan and --status compute for (default: now)\n"
    "  --set-password   store the server login: the password is read from standard\n"
    "                   input (not echoed); the configuration must stay private\n"
    "  --user NAME      the user name stored with it (default: sysdba)\n"
    "  --restore [N | FILE]  restore generation N of the backup folder (default 1), or\n"
    "                   FILE (.fbk, or a mirror copy .fbk.gz), through the server into\n"
    "                   a new database; exit status 0 when the restore completed\n"
    "  --to PATH        the new database, as the server sees it: never an existing\n"
    "                   file, never the live database\n"
    "  --config FILE    the configuration file (default: next to the executable)\n";

void OnSignal(int) { odb::THeadlessApplication::RequestTerminate(); }

int Usage(const std::string& problem) {
  std::fprintf(stderr, "odbackup: %s\n%s", problem.c_str(), kUsage);
  return 2;
}

}  // namespace

int main(int argc, char** argv) {
  odb::THeadlessCommand command;
  command.options.exePath = odb::fs::ExecutablePath();
  command.readPassword = odb::ReadPasswordLine;
  const std::vector<std::string> args(argv + 1, argv + argc);
  if (const auto problem = odb::ParseHeadlessArguments(args, command)) return Usage(*problem);
  if (command.mode == odb::THeadlessMode::Help) {
    std::fputs(kUsage, stdout);
    return 0;
  }
  if (command.mode == odb::THeadlessMode::Version) {
    std::printf("odbackup %s\n", ODB_VERSION);
    return 0;
  }
  struct sigaction action {};
  action.sa_handler = OnSignal;
  sigaction(SIGINT, &action, nullptr);
  sigaction(SIGTERM, &action, nullptr);
  std::signal(SIGPIPE, SIG_IGN);
  odb::TSystemClock clock;
  odb::THeadlessApplication app(clock);
  app.EchoBoxes = true;
  // Only the program that keeps running warns; the commands print their answer.
  app.TrayEntry.EchoBalloons = command.mode == odb::THeadlessMode::Run;
  const int status = odb::RunHeadlessCommand(app, command);
  // The embedded engine finishes a service in a thread of its own after the
  // output has ended; the library destructors that run at a normal exit can
  // free what that thread still uses (--once crashed at exit about one run in
  // three, after the backup was complete). Everything of ours is written and
  // closed by now, so the process ends without them.
  std::fflush(nullptr);
  std::_Exit(status);
}
