// Does asking a detached backup whether it still runs slow or stall the
// server's backup? The same backup is made without any query (one blocking
// read to the end, as gbak -se does), with one isc_info_svc_running query a
// second (the scheduler's tick) and with one every 10 ms (100 times the tick).
// The backup's duration is the backup file's last modification minus the
// start; the queries' own times show whether the thread ever waits.
// Usage: detached_poll DATABASE BACKUP_FILE [ROUNDS] (over TCP to localhost,
// SYSDBA with the program's password).
#include <sys/stat.h>

#include <algorithm>
#include <chrono>
#include <cstdio>
#include <string>
#include <thread>
#include <vector>

#include "backup/ODBackupUtils.h"
#include "service/BackupService.h"

namespace {

using Clock = std::chrono::system_clock;

double Seconds(Clock::duration d) { return std::chrono::duration<double>(d).count(); }

double FileEnd(const std::string& path) {
  struct stat st {};
  if (stat(path.c_str(), &st) != 0) return 0;
  return st.st_mtim.tv_sec + st.st_mtim.tv_nsec / 1e9;
}

struct Result {
  double backup = 0, maxQueryMs = 0;
  int queries = 0;
};

Result Run(const std::string& db, const std::string& file, int pollMs) {
  std::remove(file.c_str());
  odb::TBackupService svc;
  svc.SetLoginPrompt(false);
  svc.SetServerName("localhost");
  svc.Params().Assign({odb::kDefaultUserParam, odb::kDefaultPasswordParam});
  svc.SetDatabaseName(db);
  svc.BackupFile() = {file};
  svc.SetOptions({odb::TBackupOption::NoGarbageCollection});
  svc.Attach();
  const auto start = Clock::now();
  svc.ServiceStart();
  Result r;
  if (pollMs == 0) {
    while (!svc.OutputEnded()) (void)svc.ReadOutputLine();
  } else {
    for (;;) {
      const auto before = std::chrono::steady_clock::now();
      const bool running = svc.QueryRunning();
      const double ms = std::chrono::duration<double, std::milli>(std::chrono::steady_clock::now() - before).count();
      r.maxQueryMs = std::max(r.maxQueryMs, ms);
      ++r.queries;
      if (!running) break;
      std::this_thread::sleep_for(std::chrono::milliseconds(pollMs));
    }
  }
  svc.Detach();
  r.backup = FileEnd(file) - Seconds(start.time_since_epoch());
  return r;
}

}  // namespace

int main(int argc, char** argv) {
  if (argc < 3) {
    std::fprintf(stderr, "usage: detached_poll DATABASE BACKUP_FILE [ROUNDS]\n");
    return 2;
  }
  const int rounds = argc > 3 ? std::atoi(argv[3]) : 3;
  std::printf("%-28s %10s %10s %14s\n", "queries", "backup s", "queries", "slowest ms");
  for (const int pollMs : {0, 1000, 10}) {
    for (int i = 0; i < rounds; ++i) {
      const Result r = Run(argv[1], argv[2], pollMs);
      const std::string mode = pollMs == 0 ? "none (blocking read to end)" : "every " + std::to_string(pollMs) + " ms";
      std::printf("%-28s %10.2f %10d %14.1f\n", mode.c_str(), r.backup, r.queries, r.maxQueryMs);
      std::fflush(stdout);
    }
  }
}
