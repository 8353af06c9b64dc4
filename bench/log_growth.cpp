// Costs that grow with the text the log view holds, in the window model:
// 1. one AddLogEntry while the window is visible (append, then the whole log
//    file read back into the memo) at log sizes of 100 KB, 1 MB and 10 MB;
// 2. the memo's line appends while a verbose backup streams its output:
//    TMemo::AddLine alone, and the whole RunBackupVerbose loop on a client
//    that answers at once, at 10,000 and 100,000 lines.
// Usage: log_growth WORKDIR
#include <cstdio>
#include <cstring>
#include <string>

#include "app/ODBackupDB.h"
#include "backup/ODBackupUtils.h"
#include "bench/BenchUtil.h"
#include "common/FileSystem.h"
#include "log/ActivityLog.h"
#include "platform/Clock.h"
#include "platform/headless/HeadlessApplication.h"
#include "schedule/DmODBackup.h"

namespace {

using namespace odb;
using bench::Clock;

// A service manager that streams `lines` output lines at once, then the end.
class TStreamingClient final : public IFbClient {
 public:
  long lines = 0;

  ISC_STATUS ServiceAttach(ISC_STATUS*, unsigned short, const char*, isc_svc_handle* handle,
                           unsigned short, const char*) override {
    *handle = 1;
    sent_ = 0;
    return 0;
  }
  ISC_STATUS ServiceDetach(ISC_STATUS*, isc_svc_handle*) override { return 0; }
  ISC_STATUS ServiceStart(ISC_STATUS*, isc_svc_handle*, unsigned short, const char*) override {
    return 0;
  }
  ISC_STATUS ServiceQuery(ISC_STATUS*, isc_svc_handle*, unsigned short, const char*,
                          unsigned short, const char*, unsigned short, char* buffer) override {
    char text[64];
    const int n = sent_ < lines ? std::snprintf(text, sizeof text,
                                                "gbak:    writing data for table T%ld", sent_ % 400 + 1)
                                : 0;
    ++sent_;
    buffer[0] = isc_info_svc_line;
    buffer[1] = static_cast<char>(n & 0xFF);
    buffer[2] = static_cast<char>(n >> 8);
    std::memcpy(buffer + 3, text, static_cast<size_t>(n));
    buffer[3 + n] = isc_info_end;
    return 0;
  }
  long VaxInteger(const char* bytes, short length) override {
    long v = 0;
    for (short i = length - 1; i >= 0; --i) v = (v << 8) | static_cast<unsigned char>(bytes[i]);
    return v;
  }
  long SqlCode(const ISC_STATUS*) override { return 0; }
  long Interpret(char*, unsigned, const ISC_STATUS**) override { return 0; }

 private:
  long sent_ = 0;
};

// A log file of about `bytes` bytes made of the entries the scheduler writes.
void FillLog(const std::string& path, size_t bytes) {
  std::string text;
  TDateTime at = TDateTime::Encode(2024, 1, 1, 8, 0, 0);
  while (text.size() < bytes) {
    text += FormatLogEntry("Příští zálohování nastaveno: " + FormatDateTime(at.AddMs(3'600'000)), at);
    text += FormatLogEntry("Záloha byla provedena: " + FormatDateTime(at), at);
    at = at.AddMs(3'600'000);
  }
  if (!fs::WriteFile(path, text)) throw std::runtime_error("cannot write " + path);
}

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
    TDataODBackup data(clock.Now(), client);
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
  (void)RunBackupVerbose(service, app, memo);
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
