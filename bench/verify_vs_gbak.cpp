// The cost of verifying a backup by a test restore, against gbak restoring
// the same file, alternating in one run. The verification's wall time is the
// difference of the medians of `odbackup --once` with and without
// VerifyBackup=A; gbak restores the backup the run without made, through the
// same service manager, into a new database that is removed afterwards:
// `gbak -c -se SERVICE -v` (the same work, output read) and `gbak -c` without
// -se (the restore a person types; over TCP the client sends the data).
// Usage: verify_vs_gbak ODBACKUP DATABASE WORKDIR [PASSWORD]
#include <sys/stat.h>

#include <cstdio>
#include <string>
#include <vector>

#include "bench/BenchUtil.h"

namespace {

using namespace odb::bench;

struct TService {
  const char* label;
  bool local;
};

std::string PrepareConfig(const TService& service, const std::string& db, const std::string& dir, bool verify) {
  TBenchConfig config;
  config.local = service.local;
  config.database = db;
  config.logFile = dir + "/odbackup.log";
  config.backupPath = dir + "/";
  config.eventAction = "OnceBackup";
  config.times = Times(1, 12 * 60, 0);
  config.verifyBackup = verify;
  const std::string path = dir + (verify ? "/verify.ini" : "/plain.ini");
  WriteConfig(path, config);
  return path;
}

void Remove(const std::string& dir, std::initializer_list<const char*> names) {
  for (const char* name : names) std::remove((dir + name).c_str());
}

bool Compare(const TService& service, const std::string& odbackup, const std::string& db,
             const std::string& work, const std::string& password, int pairs) {
  const std::string dir = work + "/verify-" + service.label;
  mkdir(dir.c_str(), 0777);
  chmod(dir.c_str(), 0777);  // the server writes the backup and the restore there
  const std::vector<std::string> plain{odbackup, "--config", PrepareConfig(service, db, dir, false), "--once"};
  const std::vector<std::string> verified{odbackup, "--config", PrepareConfig(service, db, dir, true), "--once"};
  const std::string name = service.local ? "service_mgr" : "localhost:service_mgr";
  const std::string reference = dir + "/reference.fbk";
  const std::string target = service.local ? dir + "/gbak.fdb" : "localhost:" + dir + "/gbak.fdb";
  const std::vector<std::string> gbakSe{"gbak", "-c", "-v", "-se", name, "-user", "sysdba", "-password", password,
                                        reference, dir + "/gbak.fdb"};
  const std::vector<std::string> gbakClient{"gbak", "-c", "-user", "sysdba", "-password", password, reference, target};
  TSamples p, v, se, client;
  const std::string errors = dir + "/odbackup.err";
  const std::string scratch = dir + "/task-clock.txt";
  for (int i = 0; i < pairs; ++i) {
    const auto runPlain = [&] {
      Remove(dir, {"/ODBackup_1.fbk", "/ODBackup_1.old"});
      p.Add(RunCounted(plain, scratch, errors.c_str()));
      std::rename((dir + "/ODBackup_1.fbk").c_str(), reference.c_str());
    };
    const auto runVerified = [&] {
      Remove(dir, {"/ODBackup_1.fbk", "/ODBackup_1.old"});
      v.Add(RunCounted(verified, scratch, errors.c_str()));
    };
    // Alternate who goes first, so neither always meets a warm or a cold cache.
    if (i % 2 == 0) runPlain(), runVerified();
    else runVerified(), runPlain();
    Remove(dir, {"/gbak.fdb"});
    se.Add(RunCounted(gbakSe, scratch));
    Remove(dir, {"/gbak.fdb"});
    client.Add(RunCounted(gbakClient, scratch));
    Remove(dir, {"/gbak.fdb"});
  }
  Remove(dir, {"/ODBackup_1.fbk", "/ODBackup_1.old", "/reference.fbk"});
  std::printf("%s (\"%s\"), medians of %d runs each, alternating:\n", service.label, name.c_str(), pairs);
  PrintRow("--once", p);
  PrintRow("--once, verified", v);
  PrintRow("gbak -c -se -v", se);
  PrintRow("gbak -c", client);
  const double verification = Median(v.wall) - Median(p.wall);
  std::printf("  verification (difference of the medians) %.3f s; ratio against gbak -c -se -v %.2f, "
              "against gbak -c %.2f (goal <= 1.05)\n",
              verification, verification / Median(se.wall), verification / Median(client.wall));
  if (p.failures || v.failures) std::fprintf(stderr, "odbackup failed; see %s\n", errors.c_str());
  return p.failures == 0 && v.failures == 0;
}

}  // namespace

int main(int argc, char** argv) {
  if (argc < 4) {
    std::fprintf(stderr, "usage: %s ODBACKUP DATABASE WORKDIR [PASSWORD]\n", argv[0]);
    return 2;
  }
  const std::string password = argc > 4 ? argv[4] : "pinewharf";
  const int pairs = EnvInt("ODB_BENCH_PAIRS", 5);
  bool ok = true;
  for (const TService service : {TService{"embedded", true}, TService{"tcp", false}}) {
    ok = Compare(service, argv[1], argv[2], argv[3], password, pairs) && ok;
  }
  return ok ? 0 : 1;
}
