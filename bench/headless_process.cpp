// The headless program as a process, with a plan of 30 times:
// 1. start-up: from fork+exec of `odbackup --config X` to the first tick's
//    announcement "Příští zálohování nastaveno" in a fresh log file, seen
//    through inotify on the log's folder. The first tick comes one timer
//    interval (1000 ms) after the window is created, so start-up = that - 1000.
//    Cross-check: exec to exit of `odbackup --config X --plan`, which does all
//    of the start-up (client library, configuration, window) and no tick.
// 2. idle: resident memory (VmRSS, VmHWM) after a few seconds of following the
//    plan, and the CPU time it spends per minute while idle.
// Usage: headless_process ODBACKUP WORKDIR
#include <poll.h>
#include <signal.h>
#include <sys/inotify.h>
#include <sys/stat.h>

#include <cstdio>
#include <cstring>
#include <fstream>
#include <sstream>
#include <string>
#include <thread>

#include "bench/BenchUtil.h"

namespace {

using namespace odb::bench;

// "Příští zálohování nastaveno" as the log file holds it (Windows-1250).
const std::string kAnnouncement = "P\xF8\xED\x9A" "t\xED z\xE1lohov\xE1n\xED nastaveno";

std::string ReadAll(const std::string& path) {
  std::ifstream f(path, std::ios::binary);
  std::ostringstream text;
  text << f.rdbuf();
  return text.str();
}

std::string PrepareConfig(const std::string& work, const std::string& log) {
  TBenchConfig config;
  config.database = "/nonexistent/bench.fdb";  // no backup is due while it runs
  config.logFile = log;
  config.backupPath = work + "/";
  config.lastRun = LocalStamp(std::time(nullptr));
  // 30 times, the first two hours from now, then every 40 minutes: none falls
  // due while the benchmark runs, and none was missed since LastRun.
  const std::time_t now = std::time(nullptr);
  std::tm tm{};
  localtime_r(&now, &tm);
  config.times = Times(30, tm.tm_hour * 60 + tm.tm_min + 120, 40);
  const std::string path = work + "/headless.ini";
  WriteConfig(path, config);
  return path;
}

// Waits until the log file holds the announcement; false after timeoutMs.
bool WaitForAnnouncement(int inotify, const std::string& log, int timeoutMs) {
  const auto start = Clock::now();
  char events[4096];
  for (;;) {
    if (ReadAll(log).find(kAnnouncement) != std::string::npos) return true;
    const int left = timeoutMs - static_cast<int>(SecondsSince(start) * 1000);
    if (left <= 0) return false;
    pollfd p{inotify, POLLIN, 0};
    if (poll(&p, 1, left) > 0) (void)!read(inotify, events, sizeof events);
  }
}

long StatusKb(pid_t pid, const char* key) {
  std::ifstream f("/proc/" + std::to_string(pid) + "/status");
  std::string line;
  while (std::getline(f, line)) {
    if (line.rfind(key, 0) == 0) return std::atol(line.c_str() + std::strlen(key));
  }
  return -1;
}

// CPU time of the process so far, in seconds (first field of schedstat, ns).
double CpuOf(pid_t pid) {
  std::ifstream f("/proc/" + std::to_string(pid) + "/schedstat");
  double ns = 0;
  f >> ns;
  return ns / 1e9;
}

void Stop(pid_t pid) {
  kill(pid, SIGTERM);
  (void)Reap(pid, Clock::now());
}

bool StartUp(const std::string& odbackup, const std::string& config, const std::string& work,
             const std::string& log, int runs) {
  const int inotify = inotify_init1(IN_CLOEXEC | IN_NONBLOCK);
  inotify_add_watch(inotify, work.c_str(), IN_CREATE | IN_MODIFY | IN_CLOSE_WRITE);
  std::vector<double> firstTick, plan;
  for (int i = 0; i < runs; ++i) {
    std::remove(log.c_str());
    const auto start = Clock::now();
    const pid_t pid = Spawn({odbackup, "--config", config});
    const bool seen = WaitForAnnouncement(inotify, log, 5000);
    const double ms = SecondsSince(start) * 1000;
    Stop(pid);
    if (!seen) {
      std::fprintf(stderr, "headless_process: no announcement in %s within 5 s\n", log.c_str());
      return false;
    }
    firstTick.push_back(ms);
    plan.push_back(RunChild({odbackup, "--config", config, "--plan"}).wall * 1000);
  }
  close(inotify);
  const double tick = Median(firstTick);
  std::printf("Start-up of odbackup --config X (30 times), median of %d runs:\n", runs);
  std::printf("  exec -> first announcement in the log  %8.1f ms  (first tick = window created + 1000 ms)\n", tick);
  std::printf("  start-up before the timer's interval    %8.1f ms  (goal <= 50 ms)\n", tick - 1000);
  std::printf("  exec -> exit of --plan (cross-check)    %8.1f ms\n", Median(plan));
  return true;
}

void Idle(const std::string& odbackup, const std::string& config, int seconds) {
  const pid_t pid = Spawn({odbackup, "--config", config});
  std::this_thread::sleep_for(std::chrono::seconds(3));
  const long rss = StatusKb(pid, "VmRSS:");
  const double cpu0 = CpuOf(pid);
  std::this_thread::sleep_for(std::chrono::seconds(seconds));
  const double cpu1 = CpuOf(pid);
  const long hwm = StatusKb(pid, "VmHWM:");
  Stop(pid);
  std::printf("Idle odbackup --config X (following the plan, nothing due):\n");
  std::printf("  VmRSS after 3 s %6.1f MB (goal <= 8 MB), peak VmHWM %6.1f MB\n", rss / 1024.0,
              hwm / 1024.0);
  std::printf("  CPU while idle  %6.2f ms per minute (over %d s)\n", (cpu1 - cpu0) * 1000 * 60 / seconds,
              seconds);
}

}  // namespace

int main(int argc, char** argv) {
  if (argc < 3) {
    std::fprintf(stderr, "usage: %s ODBACKUP WORKDIR\n", argv[0]);
    return 2;
  }
  const std::string odbackup = argv[1];
  const std::string work = std::string(argv[2]) + "/headless";
  mkdir(work.c_str(), 0777);
  const std::string log = work + "/headless.log";
  const std::string config = PrepareConfig(work, log);
  const int runs = std::max(5, EnvInt("ODB_BENCH_PAIRS", 5));
  if (!StartUp(odbackup, config, work, log, runs)) return 1;
  Idle(odbackup, config, EnvInt("ODB_BENCH_IDLE_SECONDS", 10));
  return 0;
}
