// The mirror's copy inside a planned backup, against a fake server: a copy
// that fails is told everywhere a failure is, but the backup stays made.
#include <gtest/gtest.h>

#include "FormFixture.h"
#include "common/Gzip.h"

namespace odb {
namespace {

using test::FormFixture;
using test::LogEntries;

TEST(MirrorRun, ACopyThatFailsIsToldAndCostsNoBackup) {
  struct Case {
    const char* name;
    bool mirrorIsFile;
  } cases[] = {{"mirror folder", false}, {"mirror is a file", true}};
  for (const Case& c : cases) {
    SCOPED_TRACE(c.name);
    FormFixture fx;
    const std::string mirror = fx.dir / "kopie";
    std::string ini = fx.PlanIni("07.12.2026 18:30:00");
    ini.insert(ini.find("BackupCount="), "MirrorPath=" + mirror + "\n");
    fx.WriteIni(ini);
    if (c.mirrorIsFile) {
      ASSERT_TRUE(fs::WriteFile(mirror, "x"));
    } else {
      ASSERT_TRUE(fs::CreateDirectories(mirror));
    }
    TFrmODBackupDB& form = fx.Start();
    fx.ScriptOutput(3);
    fx.app.AdvanceTime(TDateTime::Encode(2026, 12, 8, 18, 0, 3).Ms() - fx.clock.Now().Ms());

    const std::string newest = fx.BackupDir() + fs::PathDelimiter() + "ODBackup_1.fbk";
    EXPECT_TRUE(fs::FileExists(newest));
    EXPECT_NE(fx.Ini().find("LastRun=08.12.2026 18:00:0"), std::string::npos) << fx.Ini();
    EXPECT_TRUE(fx.app.Boxes.empty());
    // The copy's entry right after the backup's.
    const auto entries = LogEntries(fx.Log());
    size_t done = 0;
    while (done < entries.size() && entries[done].second.rfind("Záloha byla provedena: ", 0) != 0) ++done;
    ASSERT_LT(done + 1, entries.size()) << fx.Log();
    const std::string& last = entries[done + 1].second;
    const auto& failure = form.Backup().Watch.Failure();
    if (!c.mirrorIsFile) {
      const std::string copy = mirror + fs::PathDelimiter() + "ODBackup_1.fbk.gz";
      EXPECT_EQ(last, "Kopie zálohy uložena: " + copy);
      EXPECT_TRUE(gzip::DecompressesTo(copy, newest));
      EXPECT_FALSE(failure);
      EXPECT_TRUE(fx.app.TrayEntry.Balloons.empty());
      continue;
    }
    const std::string told = "Kopie zálohy selhala: Cesta pro kopie záloh " + mirror + " není složka";
    EXPECT_EQ(last, told);
    ASSERT_TRUE(failure);
    EXPECT_EQ(failure->step, TFailedStep::Copy);
    EXPECT_NE(form.LaStatus.Caption().find("\r\n" + told), std::string::npos) << form.LaStatus.Caption();
    ASSERT_EQ(fx.app.TrayEntry.Balloons.size(), 1u);
    EXPECT_EQ(fx.app.TrayEntry.Balloons[0], told);
    // After a restart the record beside the configuration still tells it.
    fx.Destroy();
    fx.Start();
    ASSERT_TRUE(fx.form->Backup().Watch.Failure());
    EXPECT_EQ(fx.form->Backup().Watch.Failure()->step, TFailedStep::Copy);
    EXPECT_EQ(fx.form->Backup().Watch.Failure()->error, told);
  }
}

}  // namespace
}  // namespace odb
