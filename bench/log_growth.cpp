// Costs that grow with the text the log view holds, in the window model:
// 1. one AddLogEntry while the window is visible (append, then the whole log
//    file read back into the memo) at log sizes of 100 KB, 1 MB and 10 MB;
// 2. the memo's line appends while a verbose backup streams its output:
//    TMemo::AddLine alone, and the whole RunBackupVerbose loop on a client
//    that answers at once, at 10,000 and 100,000 lines.
// Usage: log_growth WORKDIR
#include <cstdio>
#include <string>

#include "app/MessagePump.h"
#include "app/ODBackupDB.h"
#include "backup/ODBackupUtils.h"
#include "bench/BenchUtil.h"
#include "bench/LogFixtures.h"
#include "common/FileSystem.h"
#include "log/ActivityLog.h"
#include "platform/Clock.h"
#include "frontends/headless/HeadlessApplication.h"
#include "schedule/DmODBackup.h"

namespace {

using namespace odb;
using bench::Clock;
using bench::FillLog;
using bench::TStreamingClient;

void AddLogEntryBySize(const std::string& work, int repeats) {
  std::printf("AddLogEntry with the window visible (append + whole file into the memo), median of %d:\n",
              repeats);
  const std::string log = work + "/log_growth.log";
  bench::TBenchConfig config;
  config.database = "/nonexistent/bench.fdb";
  config.logFile = log;
  config.backupPath = work + "/";
  config.clearLog = false;
  config.times = bench::Times(30, 12 * 60, 1);
  const std::string ini = work + "/log_growth.ini";
  bench::WriteConfig(ini, config);
  for (const size_t size : {size_t{100'000}, size_t{1'000'000}, size_t{10'000'000}}) {
    FillLog(log, size);
    TVirtualClock clock(TDateTime::Encode(2024, 1, 2, 1, 0, 0));
    THeadlessApplication app(clock);
    TStreamingClient client;
    TDataODBackup data(client);
    TFrmODBackupDB form(app, data, work + "/odbackup", ini);
    form.Show();
    std::vector<double> ms;
    for (int i = 0; i < repeats; ++i) {
      const auto start = Clock::now();
      form.AddLogEntry("Příští zálohování nastaveno: 02.01.2024 12:00:00");
      ms.push_back(bench::SecondsSince(start) * 1000);
    }
    std::printf("  %6.1f MB log, %7zu memo lines: %8.2f ms%s\n", size / 1e6,
                form.MemoFiles.Lines().size(), bench::Median(ms),
                size == 10'000'000 ? "   (goal <= 50 ms at 10 MB)" : "");
    form.FormDestroy();
  }
}

double AddLinesNs(long lines) {
  TMemo memo("MemoFiles");
  const auto start = Clock::now();
  for (long i = 0; i < lines; ++i) memo.AddLine("gbak:    writing data for table T" + std::to_string(i % 400));
  return bench::SecondsSince(start) * 1e9 / lines;
}

double BackupOutputNs(long lines) {
  TVirtualClock clock(TDateTime::Encode(2024, 1, 2, 1, 0, 0));
  THeadlessApplication app(clock);
  TStreamingClient client;
  client.lines = lines;
  TBackupService service(client);
  service.SetProtocol(TProtocol::Local);
  service.SetDatabaseName("bench.fdb");
  service.BackupFile() = {"bench.fbk"};
  service.SetVerbose(true);
  TMemo memo("MemoFiles");
  const auto start = Clock::now();
  TAppMessagePump pump(app);
  (void)RunBackupVerbose(service, pump, memo);
  const double ns = bench::SecondsSince(start) * 1e9 / lines;
  if (memo.Lines().size() != static_cast<size_t>(lines) + 1) throw std::runtime_error("lines lost");
  return ns;
}

void LineAppends(int repeats) {
  std::printf("Backup output into the memo (headless model, no platform view), ns per line, median of %d:\n",
              repeats);
  for (const long lines : {10'000L, 100'000L}) {
    std::vector<double> add, run;
    for (int i = 0; i < repeats; ++i) {
      add.push_back(AddLinesNs(lines));
      run.push_back(BackupOutputNs(lines));
    }
    std::printf("  %7ld lines: TMemo::AddLine %6.0f ns/line   RunBackupVerbose loop %6.0f ns/line\n",
                lines, bench::Median(add), bench::Median(run));
  }
}

}  // namespace

int main(int argc, char** argv) {
  if (argc < 2) {
    std::fprintf(stderr, "usage: %s WORKDIR\n", argv[0]);
    return 2;
  }
  const int repeats = bench::EnvInt("ODB_BENCH_PAIRS", 5);
  try {
    AddLogEntryBySize(argv[1], repeats);
    LineAppends(repeats);
  } catch (const std::exception& error) {
    std::fprintf(stderr, "log_growth: %s\n", error.what());
    return 1;
  }
  return 0;
}
