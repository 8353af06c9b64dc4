#include "backup/Generations.h"

#include <gtest/gtest.h>

#include <map>
#include <stdexcept>
#include <vector>

#include "common/Errors.h"
#include "common/FileSystem.h"
#include "tests/TempDir.h"

namespace odb {
namespace {

using Files = std::map<std::string, std::string>;
const std::string F1 = "ODBackup_1.fbk", F2 = "ODBackup_2.fbk", F3 = "ODBackup_3.fbk",
                  F4 = "ODBackup_4.fbk", F5 = "ODBackup_5.fbk", Old = "ODBackup_1.old";

struct RotationCase {
  const char* name;
  int count;
  Files before;
  Files after;
  bool result;
};

const std::vector<RotationCase> kRotations = {
    {"count 1 keeps the previous as .old", 1, {{F1, "a"}, {Old, "z"}}, {{Old, "a"}}, true},
    {"count 2", 2, {{F1, "a"}, {F2, "b"}}, {{F2, "a"}}, true},
    {"count 5 full", 5, {{F1, "a"}, {F2, "b"}, {F3, "c"}, {F4, "d"}, {F5, "e"}},
     {{F2, "a"}, {F3, "b"}, {F4, "c"}, {F5, "d"}}, true},
    {"gap at 3 moves one number up", 5, {{F1, "a"}, {F2, "b"}, {F4, "d"}, {F5, "e"}},
     {{F2, "a"}, {F3, "b"}, {F5, "d"}}, true},
    {"count lowered 5 to 3 leaves 4 and 5", 3, {{F1, "a"}, {F2, "b"}, {F3, "c"}, {F4, "d"}, {F5, "e"}},
     {{F2, "a"}, {F3, "b"}, {F4, "d"}, {F5, "e"}}, true},
    {"count 0 as 1", 0, {{F1, "a"}, {Old, "z"}}, {{Old, "a"}}, true},
    {"negative count as 1", -7, {{F1, "a"}}, {{Old, "a"}}, true},
    {"count raised 1 to 2 keeps .old", 2, {{F1, "a"}, {Old, "z"}}, {{F2, "a"}, {Old, "z"}}, true},
    {"empty folder", 5, {}, {}, true},
    // A backup that failed after the shift left no ODBackup_1.fbk: the good
    // generations must survive any number of such failures.
    {"no ODBackup_1: nothing shifts", 3, {{F2, "b"}, {F3, "c"}}, {{F2, "b"}, {F3, "c"}}, true},
    {"no ODBackup_1: .old stays", 1, {{Old, "z"}}, {{Old, "z"}}, true},
    // A folder is not a file: it is never deleted, and a rename onto it fails.
    {"occupied top number: nothing moves", 3, {{F1, "a"}, {F2, "b"}, {F3, "<dir>"}},
     {{F1, "a"}, {F2, "b"}, {F3, "<dir>"}}, false},
    {"last rename fails", 2, {{F1, "a"}, {F2, "<dir>"}}, {{F1, "a"}, {F2, "<dir>"}}, false},
    {".old is a folder", 1, {{F1, "a"}, {Old, "<dir>"}}, {{F1, "a"}, {Old, "<dir>"}}, false},
    // A crash between moving the newest aside and shifting it on.
    {"leftover .rotating is put back first", 3, {{F1 + ".rotating", "a"}, {F2, "b"}}, {{F2, "a"}, {F3, "b"}}, true},
    {"leftover .rotating, count 1", 1, {{F1 + ".rotating", "a"}, {Old, "z"}}, {{Old, "a"}}, true},
    {"higher numbers are never touched", 2, {{F1, "a"}, {F3, "c"}, {"ODBackup_10.fbk", "j"}},
     {{F2, "a"}, {F3, "c"}, {"ODBackup_10.fbk", "j"}}, true},
};

TEST(RotateBackups, MovesGenerationsAsPlanned) {
  for (const auto& c : kRotations) {
    for (const bool trailingDelimiter : {false, true}) {
      SCOPED_TRACE(std::string(c.name) + (trailingDelimiter ? " (trailing delimiter)" : ""));
      test::TempDir dir;
      for (const auto& [name, bytes] : c.before) test::Put(dir.Path(), name, bytes);
      std::vector<std::string> shown;
      const std::string folder = trailingDelimiter ? dir.Str() + fs::PathDelimiter() : dir.Str();
      const bool result = RotateBackups(folder, c.count, [&](const std::string& t) { shown.push_back(t); });
      EXPECT_EQ(result, c.result);
      EXPECT_EQ(test::Listing(dir.Path()), c.after);
      EXPECT_TRUE(shown.empty());
    }
  }
}

// Where the file system ignores case (Windows), odbackup_3.fbk is generation
// 3; elsewhere it is a stranger's file and stays.
TEST(RotateBackups, NamesInOtherCasesAreMatchedAsTheFileSystemDoes) {
  test::TempDir dir;
  for (const auto& [name, bytes] : Files{{F1, "a"}, {F2, "b"}, {"odbackup_3.fbk", "c"}, {F4, "d"}, {F5, "e"}}) {
    test::Put(dir.Path(), name, bytes);
  }
  std::vector<std::string> shown;
  EXPECT_TRUE(RotateBackups(dir.Str(), 5, [&](const std::string& t) { shown.push_back(t); }));
  if (fs::FileNamesIgnoreCase()) {
    EXPECT_EQ(test::Listing(dir.Path()), (Files{{F2, "a"}, {F3, "b"}, {F4, "c"}, {F5, "d"}}));
  } else {
    EXPECT_EQ(test::Listing(dir.Path()), (Files{{F2, "a"}, {F3, "b"}, {"odbackup_3.fbk", "c"}, {F5, "d"}}));
  }
  EXPECT_TRUE(shown.empty());
}

TEST(RotateBackups, MissingFolderMovesNothingAndSucceeds) {
  test::TempDir dir;
  EXPECT_TRUE(RotateBackups(dir / "missing", 5, [](const std::string&) { FAIL(); }));
  EXPECT_FALSE(fs::DirectoryExists(dir / "missing"));
}

TEST(RotateBackups, DelimiterIsAppendedOnceAndSlashFoldersJoinWithSlash) {
  const std::string d(1, fs::PathDelimiter());
  const bool windows = d == "\\";
  struct Case {
    std::string folder, prefix;
  } cases[] = {
      {"", d},
      {"zalohy", "zalohy" + d},
      {"zalohy" + d, "zalohy" + d},
      // The folder as a Linux server sees it, typed on Windows too.
      {"/srv/zalohy", "/srv/zalohy/"},
      {"/srv/zalohy/", "/srv/zalohy/"},
      {"Z:/srv/zalohy", "Z:/srv/zalohy/"},
      // Mixed: the platform's rule.
      {"C:\\data/zalohy", windows ? "C:\\data/zalohy\\" : "C:\\data/zalohy/"},
      {"C:\\zalohy\\", windows ? "C:\\zalohy\\" : "C:\\zalohy\\/"},
  };
  for (const Case& c : cases) EXPECT_EQ(GenerationPrefix(c.folder), c.prefix) << c.folder;
}

// Records every call and claims every file exists.
struct RecordingOps {
  std::vector<std::string> calls;
  std::string throwOnRenameOf;
  GenerationFileOps Ops() {
    return {[this](const std::string& p) { calls.push_back("exists " + p); return true; },
            [this](const std::string& p) { calls.push_back("remove " + p); return true; },
            [this](const std::string& from, const std::string& to) {
              if (from == throwOnRenameOf) throw std::runtime_error("disk %s gone");
              calls.push_back("rename " + from + " " + to);
              return true;
            },
            {}};
  }
};

TEST(RotateBackups, EmptyFolderTextNamesBeginWithDelimiter) {
  const std::string d(1, fs::PathDelimiter());
  RecordingOps rec;
  EXPECT_FALSE(RotateBackups("", 1, [](const std::string&) {}, rec.Ops()));
  EXPECT_EQ(rec.calls, (std::vector<std::string>{
                           "exists " + d + F1, "exists " + d + F1 + ".rotating",
                           "exists " + d + Old, "remove " + d + Old,
                           "exists " + d + F1, "rename " + d + F1 + " " + d + Old, "exists " + d + F1}));
}

TEST(RotateBackups, ExceptionInStepIsShownAndRotationGoesOn) {
  const std::string d(1, fs::PathDelimiter());
  RecordingOps rec;
  rec.throwOnRenameOf = "b%s" + d + F2;
  std::vector<std::string> shown;
  const bool result =
      RotateBackups("b%s", 3, [&](const std::string& t) { shown.push_back(t); }, rec.Ops());
  EXPECT_FALSE(result);  // every file "exists" afterwards
  ASSERT_EQ(shown.size(), 1u);
  EXPECT_EQ(shown[0], "Chyba při přejmenování souboru: b%s" + d + F2 + " -> b%s" + d + F3 +
                          ".\r\ndisk %s gone");
  EXPECT_EQ(rec.calls.back(), "exists b%s" + d + F1);
  EXPECT_EQ(rec.calls[rec.calls.size() - 2], "rename b%s" + d + F1 + " b%s" + d + F2);
}

// The real file operations, except that the newest backup cannot be renamed,
// as when another program holds it open.
GenerationFileOps LockedNewestOps() {
  GenerationFileOps ops = LocalGenerationFileOps();
  ops.rename = [](const std::string& from, const std::string& to) {
    return from.find(F1) == std::string::npos && fs::RenameNoReplace(from, to);
  };
  return ops;
}

TEST(RotateBackups, LockedNewestCostsNoGenerationHoweverOftenTried) {
  const Files files = {{F1, "a"}, {F2, "b"}, {F3, "c"}, {Old, "z"}};
  for (const int count : {1, 3}) {
    test::TempDir dir;
    for (const auto& [name, bytes] : files) test::Put(dir.Path(), name, bytes);
    for (int attempt = 0; attempt < 5; ++attempt) {
      EXPECT_FALSE(RotateBackups(dir.Str(), count, [](const std::string&) {}, LockedNewestOps()));
    }
    EXPECT_EQ(test::Listing(dir.Path()), files) << count;
  }
}

TEST(RotateBackups, HugeCountCostsOnlyTheFilesPresent) {
  test::TempDir dir;
  test::Put(dir.Path(), F1, "a");
  test::Put(dir.Path(), F2, "b");
  int asked = 0;
  GenerationFileOps ops = LocalGenerationFileOps();
  ops.exists = [&](const std::string& path) { ++asked; return fs::FileExists(path); };
  EXPECT_TRUE(RotateBackups(dir.Str(), 2000000000, [](const std::string&) {}, ops));
  EXPECT_LT(asked, 20);
  EXPECT_EQ(test::Listing(dir.Path()), (Files{{F2, "a"}, {F3, "b"}}));
}

TEST(RenameErrorText, NamesAndMessageAreNotFormats) {
  EXPECT_EQ(RenameErrorText("a%s", "%d%s", "100% %s"),
            "Chyba při přejmenování souboru: a%s -> %d%s.\r\n100% %s");
}

TEST(BackupCountFromText, ConvertsAndRoundsHalfToEven) {
  const std::vector<std::pair<const char*, int>> cases = {
      {"5", 5},      {"+3", 3},     {"-2", -2},    {" 7 ", 7},    {"0", 0},
      {"2.5", 2},    {"3.5", 4},    {"2,5", 2},    {"2.51", 3},   {"2.49", 2},
      {"-2.5", -2},  {"-3.5", -4},  {".5", 0},     {"5.", 5},     {"007", 7},
      {"2147483647", 2147483647},   {"-2147483648", -2147483647 - 1},
      {"2147483646.5", 2147483646},
  };
  for (const auto& [text, expected] : cases) {
    EXPECT_EQ(BackupCountFromText(text), expected) << text;
  }
}

TEST(BackupCountFromText, RejectsOutOfRangeAndNonNumbers) {
  for (const char* text : {"2147483648", "-2147483649", "2147483647.5", "99999999999999999999999999"}) {
    EXPECT_THROW(BackupCountFromText(text), ERangeError) << text;
  }
  for (const char* text : {"", "  ", "abc", "+", "-", ".", "5x", "1e3", "--5", "5 5", "0x10"}) {
    EXPECT_THROW(BackupCountFromText(text), EConvertError) << text;
  }
  try {
    BackupCountFromText(" pět ");
  } catch (const EConvertError& e) {
    EXPECT_EQ(e.Message(), "Počet uchovávaných záloh 'pět' není celé číslo");
  }
}

}  // namespace
}  // namespace odb
