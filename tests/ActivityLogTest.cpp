#include "log/ActivityLog.h"

#include <gtest/gtest.h>

#include "common/Errors.h"
#include "common/FileSystem.h"
#include "tests/TempDir.h"

namespace odb {
namespace {

const TDateTime kNow = TDateTime::Encode(2026, 12, 9, 18, 0, 5);

TEST(ActivityLog, EntryBytesAreStampAndMessageInCp1250WithCrLf) {
  EXPECT_EQ(FormatLogEntry("Záloha byla provedena: 09.12.2026 18:00:00", kNow),
            "<\xC8" "as z\xE1pisu: 09.12.2026 18:00:05>\r\n"
            "Z\xE1loha byla provedena: 09.12.2026 18:00:00\r\n");
  // A line break inside the message is written as given: a third line.
  EXPECT_EQ(FormatLogEntry("a\r\nb", TDateTime::Encode(2027, 1, 2, 3, 4, 5)),
            "<\xC8" "as z\xE1pisu: 02.01.2027 03:04:05>\r\na\r\nb\r\n");
  EXPECT_EQ(FormatLogEntry("", kNow), "<\xC8" "as z\xE1pisu: 09.12.2026 18:00:05>\r\n\r\n");
}

TEST(ActivityLog, EntriesFollowEarlierContentInOrder) {
  test::TempDir dir;
  const std::string log = dir / "Anal.log";
  ASSERT_TRUE(fs::WriteFile(log, "earlier run\r\n"));
  ASSERT_TRUE(PrepareLogFile(log, false));
  ASSERT_TRUE(AppendLogEntry(log, "Příští zálohování nastaveno: 10.12.2026 18:00:00", kNow));
  ASSERT_TRUE(AppendLogEntry(log, "Backup na základě poslední neprovedené akce časovače.", kNow));
  EXPECT_EQ(ReadLogText(log),
            "earlier run\r\n"
            "<Čas zápisu: 09.12.2026 18:00:05>\r\nPříští zálohování nastaveno: 10.12.2026 18:00:00\r\n"
            "<Čas zápisu: 09.12.2026 18:00:05>\r\n"
            "Backup na základě poslední neprovedené akce časovače.\r\n");
}

TEST(ActivityLog, PrepareCreatesMissingAndEmptiesOnlyWhenClearing) {
  test::TempDir dir;
  const std::string log = dir / "odbackup.log";
  ASSERT_TRUE(PrepareLogFile(log, false));
  EXPECT_EQ(test::Listing(dir.Path()), (std::map<std::string, std::string>{{"odbackup.log", ""}}));
  ASSERT_TRUE(fs::WriteFile(log, "kept"));
  ASSERT_TRUE(PrepareLogFile(log, false));
  EXPECT_EQ(fs::ReadFile(log), "kept");
  ASSERT_TRUE(PrepareLogFile(log, true));
  EXPECT_EQ(fs::ReadFile(log), "");
}

TEST(ActivityLog, MissingFolderFailsAndCreatesNothing) {
  test::TempDir dir;
  const std::string log = dir / "chybí" + fs::PathDelimiter() + "odbackup.log";
  EXPECT_FALSE(PrepareLogFile(log, false));
  EXPECT_FALSE(PrepareLogFile(log, true));
  EXPECT_FALSE(AppendLogEntry(log, "x", kNow));
  EXPECT_TRUE(test::Listing(dir.Path()).empty());
}

TEST(ActivityLog, DeletedFileDropsEntriesWithoutRecreatingIt) {
  test::TempDir dir;
  const std::string log = dir / "odbackup.log";
  ASSERT_TRUE(PrepareLogFile(log, true));
  ASSERT_TRUE(AppendLogEntry(log, "first", kNow));
  ASSERT_TRUE(fs::RemoveFile(log));
  EXPECT_FALSE(AppendLogEntry(log, "second", kNow));
  EXPECT_FALSE(fs::FileExists(log));
}

TEST(ActivityLog, FolderInPlaceOfTheFileIsNotALog) {
  test::TempDir dir;
  test::Put(dir.Path(), "odbackup.log", "<dir>");
  const std::string log = dir / "odbackup.log";
  EXPECT_FALSE(PrepareLogFile(log, false));
  EXPECT_FALSE(AppendLogEntry(log, "x", kNow));
}

TEST(ActivityLog, UnreadableFileRaisesWithItsName) {
  test::TempDir dir;
  const std::string log = dir / "odbackup.log";
  try {
    ReadLogText(log);
    FAIL() << "no error";
  } catch (const Exception& e) {
    EXPECT_EQ(e.Message(), "Soubor \"" + log + "\" nelze otevřít pro čtení.");
  }
}

}  // namespace
}  // namespace odb
