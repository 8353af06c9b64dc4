// Wall time of a verbose backup through the service component (reading every
// line) against gbak's own service backup, alternating, median of five pairs.
// Usage: service_vs_gbak DATABASE [PASSWORD]
#include "backup/service/BackupService.h"

#include <algorithm>
#include <chrono>
#include <cstdio>
#include <cstdlib>
#include <string>
#include <vector>

namespace {

using Clock = std::chrono::steady_clock;

double Seconds(Clock::time_point start) {
  return std::chrono::duration<double>(Clock::now() - start).count();
}

double Median(std::vector<double> v) {
  std::sort(v.begin(), v.end());
  return v[v.size() / 2];
}

double OurBackup(const std::string& server, const std::string& db, const std::string& password,
                 const std::string& file, long* lines) {
  std::remove(file.c_str());
  const auto start = Clock::now();
  odb::TBackupService svc;
  svc.SetServerName(server);
  svc.Params().Assign({"user_name=sysdba", "password=" + password});
  svc.SetDatabaseName(db);
  svc.BackupFile() = {file};
  svc.SetVerbose(true);
  svc.SetOptions({odb::TBackupOption::NoGarbageCollection});
  svc.Attach();
  svc.ServiceStart();
  *lines = 0;
  while (!svc.OutputEnded()) {
    (void)svc.ReadOutputLine();
    ++*lines;
  }
  svc.Detach();
  return Seconds(start);
}

double GbakBackup(const std::string& server, const std::string& db, const std::string& password,
                  const std::string& file) {
  std::remove(file.c_str());
  const std::string service = server.empty() ? "service_mgr" : server + ":service_mgr";
  const std::string command = "gbak -b -g -se " + service + " -v -user sysdba -password " +
                              password + " " + db + " " + file + " >/dev/null 2>&1";
  const auto start = Clock::now();
  if (std::system(command.c_str()) != 0) std::fprintf(stderr, "gbak failed: %s\n", command.c_str());
  return Seconds(start);
}

void Compare(const char* label, const std::string& server, const std::string& db,
             const std::string& password) {
  const std::string file = db + ".bench.fbk";
  std::vector<double> ours, gbak;
  long lines = 0;
  for (int i = 0; i < 5; ++i) {
    ours.push_back(OurBackup(server, db, password, file, &lines));
    gbak.push_back(GbakBackup(server, db, password, file));
  }
  std::remove(file.c_str());
  const double o = Median(ours), g = Median(gbak);
  std::printf("%-9s lines %ld  ours %.3f s  gbak %.3f s  ratio ours/gbak %.2f\n", label, lines, o,
              g, o / g);
}

}  // namespace

int main(int argc, char** argv) {
  if (argc < 2) {
    std::fprintf(stderr, "usage: %s DATABASE [PASSWORD]\n", argv[0]);
    return 2;
  }
  const std::string password = argc > 2 ? argv[2] : "pinewharf";
  try {
    Compare("embedded", "", argv[1], password);
    Compare("tcp", "localhost", argv[1], password);
  } catch (const std::exception& e) {
    std::fprintf(stderr, "%s\n", e.what());
    return 1;
  }
}
