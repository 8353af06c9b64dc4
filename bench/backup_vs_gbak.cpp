// Backup throughput of the headless program against gbak, through the same
// service manager, alternating in one run: `odbackup --once` (verbose, every
// output line read) against `gbak -b -g -se SERVICE -v`, and gbak without -v
// as the floor. Wall time of each child and its own CPU time (wait4).
// Usage: backup_vs_gbak ODBACKUP DATABASE WORKDIR [PASSWORD]
#include <sys/stat.h>

#include <chrono>
#include <cstdio>
#include <string>
#include <vector>

#include "backup/BackupSet.h"
#include "bench/BenchUtil.h"

namespace {

using namespace odb::bench;

std::string PrepareConfig(const TService& service, const std::string& db, const std::string& work) {
  const std::string dir = work + "/" + service.label;
  mkdir(dir.c_str(), 0777);
  chmod(dir.c_str(), 0777);  // the server writes the backup file there
  return WriteOnceConfig(service, db, dir);
}

void RemoveBackups(const std::string& dir) {
  for (const char* name : {"/ODBackup_1.fbk", "/ODBackup_2.fbk", "/ODBackup_1.fbk.part", "/ODBackup_1.old",
                           "/gbak.fbk"}) {
    std::remove((dir + name).c_str());
  }
}

// What a complete backup costs to take its place: the shift of the
// generations and the rename of the new file, with gbak's backup for it.
double PlacingMicroseconds(const std::string& dir) {
  if (std::rename((dir + "/gbak.fbk").c_str(), (dir + "/ODBackup_1.fbk.part").c_str()) != 0) return -1;
  if (FILE* older = std::fopen((dir + "/ODBackup_1.fbk").c_str(), "wb")) std::fclose(older);
  const auto start = std::chrono::steady_clock::now();
  odb::PlaceNewBackup(dir, 2, [](const std::string& text) { std::fprintf(stderr, "%s\n", text.c_str()); });
  return std::chrono::duration<double, std::micro>(std::chrono::steady_clock::now() - start).count();
}

bool Compare(const TService& service, const std::string& odbackup, const std::string& db,
             const std::string& work, const std::string& password, int pairs) {
  const std::string config = PrepareConfig(service, db, work);
  const std::string dir = work + "/" + service.label;
  const std::string name = service.local ? "service_mgr" : "localhost:service_mgr";
  const std::vector<std::string> ours{odbackup, "--config", config, "--once"};
  std::vector<std::string> gbak{"gbak", "-b", "-g", "-se", name, "-user", "sysdba",
                                "-password", password, db, dir + "/gbak.fbk"};
  std::vector<std::string> gbakVerbose = gbak;
  gbakVerbose.insert(gbakVerbose.begin() + 5, "-v");
  TSamples o, g, floor;
  const std::string errors = dir + "/odbackup.err";
  const std::string scratch = dir + "/task-clock.txt";
  for (int i = 0; i < pairs; ++i) {
    // Alternate who goes first, so neither always meets a warm or a cold cache.
    const auto runOurs = [&] {
      RemoveBackups(dir);
      o.Add(RunCounted(ours, scratch, errors.c_str()));
    };
    const auto runGbak = [&] {
      RemoveBackups(dir);
      g.Add(RunCounted(gbakVerbose, scratch));
    };
    if (i % 2 == 0) runOurs(), runGbak();
    else runGbak(), runOurs();
    RemoveBackups(dir);
    floor.Add(RunCounted(gbak, scratch));
  }
  const double placing = PlacingMicroseconds(dir);
  RemoveBackups(dir);
  std::printf("%s (\"%s\"), medians of %d runs each, alternating; cpu = %s:\n", service.label,
              name.c_str(), pairs, PerfWorks() ? "perf task-clock" : "wait4 user + system");
  PrintRow("odbackup --once", o);
  PrintRow("gbak -se -v", g);
  PrintRow("gbak -se (floor)", floor);
  std::printf("  ratio ours/gbak -v of the medians: wall %.2f (goal <= 1.00), cpu %.2f (goal <= 1.00)\n",
              Median(o.wall) / Median(g.wall), Median(o.cpu) / Median(g.cpu));
  std::printf("  ratio ours/gbak -v of the minima:  wall %.2f, cpu %.2f;  ours/floor (medians): wall %.2f\n",
              Min(o.wall) / Min(g.wall), Min(o.cpu) / Min(g.cpu), Median(o.wall) / Median(floor.wall));
  std::printf("  the new backup put in place (shift and rename), included above: %.0f us\n", placing);
  if (o.failures) std::fprintf(stderr, "odbackup failed; see %s\n", errors.c_str());
  return o.failures == 0;
}

}  // namespace

int main(int argc, char** argv) { return odb::bench::CompareOnBothServices(argc, argv, Compare); }
