#pragma once
// Small helpers the benchmark programs share: medians, child processes with
// their own CPU time, and configuration files for the headless program.
#include <fcntl.h>
#include <sys/resource.h>
#include <sys/wait.h>
#include <unistd.h>

#include <algorithm>
#include <chrono>
#include <cstdio>
#include <cstdlib>
#include <ctime>
#include <fstream>
#include <stdexcept>
#include <string>
#include <vector>

namespace odb::bench {

using Clock = std::chrono::steady_clock;

inline double SecondsSince(Clock::time_point start) {
  return std::chrono::duration<double>(Clock::now() - start).count();
}

inline double Median(std::vector<double> values) {
  if (values.empty()) return 0;
  std::sort(values.begin(), values.end());
  const size_t n = values.size();
  return n % 2 ? values[n / 2] : (values[n / 2 - 1] + values[n / 2]) / 2;
}

inline int EnvInt(const char* name, int fallback) {
  const char* value = std::getenv(name);
  return value && *value ? std::atoi(value) : fallback;
}

// One finished child: wall time from fork to reaped, its own user+system time
// (wait4 reports exactly this child's usage), and how it ended.
struct TChildRun {
  double wall = 0;
  double cpu = 0;         // user + system from wait4
  double taskClock = -1;  // perf's task-clock in seconds; -1 when not measured
  int status = 0;
  bool Ok() const { return WIFEXITED(status) && WEXITSTATUS(status) == 0; }
  std::string How() const {
    if (WIFSIGNALED(status)) return "signal " + std::to_string(WTERMSIG(status));
    return "exit " + std::to_string(WEXITSTATUS(status));
  }
};

inline double CpuSeconds(const rusage& usage) {
  const auto sec = [](const timeval& t) { return t.tv_sec + t.tv_usec / 1e6; };
  return sec(usage.ru_utime) + sec(usage.ru_stime);
}

// Starts argv with standard output and error sent to /dev/null (or to the
// given files).
inline pid_t Spawn(const std::vector<std::string>& argv, const char* out = "/dev/null",
                   const char* err = "/dev/null") {
  const pid_t pid = fork();
  if (pid < 0) throw std::runtime_error("fork failed");
  if (pid == 0) {
    const int o = open(out, O_WRONLY | O_CREAT | O_TRUNC, 0644);
    const int e = open(err, O_WRONLY | O_CREAT | O_TRUNC, 0644);
    dup2(o, 1);
    dup2(e, 2);
    std::vector<char*> args;
    for (const auto& a : argv) args.push_back(const_cast<char*>(a.c_str()));
    args.push_back(nullptr);
    execvp(args[0], args.data());
    _exit(127);
  }
  return pid;
}

inline TChildRun Reap(pid_t pid, Clock::time_point start) {
  TChildRun run;
  rusage usage{};
  wait4(pid, &run.status, 0, &usage);
  run.wall = SecondsSince(start);
  run.cpu = CpuSeconds(usage);
  return run;
}

inline TChildRun RunChild(const std::vector<std::string>& argv, const char* err = "/dev/null") {
  const auto start = Clock::now();
  return Reap(Spawn(argv, "/dev/null", err), start);
}

// Whether `perf stat` can count the software event task-clock here.
inline bool PerfWorks() {
  static const bool works =
      std::system("perf stat -x, -e task-clock -o /dev/null true >/dev/null 2>&1") == 0;
  return works;
}

// RunChild under `perf stat -e task-clock`: the scheduler's exact on-CPU time
// of the child and all its threads. On this kind of virtual machine the
// user + system time of wait4 is sampled and often reads far above it.
inline TChildRun RunCounted(const std::vector<std::string>& argv, const std::string& scratch,
                            const char* err = "/dev/null") {
  if (!PerfWorks()) return RunChild(argv, err);
  std::vector<std::string> counted{"perf", "stat", "-x,", "-e", "task-clock", "-o", scratch, "--"};
  counted.insert(counted.end(), argv.begin(), argv.end());
  TChildRun run = RunChild(counted, err);
  std::ifstream f(scratch);
  std::string line;
  while (std::getline(f, line)) {
    if (line.find("task-clock") != std::string::npos) run.taskClock = std::atof(line.c_str()) / 1000;
  }
  return run;
}

// "dd.mm.yyyy hh:nn:ss" of the local time t.
inline std::string LocalStamp(std::time_t t) {
  std::tm tm{};
  localtime_r(&t, &tm);
  char text[32];
  std::strftime(text, sizeof text, "%d.%m.%Y %H:%M:%S", &tm);
  return text;
}

struct TBenchConfig {
  bool local = true;
  std::string server = "localhost";
  std::string database;
  std::string logFile;
  std::string backupPath;
  bool logToFile = true;
  bool clearLog = true;
  std::string eventAction = "BackupOnTimer";
  std::string days = "1,2,3,4,5,6,7";
  std::vector<std::string> times;
  std::string lastRun = "01.01.1990 00:00:00";
};

// Written as the program writes it: Windows-1250 (ASCII here) with CR LF.
inline void WriteConfig(const std::string& path, const TBenchConfig& c) {
  std::ofstream f(path, std::ios::binary | std::ios::trunc);
  const auto line = [&f](const std::string& text) { f << text << "\r\n"; };
  const auto yn = [](bool v) { return std::string(v ? "A" : "N"); };
  line("[OrdavaDB]");
  line("LocalHost=" + yn(c.local));
  line("ServerName=" + c.server);
  line("DatabaseName=" + c.database);
  line("LogFileName=" + c.logFile);
  line("[Backups]");
  line("BackupPath=" + c.backupPath);
  line("BackupCount=1");
  line("LastRun=" + c.lastRun);
  line("[Settings]");
  line("LogToFile=" + yn(c.logToFile));
  line("ClearLog=" + yn(c.clearLog));
  line("RunMinimalized=N");
  line("EventAction=" + c.eventAction);
  line("Days=" + c.days);
  line("EventCountTimes=" + std::to_string(c.times.size()));
  for (size_t i = 0; i < c.times.size(); ++i) {
    line("Time_" + std::to_string(i + 1) + "=" + c.times[i]);
  }
  line("[UserInterface]");
  line("IconSet=1");
  if (!f) throw std::runtime_error("cannot write " + path);
}

// n times of day "hh:nn:ss", the first at firstMinute after midnight, then
// every stepMinutes (wrapping at midnight).
inline std::vector<std::string> Times(int n, int firstMinute, int stepMinutes) {
  std::vector<std::string> times;
  for (int i = 0; i < n; ++i) {
    const int m = (firstMinute + i * stepMinutes) % (24 * 60);
    char text[16];
    std::snprintf(text, sizeof text, "%02d:%02d:00", m / 60, m % 60);
    times.push_back(text);
  }
  return times;
}

// The runs of one command: wall and CPU times, and how many failed.
struct TSamples {
  std::vector<double> wall, cpu, rusage;
  int failures = 0;
  std::string lastFailure;
  void Add(const TChildRun& run) {
    wall.push_back(run.wall);
    cpu.push_back(run.taskClock >= 0 ? run.taskClock : run.cpu);
    rusage.push_back(run.cpu);
    if (!run.Ok()) {
      ++failures;
      lastFailure = run.How();
    }
  }
};

inline double Min(const std::vector<double>& v) { return *std::min_element(v.begin(), v.end()); }

inline void PrintRow(const char* what, const TSamples& s) {
  std::printf("  %-17s wall %6.3f s (min %6.3f)   cpu %6.3f s (min %6.3f)   wait4 u+s %6.3f s", what,
              Median(s.wall), Min(s.wall), Median(s.cpu), Min(s.cpu), Median(s.rusage));
  if (s.failures) std::printf("   (%d of %zu ended with %s)", s.failures, s.wall.size(), s.lastFailure.c_str());
  std::printf("\n");
}

// The service manager a comparison goes through: embedded or over TCP.
struct TService {
  const char* label;
  bool local;
};

// DIR/odbackup.ini for one backup into DIR of the database, through the service.
inline std::string WriteOnceConfig(const TService& service, const std::string& db, const std::string& dir) {
  TBenchConfig config;
  config.local = service.local;
  config.database = db;
  config.logFile = dir + "/odbackup.log";
  config.backupPath = dir + "/";
  config.eventAction = "OnceBackup";
  config.times = Times(1, 12 * 60, 0);
  const std::string path = dir + "/odbackup.ini";
  WriteConfig(path, config);
  return path;
}

using TCompare = bool (*)(const TService& service, const std::string& odbackup, const std::string& db,
                          const std::string& work, const std::string& password, int pairs);

// main() of a comparison against gbak: ODBACKUP DATABASE WORKDIR [PASSWORD],
// embedded first, then TCP; ODB_BENCH_PAIRS runs each (default 5).
inline int CompareOnBothServices(int argc, char** argv, TCompare compare) {
  if (argc < 4) {
    std::fprintf(stderr, "usage: %s ODBACKUP DATABASE WORKDIR [PASSWORD]\n", argv[0]);
    return 2;
  }
  const std::string password = argc > 4 ? argv[4] : "pinewharf";
  const int pairs = EnvInt("ODB_BENCH_PAIRS", 5);
  bool ok = true;
  for (const TService service : {TService{"embedded", true}, TService{"tcp", false}}) {
    ok = compare(service, argv[1], argv[2], argv[3], password, pairs) && ok;
  }
  return ok ? 0 : 1;
}

}  // namespace odb::bench
