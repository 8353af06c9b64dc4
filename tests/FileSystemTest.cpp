#include "common/FileSystem.h"

#include <gtest/gtest.h>

#include "tests/TempDir.h"

namespace odb {
namespace {

using Files = std::map<std::string, std::string>;

TEST(RenameNoReplace, NeverReplacesAnExistingDestination) {
  struct Case {
    const char* name;
    Files before;
    bool result;
    Files after;
  };
  const std::vector<Case> cases = {
      {"free destination", {{"a", "1"}}, true, {{"b", "1"}}},
      {"existing file", {{"a", "1"}, {"b", "2"}}, false, {{"a", "1"}, {"b", "2"}}},
      {"empty file", {{"a", "1"}, {"b", ""}}, false, {{"a", "1"}, {"b", ""}}},
      {"folder", {{"a", "1"}, {"b", "<dir>"}}, false, {{"a", "1"}, {"b", "<dir>"}}},
      {"missing source", {{"b", "2"}}, false, {{"b", "2"}}},
  };
  for (const auto& c : cases) {
    SCOPED_TRACE(c.name);
    test::TempDir dir;
    for (const auto& [name, bytes] : c.before) test::Put(dir.Path(), name, bytes);
    EXPECT_EQ(fs::RenameNoReplace(dir / "a", dir / "b"), c.result);
    EXPECT_EQ(test::Listing(dir.Path()), c.after);
  }
}

TEST(RenameNoReplace, CzechNames) {
  test::TempDir dir;
  test::Put(dir.Path(), "záloha.fbk", "x");
  EXPECT_TRUE(fs::RenameNoReplace(dir / "záloha.fbk", dir / "žluťoučký.fbk"));
  EXPECT_EQ(test::Listing(dir.Path()), (Files{{"žluťoučký.fbk", "x"}}));
}

TEST(AppendExistingFile, AppendsButNeverCreates) {
  test::TempDir dir;
  EXPECT_FALSE(fs::AppendExistingFile(dir / "log", "x"));
  EXPECT_TRUE(test::Listing(dir.Path()).empty());
  test::Put(dir.Path(), "log", "a");
  EXPECT_TRUE(fs::AppendExistingFile(dir / "log", "b"));
  EXPECT_EQ(fs::ReadFile(dir / "log"), "ab");
}

}  // namespace
}  // namespace odb
