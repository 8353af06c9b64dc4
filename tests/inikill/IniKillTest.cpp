// The configuration file when the process dies in the middle of OK or of
// SaveLastRun: a child process makes the save and is killed at its n-th file
// call (a write is cut in half first), for every n the save makes. Afterwards
// the file is the old one or the new one, never anything else.
//
// The file calls are caught by defining them in this program: the program's
// own calls bind to these, which forward to the C library.
#include <dlfcn.h>
#include <fcntl.h>
#include <sys/mman.h>
#include <sys/wait.h>
#include <unistd.h>

#include <gtest/gtest.h>

#include <cstdarg>
#include <cstdio>

#include "FormFixture.h"

namespace {

struct KillPlan {
  bool armed = false;
  long calls = 0;      // file calls seen since arming
  long killAt = 0;     // 0: never
};
KillPlan* plan = nullptr;  // shared with the children

// True when this call is the one to die at.
bool Dies() {
  if (!plan || !plan->armed) return false;
  ++plan->calls;
  return plan->killAt != 0 && plan->calls == plan->killAt;
}

template <typename Fn>
Fn Next(const char* name) {
  return reinterpret_cast<Fn>(dlsym(RTLD_NEXT, name));
}

}  // namespace

extern "C" {

ssize_t write(int fd, const void* buffer, size_t size) {
  static const auto next = Next<ssize_t (*)(int, const void*, size_t)>("write");
  if (Dies()) {
    (void)next(fd, buffer, size / 2);
    _exit(0);
  }
  return next(fd, buffer, size);
}

#define ODB_KILL_POINT(ret, name, params, args)                     \
  ret name params {                                                 \
    static const auto next = Next<ret(*) params>(#name);            \
    if (Dies()) _exit(0);                                           \
    return next args;                                               \
  }
ODB_KILL_POINT(int, close, (int fd), (fd))
ODB_KILL_POINT(int, fsync, (int fd), (fd))
ODB_KILL_POINT(int, fdatasync, (int fd), (fd))
ODB_KILL_POINT(int, ftruncate, (int fd, off_t size), (fd, size))
ODB_KILL_POINT(int, rename, (const char* from, const char* to), (from, to))
ODB_KILL_POINT(int, unlink, (const char* path), (path))
ODB_KILL_POINT(int, fchmod, (int fd, mode_t mode), (fd, mode))

}  // extern "C"

namespace odb {
namespace {

using test::FormFixture;

// Runs the save in a child; the count of file calls it made, or -1 when the
// child did not end normally.
long SaveInChild(const std::function<void()>& save, long killAt) {
  *plan = KillPlan{false, 0, killAt};
  const pid_t pid = fork();
  if (pid == 0) {
    plan->armed = true;
    try {
      save();
    } catch (...) {
      _exit(3);
    }
    plan->armed = false;
    _exit(0);
  }
  int status = 0;
  waitpid(pid, &status, 0);
  return WIFEXITED(status) && WEXITSTATUS(status) == 0 ? plan->calls : -1;
}

struct SaveCase {
  const char* name;
  std::function<void(TFrmODBackupDB&)> change;  // made before the save, in the parent
  std::function<void(TFrmODBackupDB&)> save;
};

class IniKill : public ::testing::TestWithParam<int> {
 protected:
  static void SetUpTestSuite() {
    plan = static_cast<KillPlan*>(
        mmap(nullptr, sizeof(KillPlan), PROT_READ | PROT_WRITE, MAP_SHARED | MAP_ANONYMOUS, -1, 0));
  }
};

const SaveCase kSaves[] = {
    {"Ok",
     [](TFrmODBackupDB& f) {
       f.EdtServer.SetText("novy-server");
       f.EdtPath.SetText("/data/jiná databáze.fdb");
       f.cbAction.SetItemIndex(1);
       f.Data.MemTimes.Append();
       f.Data.MemTimes.SetTimeText("07:30:00");
       f.Data.MemTimes.Post();
     },
     [](TFrmODBackupDB& f) { (void)f.Settings().SaveSettings(f.ExePath); }},
    {"SaveLastRun", [](TFrmODBackupDB& f) { f.Settings().Live.LastRun = TDateTime::Encode(2026, 12, 8, 9, 10, 11); },
     [](TFrmODBackupDB& f) { f.Settings().SaveLastRun(); }},
};

TEST_P(IniKill, TheFileIsAlwaysTheOldOrTheNewOne) {
  const SaveCase& c = kSaves[GetParam()];
  FormFixture fx;
  fx.WriteIni("; ručně psaná poznámka\n[OrdavaDB]\nLocalHost=A\nDatabaseName=/data/ordava.fdb\n[Cizí]\nKlíč=hodnota\n"
              "[Backups]\nBackupPath=/zalohy\nLastRun=01.12.2026 10:00:00\n[Settings]\nEventCountTimes=1\nTime_1=18:00\n");
  const std::string oldBytes = fs::ReadFile(fx.IniPath()).value();
  TFrmODBackupDB& f = fx.Start();
  c.change(f);
  const auto save = [&] { c.save(f); };

  const long calls = SaveInChild(save, 0);
  ASSERT_GT(calls, 0) << "the save failed without being killed";
  const std::string newBytes = fs::ReadFile(fx.IniPath()).value();
  ASSERT_NE(newBytes, oldBytes);
  int old = 0, fresh = 0;
  for (long n = 1; n <= calls; ++n) {
    ASSERT_TRUE(fs::WriteFile(fx.IniPath(), oldBytes));
    (void)SaveInChild(save, n);
    const std::string now = fs::ReadFile(fx.IniPath()).value_or("<missing>");
    if (now == oldBytes) {
      ++old;
    } else if (now == newBytes) {
      ++fresh;
    } else {
      ADD_FAILURE() << c.name << " killed at file call " << n << " of " << calls << " left:\n" << now;
      break;
    }
  }
  std::printf("%s: %ld kill points, %d left the old file, %d the new one\n", c.name, calls, old, fresh);
}

INSTANTIATE_TEST_SUITE_P(Saves, IniKill, ::testing::Values(0, 1),
                         [](const auto& info) { return std::string(kSaves[info.param].name); });

}  // namespace
}  // namespace odb
