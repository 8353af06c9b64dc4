// The cost of verifying a backup by a test restore, against gbak restoring
// the same file, alternating in one run: the verification itself
// (VerifyBackupByRestore, in this process: restore through the service
// manager with its output read, and the drops) against `gbak -c -se SERVICE
// -v` (the same work by gbak) and `gbak -c` without -se (the restore a person
// types; over TCP its client sends all the data, so it runs once only). The
// backup restored is one `odbackup --once` made first.
// Usage: verify_vs_gbak ODBACKUP DATABASE WORKDIR [PASSWORD]
#include <sys/stat.h>

#include <cstdio>
#include <string>
#include <vector>

#include "backup/Verification.h"
#include "bench/BenchUtil.h"

namespace {

using namespace odb::bench;

struct TNoOutput final : odb::IBackupOutput, odb::IMessagePump {
  long lines = 0;
  void Clear() override {}
  void AddLine(std::string) override { ++lines; }
  void Repaint() override {}
  void ProcessMessages() override {}
};

// One verification, timed like a child: wall time, and this process's CPU time.
TChildRun Verify(odb::TRestoreService& service, const odb::TBackUpDatabaseSetings& job, const std::string& database,
                 long& lines) {
  TNoOutput output;
  rusage before{}, after{};
  getrusage(RUSAGE_SELF, &before);
  const auto start = Clock::now();
  TChildRun run;
  try {
    odb::VerifyBackupByRestore(service, job, job.BackupFile, database, output, output);
  } catch (const std::exception& error) {
    std::fprintf(stderr, "verification failed: %s\n", error.what());
    run.status = 1 << 8;  // as exit status 1
  }
  run.wall = SecondsSince(start);
  getrusage(RUSAGE_SELF, &after);
  run.cpu = CpuSeconds(after) - CpuSeconds(before);
  lines = output.lines;
  return run;
}

bool Compare(const TService& service, const std::string& odbackup, const std::string& db,
             const std::string& work, const std::string& password, int pairs) {
  const std::string dir = work + "/verify-" + service.label;
  mkdir(dir.c_str(), 0777);
  chmod(dir.c_str(), 0777);  // the server writes the backup and the restores there
  std::remove((dir + "/ODBackup_1.fbk").c_str());
  const TChildRun made = RunChild({odbackup, "--config", WriteOnceConfig(service, db, dir), "--once"});
  if (!made.Ok()) {
    std::fprintf(stderr, "%s: the backup to verify was not made (%s)\n", service.label, made.How().c_str());
    return false;
  }
  odb::TBackUpDatabaseSetings job;
  job.Protocol = service.local ? odb::TProtocol::Local : odb::TProtocol::TCP;
  job.ServerName = service.local ? "" : "localhost";
  job.PasswordParam = "password=" + password;
  job.BackupFile = dir + "/ODBackup_1.fbk";
  odb::TRestoreService restore;
  const std::string name = service.local ? "service_mgr" : "localhost:service_mgr";
  const std::string target = dir + "/gbak.fdb";
  const std::vector<std::string> gbakSe{"gbak", "-c", "-v", "-se", name, "-user", "sysdba", "-password", password,
                                        job.BackupFile, target};
  const std::vector<std::string> gbakClient{"gbak", "-c", "-user", "sysdba", "-password", password, job.BackupFile,
                                            service.local ? target : "localhost:" + target};
  TSamples ours, se, client;
  long lines = 0;
  const std::string scratch = dir + "/task-clock.txt";
  for (int i = 0; i < pairs; ++i) {
    const auto runOurs = [&] { ours.Add(Verify(restore, job, dir + "/ODBackup_verify.fdb", lines)); };
    const auto runGbak = [&] {
      std::remove(target.c_str());
      se.Add(RunCounted(gbakSe, scratch));
      std::remove(target.c_str());
    };
    // Alternate who goes first, so neither always meets a warm or a cold cache.
    if (i % 2 == 0) runOurs(), runGbak();
    else runGbak(), runOurs();
    if (service.local || i == 0) {
      client.Add(RunCounted(gbakClient, scratch));
      std::remove(target.c_str());
    }
  }
  std::remove(job.BackupFile.c_str());
  std::printf("%s (\"%s\"), %ld output lines, medians of %d runs each, alternating:\n", service.label, name.c_str(),
              lines, pairs);
  PrintRow("verification", ours);
  PrintRow("gbak -c -se -v", se);
  PrintRow(service.local ? "gbak -c" : "gbak -c (1 run)", client);
  std::printf("  ratio verification/gbak -c -se -v: medians %.2f, minima %.2f (goal <= 1.05); "
              "verification/gbak -c: medians %.2f\n",
              Median(ours.wall) / Median(se.wall), Min(ours.wall) / Min(se.wall),
              Median(ours.wall) / Median(client.wall));
  return ours.failures == 0;
}

}  // namespace

int main(int argc, char** argv) { return odb::bench::CompareOnBothServices(argc, argv, Compare); }
