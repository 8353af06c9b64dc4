// The backup run and the log with files that another program holds open:
// Windows sharing rules, which Wine keeps.
#include <windows.h>

#include <gtest/gtest.h>

#include "tests/HeldFile_win.h"

#include "FormFixture.h"
#include "common/Utf16_win.h"

namespace odb {
namespace {

using test::FormFixture;


TFrmODBackupDB& StartLogging(FormFixture& fx) {
  fx.WriteIni("[OrdavaDB]\nLogFileName=" + fx.LogPath() + "\n[Backups]\nBackupPath=" + fx.BackupDir() +
              "\nLastRun=01.12.2026 10:00:00\n[Settings]\nLogToFile=A\n");
  fs::CreateDirectories(fx.BackupDir());
  return fx.Start();
}

// The backup is made first; the newest generation that cannot move keeps it
// from taking its place, and the new file goes again.
TEST(BackupRunLocked, NewestGenerationHeldMeansNoBackupAndNoMessage) {
  FormFixture fx;
  TFrmODBackupDB& f = StartLogging(fx);
  const std::string newest = fx.BackupDir() + "\\ODBackup_1.fbk";
  fs::WriteFile(newest, "held");
  test::HeldFile held(newest, GENERIC_READ, FILE_SHARE_READ);
  ASSERT_TRUE(held.Valid());
  f.RunBackup();
  EXPECT_TRUE(fx.app.Boxes.empty());
  EXPECT_EQ(fx.Log(), "");
  EXPECT_FALSE(fs::EntryExists(newest + ".part"));
  ASSERT_TRUE(f.Backup().Watch.Failure());
  EXPECT_EQ(f.Backup().Watch.Failure()->error, "Nejnovější zálohu nelze odsunout, záloha nebyla provedena");
  EXPECT_EQ(FormatDateTime(fx.form->Settings().Live.LastRun), "01.12.2026 10:00:00");
}

TEST(BackupRunLocked, LogHeldAgainstWritingUnticksLoggingSilently) {
  FormFixture fx;
  TFrmODBackupDB& f = StartLogging(fx);
  test::HeldFile held(fx.LogPath(), GENERIC_READ, FILE_SHARE_READ);
  ASSERT_TRUE(held.Valid());
  f.AddLogEntry("ztraceno");
  EXPECT_FALSE(f.CBLogActivity.Checked());
  EXPECT_TRUE(fx.app.Boxes.empty());
}

TEST(BackupRunLocked, LogHeldAgainstReadingKeepsTheEntryAndShowsTheBox) {
  FormFixture fx;
  TFrmODBackupDB& f = StartLogging(fx);
  // A reader that shares only writing: appends pass, other reads fail.
  test::HeldFile held(fx.LogPath(), GENERIC_READ, FILE_SHARE_WRITE);
  ASSERT_TRUE(held.Valid());
  f.AddLogEntry("zapsáno");
  EXPECT_TRUE(f.CBLogActivity.Checked());
  ASSERT_EQ(fx.app.Boxes.size(), 1u);
  EXPECT_EQ(fx.app.Boxes[0].title, "Chyba");
  EXPECT_EQ(fx.app.Boxes[0].text.rfind("Nelze zapisovat do logovacího souboru: \r\n" + fx.LogPath() + "\r\n", 0),
            0u)
      << fx.app.Boxes[0].text;
}

}  // namespace
}  // namespace odb
