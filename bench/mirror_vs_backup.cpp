// The mirror's copy against the backup it copies: `odbackup --once` of the
// benchmark database, then CopyToMirror of the new ODBackup_1.fbk (gzip into a
// temporary file, flushed, read back against the backup, shifted, renamed), in
// turn. Prints the ratio copy time / backup time and the compression factor;
// then the copy of a 1 GB backup made of the real one repeated, against the
// backup time at the rate measured.
// Usage: mirror_vs_backup ODBACKUP DATABASE WORKDIR [PASSWORD]
#include <sys/stat.h>

#include <cstdint>
#include <cstdio>
#include <string>
#include <vector>

#include "backup/Mirror.h"
#include "bench/BenchUtil.h"

namespace {

using namespace odb::bench;

struct TCopyRun {
  double wall = 0;
  odb::TMirrorCopy copy;
};

TCopyRun TimedCopy(const std::string& backup, const std::string& mirror) {
  const auto start = Clock::now();
  TCopyRun run;
  run.copy = odb::CopyToMirror(backup, mirror, "2", [](const std::string& text) { std::fprintf(stderr, "%s\n", text.c_str()); });
  run.wall = SecondsSince(start);
  return run;
}

void RemoveAll(const std::string& dir, const std::string& mirror) {
  for (const char* name : {"/ODBackup_1.fbk", "/ODBackup_2.fbk", "/ODBackup_1.fbk.part", "/ODBackup_1.old"}) {
    std::remove((dir + name).c_str());
  }
  for (const char* name : {"/ODBackup_1.fbk.gz", "/ODBackup_2.fbk.gz", "/ODBackup_1.fbk.gz.part"}) {
    std::remove((mirror + name).c_str());
  }
}

// A backup of about 1 GB from `from`, over and over (gzip's window is 32 KB,
// far shorter than one repeat, so it compresses as `from` does).
bool MakeGigabyte(const std::string& from, const std::string& to) {
  FILE* in = std::fopen(from.c_str(), "rb");
  FILE* out = std::fopen(to.c_str(), "wb");
  bool ok = in && out;
  std::vector<char> buffer(1 << 20);
  constexpr long long kTarget = 1LL << 30;
  for (long long written = 0; ok && written < kTarget;) {
    const size_t n = std::fread(buffer.data(), 1, buffer.size(), in);
    if (n == 0) {
      std::rewind(in);
      continue;
    }
    ok = std::fwrite(buffer.data(), 1, n, out) == n;
    written += static_cast<long long>(n);
  }
  if (in) std::fclose(in);
  if (out) ok = std::fclose(out) == 0 && ok;
  return ok;
}

// 16 MB that do not compress: the worst a backup's content can be.
bool MakeNoise(const std::string& to) {
  std::vector<uint32_t> words((16 << 20) / 4);
  uint32_t x = 2463534242u;
  for (uint32_t& w : words) w = (x ^= x << 13, x ^= x >> 17, x ^= x << 5);
  FILE* out = std::fopen(to.c_str(), "wb");
  if (!out) return false;
  const bool ok = std::fwrite(words.data(), 4, words.size(), out) == words.size();
  return std::fclose(out) == 0 && ok;
}

// The copy of a 1 GB backup made of `pattern`, against the backup at the rate
// the benchmark database's took.
void GigabyteCopy(const char* what, const std::string& pattern, const std::string& dir, const std::string& mirror,
                  double backupRate) {
  const std::string big = dir + "/gigabyte.fbk";
  if (MakeGigabyte(pattern, big)) {
    RemoveAll(dir, mirror);
    const TCopyRun c = TimedCopy(big, mirror);
    const double backupTime = c.copy.backupBytes / backupRate;
    std::printf("  1 GB of %s: copy %.2f s, factor %.2f; the backup at the rate above %.2f s; ratio %.2f\n", what,
                c.wall, static_cast<double>(c.copy.backupBytes) / c.copy.copyBytes, backupTime, c.wall / backupTime);
  }
  std::remove(big.c_str());
}

bool Compare(const TService& service, const std::string& odbackup, const std::string& db,
             const std::string& work, const std::string& /*password*/, int pairs) {
  const std::string dir = work + "/mirror-" + service.label;
  const std::string mirror = dir + "/kopie";
  mkdir(dir.c_str(), 0777);
  chmod(dir.c_str(), 0777);  // the server writes the backup file there
  mkdir(mirror.c_str(), 0700);
  const std::string config = WriteOnceConfig(service, db, dir);
  const std::vector<std::string> once{odbackup, "--config", config, "--once"};
  const std::string errors = dir + "/odbackup.err";
  std::vector<double> backup, copy;
  odb::TMirrorCopy last;
  try {
    for (int i = 0; i < pairs; ++i) {
      RemoveAll(dir, mirror);
      const TChildRun run = RunChild(once, errors.c_str());
      if (!run.Ok()) {
        std::fprintf(stderr, "odbackup --once failed (%s); see %s\n", run.How().c_str(), errors.c_str());
        return false;
      }
      backup.push_back(run.wall);
      const TCopyRun c = TimedCopy(dir + "/ODBackup_1.fbk", mirror);
      copy.push_back(c.wall);
      last = c.copy;
    }
  } catch (const std::exception& error) {
    std::fprintf(stderr, "the copy failed: %s\n", error.what());
    return false;
  }
  const double factor = static_cast<double>(last.backupBytes) / static_cast<double>(last.copyBytes);
  std::printf("%s, medians of %d runs, in turn:\n", service.label, pairs);
  std::printf("  odbackup --once           wall %6.3f s (min %6.3f), backup %.1f MB\n", Median(backup), Min(backup),
              last.backupBytes / 1e6);
  std::printf("  copy into the mirror      wall %6.3f s (min %6.3f), copy %.1f MB\n", Median(copy), Min(copy),
              last.copyBytes / 1e6);
  std::printf("  ratio copy/backup of the medians: %.2f (goal <= 1.00); compression factor %.2f\n",
              Median(copy) / Median(backup), factor);
  const double rate = last.backupBytes / Median(backup);
  GigabyteCopy("the backup repeated", dir + "/ODBackup_1.fbk", dir, mirror, rate);
  if (MakeNoise(dir + "/noise")) GigabyteCopy("noise (does not compress)", dir + "/noise", dir, mirror, rate);
  std::remove((dir + "/noise").c_str());
  RemoveAll(dir, mirror);
  return true;
}

}  // namespace

int main(int argc, char** argv) { return odb::bench::CompareOnBothServices(argc, argv, Compare); }
