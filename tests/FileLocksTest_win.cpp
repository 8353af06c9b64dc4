// Windows keeps its sharing rules under Wine too: a file open without
// FILE_SHARE_DELETE cannot be renamed, one open without FILE_SHARE_READ cannot
// be read.
#include <windows.h>

#include <gtest/gtest.h>

#include "tests/HeldFile_win.h"

#include "backup/Generations.h"
#include "common/Errors.h"
#include "common/Utf16_win.h"
#include "log/ActivityLog.h"
#include "tests/TempDir.h"

namespace odb {
namespace {

using Files = std::map<std::string, std::string>;


TEST(RotateBackupsLocked, LockedNewestStaysAndResultIsFalse) {
  struct Case {
    int count;
    Files before;
    Files after;
  };
  const std::vector<Case> cases = {
      {1, {{"ODBackup_1.fbk", "a"}, {"ODBackup_1.old", "z"}},
       {{"ODBackup_1.fbk", "a"}, {"ODBackup_1.old", "z"}}},
      {2, {{"ODBackup_1.fbk", "a"}}, {{"ODBackup_1.fbk", "a"}}},
      // Nothing older moves or goes while the newest cannot be moved away.
      {3, {{"ODBackup_1.fbk", "a"}, {"ODBackup_2.fbk", "b"}, {"ODBackup_3.fbk", "c"}},
       {{"ODBackup_1.fbk", "a"}, {"ODBackup_2.fbk", "b"}, {"ODBackup_3.fbk", "c"}}},
  };
  for (const auto& c : cases) {
    SCOPED_TRACE(c.count);
    test::TempDir dir;
    for (const auto& [name, bytes] : c.before) test::Put(dir.Path(), name, bytes);
    {
      test::HeldFile lock(dir / "ODBackup_1.fbk", GENERIC_READ, FILE_SHARE_READ | FILE_SHARE_WRITE);
      ASSERT_TRUE(lock.Valid());
      std::vector<std::string> shown;
      EXPECT_FALSE(RotateBackups(dir.Str(), c.count, [&](const std::string& t) { shown.push_back(t); }));
      EXPECT_TRUE(shown.empty());
    }
    EXPECT_EQ(test::Listing(dir.Path()), c.after);
  }
}

TEST(ActivityLogLocked, FileHeldForWritingCannotBeReadOrAppended) {
  test::TempDir dir;
  const std::string log = dir / "odbackup.log";
  ASSERT_TRUE(PrepareLogFile(log, true));
  test::HeldFile lock(log, GENERIC_WRITE, 0);
  ASSERT_TRUE(lock.Valid());
  EXPECT_THROW(ReadLogText(log), Exception);
  EXPECT_FALSE(AppendLogEntry(log, "x", TDateTime::Encode(2026, 1, 1)));
}

}  // namespace
}  // namespace odb
