// Czech letters in the database path and the backup folder, through the built
// program, whatever locale its environment names (cron starts it with none).
#include <gtest/gtest.h>

#include <cstdlib>
#include <filesystem>

#include "FbFixture.h"
#include "common/Cp1250.h"
#include "common/FileSystem.h"

namespace odb {
namespace {

using test::FbTempDir;

struct CzechCase {
  const char* name;
  bool tcp;
  const char* environment;  // prefix of the command line
  bool scheduler;           // the plan's catch-up instead of --once
};

void PrintTo(const CzechCase& c, std::ostream* out) { *out << c.name; }

class CzechPaths : public ::testing::TestWithParam<CzechCase> {
 protected:
  void SetUp() override {
    const char* dir = std::getenv("ODB_BINARY_DIR");
    if (!dir) GTEST_SKIP() << "ODB_BINARY_DIR not set (ctest sets it)";
    if (GetParam().tcp && !test::ServerAnswers()) GTEST_SKIP() << "no Firebird server on 127.0.0.1:3050";
    binary_ = std::string(dir) + "/odbackup";
  }
  FbTempDir dir_;
  std::string binary_;
};

TEST_P(CzechPaths, BackupRestoresEqual) {
  const CzechCase& c = GetParam();
  namespace stdfs = std::filesystem;
  const std::string dbFolder = dir_.Path("Žluťoučký kůň");
  const std::string backups = dir_.Path("záloha");
  for (const std::string& folder : {dbFolder, backups}) {
    stdfs::create_directories(folder);
    stdfs::permissions(folder, stdfs::perms::all);
  }
  // isql-fb itself would need a UTF-8 locale for the name; the file is moved there.
  test::CreateTestDatabase(dir_.Path("made.fdb"), 120);
  const std::string database = dbFolder + "/databáze.fdb";
  stdfs::rename(dir_.Path("made.fdb"), database);
  const std::string ini = dir_.Path("odbackup.ini");
  const std::string log = dir_.Path("odbackup.log");
  ASSERT_TRUE(fs::WriteFile(
      ini, Utf8ToCp1250(std::string("[OrdavaDB]\r\nLocalHost=") + (c.tcp ? "N" : "A") +
                        "\r\nServerName=localhost\r\nDatabaseName=" + database + "\r\nLogFileName=" + log +
                        "\r\n[Backups]\r\nBackupPath=" + backups +
                        "\r\nLastRun=01.12.2026 10:00:00\r\n[Settings]\r\nLogToFile=A\r\nEventAction=" +
                        (c.scheduler ? "BackupOnTimer" : "PauseBackup") +
                        "\r\nDays=1,2,3,4,5,6,7\r\nEventCountTimes=1\r\nTime_1=00:00:01\r\n")));
  const std::string command = std::string(c.environment) + (c.scheduler ? " timeout -s TERM 6 " : " ") + binary_ +
                              " --config " + ini + (c.scheduler ? "" : " --once");
  std::string output;
  const int rc = test::RunCommand(command, &output);
  if (!c.scheduler) {
    EXPECT_EQ(rc, 0) << output;
  }
  EXPECT_NE(Cp1250ToUtf8(fs::ReadFile(log).value_or("")).find("Záloha byla provedena"), std::string::npos)
      << output;
  const std::string made = backups + "/ODBackup_1.fbk";
  ASSERT_TRUE(fs::FileExists(made)) << output;
  stdfs::copy_file(made, dir_.Path("copy.fbk"));
  test::RestoreBackup(dir_.Path("copy.fbk"), dir_.Path("restored.fdb"));
  EXPECT_EQ(test::CountRows(dir_.Path("restored.fdb")), 120);
}

const char* const kNoLocale = "env -u LANG -u LC_ALL -u LC_CTYPE -u LANGUAGE";
const char* const kUtf8Locale = "env -u LC_ALL -u LC_CTYPE LANG=C.UTF-8";

INSTANTIATE_TEST_SUITE_P(Routes, CzechPaths,
                         ::testing::Values(CzechCase{"EmbeddedNoLocale", false, kNoLocale, false},
                                           CzechCase{"EmbeddedUtf8", false, kUtf8Locale, false},
                                           CzechCase{"TcpNoLocale", true, kNoLocale, false},
                                           CzechCase{"TcpUtf8", true, kUtf8Locale, false},
                                           CzechCase{"SchedulerEmbeddedNoLocale", false, kNoLocale, true},
                                           CzechCase{"SchedulerTcpLatin2", true, "env -u LC_ALL LANG=cs_CZ.ISO-8859-2", true}),
                         [](const auto& info) { return std::string(info.param.name); });

}  // namespace
}  // namespace odb
