#include "backup/Mirror.h"

#include <gtest/gtest.h>

#include <map>
#include <string>
#include <vector>

#include "common/Errors.h"
#include "common/FileSystem.h"
#include "common/Gzip.h"
#include "tests/TempDir.h"

namespace odb {
namespace {

const std::string C1 = "ODBackup_1.fbk.gz", C2 = "ODBackup_2.fbk.gz", C3 = "ODBackup_3.fbk.gz";
const std::string Partial = C1 + ".part";

const ShowErrorFn kNoBox = [](const std::string& text) { ADD_FAILURE() << text; };

std::vector<std::string> Names(const std::filesystem::path& dir) {
  std::vector<std::string> names;
  for (const auto& [name, bytes] : test::Listing(dir)) names.push_back(name);
  return names;
}

struct CountingPump : IMessagePump {
  int calls = 0;
  void ProcessMessages() override { ++calls; }
  bool ReadsOutputOnAThread() const override { return false; }
  void WaitForMessages(int) override {}
};

// Each backup copied in turn: the copies shift as the backups do, and each
// one, gunzipped, is the backup it was made from.
TEST(Mirror, CopiesShiftAndEachIsItsBackup) {
  struct Case {
    const char* count;
    std::vector<std::string> left;
  } cases[] = {{"2", {C1, C2}}, {"2.5", {C1, C2}}, {"3", {C1, C2, C3}}, {"1", {C1}}, {"0", {C1}}, {"-4", {C1}}};
  for (const Case& c : cases) {
    SCOPED_TRACE(c.count);
    test::TempDir backups, mirror;
    std::vector<std::string> made;
    CountingPump pump;
    for (int i = 0; i < 4; ++i) {
      made.push_back(backups / ("backup" + std::to_string(i) + ".fbk"));
      ASSERT_TRUE(fs::WriteFile(made.back(), std::string(100000 + i, static_cast<char>('a' + i))));
      const int before = pump.calls;
      const TMirrorCopy copy = CopyToMirror(made.back(), mirror.Str(), c.count, kNoBox, &pump);
      EXPECT_GE(pump.calls, before + 2) << "the window breathes while it compresses and while it reads back";
      EXPECT_EQ(copy.path, mirror / C1);
      EXPECT_EQ(copy.backupBytes, 100000u + i);
      EXPECT_LT(copy.copyBytes, copy.backupBytes);
    }
    EXPECT_EQ(Names(mirror.Path()), c.left);
    for (size_t n = 0; n < c.left.size(); ++n) {
      EXPECT_TRUE(gzip::DecompressesTo(mirror / c.left[n], made[made.size() - 1 - n])) << c.left[n];
    }
  }
}

// A copy that cannot be made says why, leaves nothing of itself and keeps the
// copies before it.
TEST(Mirror, FailuresLeaveTheMirrorAsItWas) {
  struct Case {
    const char* name;
    std::map<std::string, std::string> before;  // in the mirror folder
    std::string mirror;                         // relative to the mirror folder; empty: the folder
    const char* count;
    bool backupMissing;
    std::string error;  // the start of the text
  } cases[] = {
      {"mirror is a file", {{"file", "x"}}, "file", "2", false, "Cesta pro kopie záloh "},
      {"mirror is missing", {}, "missing", "2", false, "Složka pro kopie záloh "},
      {"backup cannot be read", {{C1, "old"}}, "", "2", true, "Zálohu "},
      {"count is no number", {{C1, "old"}}, "", "dva", false, "Počet uchovávaných kopií 'dva' není celé číslo"},
      {"temporary name taken", {{C1, "old"}, {Partial, "<dir>"}}, "", "2", false, "Kopii zálohy nelze zapsat do "},
      // Every number up to the count taken by a folder: the newest stays.
      {"newest cannot move", {{C1, "old"}, {C2, "<dir>"}}, "", "2", false, "Nejnovější kopii zálohy nelze odsunout"},
  };
  for (const Case& c : cases) {
    SCOPED_TRACE(c.name);
    test::TempDir backups, mirror;
    for (const auto& [name, bytes] : c.before) test::Put(mirror.Path(), name, bytes);
    const std::string backup = backups / "ODBackup_1.fbk";
    if (!c.backupMissing) {
      ASSERT_TRUE(fs::WriteFile(backup, "backup"));
    }
    const auto listing = test::Listing(mirror.Path());
    const std::string target = c.mirror.empty() ? mirror.Str() : mirror / c.mirror;
    try {
      CopyToMirror(backup, target, c.count, [](const std::string&) {});
      ADD_FAILURE() << "no error";
    } catch (const Exception& error) {
      EXPECT_EQ(std::string(error.what()).rfind(c.error, 0), 0u) << error.what();
    }
    EXPECT_EQ(test::Listing(mirror.Path()), listing);
  }
}

TEST(Mirror, LeftoversOfAnInterruptedCopyGo) {
  test::TempDir mirror;
  for (const auto& name : {C1, Partial, C1 + ".rotating", C2}) test::Put(mirror.Path(), name, "x");
  const std::vector<std::string> removed = RemoveMirrorLeftovers(mirror.Str());
  EXPECT_EQ(removed, (std::vector<std::string>{mirror / Partial, mirror / (C1 + ".rotating")}));
  EXPECT_EQ(Names(mirror.Path()), (std::vector<std::string>{C1, C2}));
  test::TempDir other;
  test::Put(other.Path(), "file", "x");
  EXPECT_THROW(RemoveMirrorLeftovers(other / "file"), EBackupSetError);
}

}  // namespace
}  // namespace odb
