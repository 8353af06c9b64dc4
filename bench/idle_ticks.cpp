// The scheduler idling: the settings window hidden with "BackupOnTimer", the
// one-second timer ticking N times on a virtual clock. Meant to run under
// valgrind --tool=callgrind twice with two values of N; the difference of the
// instruction counts divided by the difference of N is the cost of one tick,
// with the setup and the teardown cancelled out.
// Usage: idle_ticks announced|nothing|nothing-past TICKS WORKDIR
//   announced     all days, 30 times 12:00..12:29, start 01:00: 12:00 is announced
//   nothing       no day ticked, 30 times: no instant is coming
//   nothing-past  only today ticked, its 30 times already past: the same times a
//                 week on are announced
#include <cstdio>
#include <cstring>
#include <string>

#include "app/ODBackupDB.h"
#include "bench/BenchUtil.h"
#include "platform/Clock.h"
#include "frontends/headless/HeadlessApplication.h"
#include "schedule/DmODBackup.h"

namespace {

using namespace odb;

// No backup falls due while the benchmark ticks, so the client library is never called.
class TNoClient final : public IFbClient {
 public:
  ISC_STATUS ServiceAttach(ISC_STATUS*, unsigned short, const char*, isc_svc_handle*,
                           unsigned short, const char*) override { return Unexpected(); }
  ISC_STATUS ServiceDetach(ISC_STATUS*, isc_svc_handle*) override { return 0; }
  ISC_STATUS ServiceStart(ISC_STATUS*, isc_svc_handle*, unsigned short, const char*) override {
    return Unexpected();
  }
  ISC_STATUS ServiceQuery(ISC_STATUS*, isc_svc_handle*, unsigned short, const char*,
                          unsigned short, const char*, unsigned short, char*) override {
    return Unexpected();
  }
  ISC_STATUS AttachDatabase(ISC_STATUS*, short, const char*, isc_db_handle*, short, const char*) override {
    return Unexpected();
  }
  ISC_STATUS DropDatabase(ISC_STATUS*, isc_db_handle*) override { return Unexpected(); }
  ISC_STATUS DetachDatabase(ISC_STATUS*, isc_db_handle*) override { return Unexpected(); }
  long VaxInteger(const char*, short) override { return 0; }
  long SqlCode(const ISC_STATUS*) override { return 0; }
  long Interpret(char*, unsigned, const ISC_STATUS**) override { return 0; }

 private:
  static ISC_STATUS Unexpected() {
    std::fprintf(stderr, "idle_ticks: a backup was started; the plan is wrong\n");
    std::exit(1);
  }
};

}  // namespace

int main(int argc, char** argv) {
  if (argc < 4) {
    std::fprintf(stderr, "usage: %s announced|nothing|nothing-past TICKS WORKDIR\n", argv[0]);
    return 2;
  }
  const std::string state = argv[1];
  const long ticks = std::atol(argv[2]);
  const std::string work = argv[3];
  // Tuesday 02.01.2024 01:00:00, the last backup made just now.
  const TDateTime start = TDateTime::Encode(2024, 1, 2, 1, 0, 0);
  bench::TBenchConfig config;
  config.database = "/nonexistent/bench.fdb";
  config.logFile = work + "/idle_ticks.log";
  config.backupPath = work + "/";
  config.lastRun = FormatDateTime(start);
  if (state == "announced") {
    config.times = bench::Times(30, 12 * 60, 1);
  } else if (state == "nothing") {
    config.days = "";
    config.times = bench::Times(30, 12 * 60, 1);
  } else if (state == "nothing-past") {
    config.days = "2";
    config.times = bench::Times(30, 0, 1);
  } else {
    std::fprintf(stderr, "idle_ticks: unknown state %s\n", state.c_str());
    return 2;
  }
  const std::string ini = work + "/idle_ticks.ini";
  bench::WriteConfig(ini, config);

  TVirtualClock clock(start);
  THeadlessApplication app(clock);
  TNoClient client;
  TDataODBackup data(client);
  TFrmODBackupDB form(app, data, work + "/odbackup", ini);
  // As the headless program runs: the window hidden, the plan followed.
  form.Show();
  form.Hide();
  for (long i = 0; i < ticks; ++i) app.AdvanceTime(1000);
  const bool announced = form.NextRunTime() != BaseDateTime;
  if (announced != (state != "nothing")) {
    std::fprintf(stderr, "idle_ticks: expected %s, NextRunTime %s\n", state.c_str(),
                 FormatDateTime(form.NextRunTime()).c_str());
    return 1;
  }
  form.FormDestroy();
  return 0;
}
