// The whole backup run from the settings window against a real Firebird 3:
// the embedded engine and the local server over TCP, generations restored and
// counted, the log and LastRun; the planned road on virtual time; and the
// headless program's options.
#include <gtest/gtest.h>

#include <cstdlib>
#include <filesystem>
#include <fstream>
#include <memory>

#include "FbFixture.h"
#include "app/AppTexts.h"
#include "app/ODBackupDB.h"
#include "common/Cp1250.h"
#include "common/FileSystem.h"
#include "frontends/headless/HeadlessApplication.h"
#include "schedule/DmODBackup.h"

namespace odb {
namespace {

using test::FbTempDir;

constexpr int kRows = 300;
enum class Route { Embedded, Tcp };

TDateTime Dec(int day, int h, int m = 0, int s = 0) { return TDateTime::Encode(2026, 12, day, h, m, s); }

std::string Crlf(const std::string& text) {
  std::string out;
  for (char c : text) {
    if (c == '\n') out += '\r';
    out += c;
  }
  return out;
}

// Adds rows through the same route the backup takes, so the server (when it
// runs) is the only one holding the database.
void AddRows(Route route, const std::string& database, int from, int count) {
  const std::string sql = "set term ^;\nexecute block as declare i integer = " + std::to_string(from) +
                          "; begin while (i < " + std::to_string(from + count) +
                          ") do begin insert into T values (:i, 'x'); i = i + 1; end end^\n"
                          "set term ;^\ncommit;\n";
  if (route == Route::Embedded) {
    test::RunIsql(database, sql);
    return;
  }
  const std::string script = database + ".sql";
  std::ofstream(script) << sql;
  std::string output;
  const int rc = test::RunCommand("isql-fb -q -user sysdba -password " + std::string(test::kServerPassword) +
                                      " localhost:" + database + " -i " + script, &output);
  ASSERT_EQ(rc, 0) << output;
  ASSERT_EQ(output.find("Statement failed"), std::string::npos) << output;
}

class Program {
 public:
  explicit Program(const FbTempDir& dir, TDateTime start) : dir_(dir), clock(start), app(clock) {
    app.SetTitle(std::string(msg::AppTitle));
  }
  ~Program() {
    if (form) form->FormDestroy();
    form.reset();
    data.reset();
  }
  std::string Ini() const { return Cp1250ToUtf8(fs::ReadFile(dir_.Path("odbackup.ini")).value_or("")); }
  std::string Log() const { return Cp1250ToUtf8(fs::ReadFile(dir_.Path("odbackup.log")).value_or("")); }
  TFrmODBackupDB& Start(const std::string& ini) {
    fs::WriteFile(dir_.Path("odbackup.ini"), Utf8ToCp1250(Crlf(ini)));
    data = std::make_unique<TDataODBackup>();
    form = std::make_unique<TFrmODBackupDB>(app, *data, dir_.Path("odbackup"));
    form->Show();
    app.ProcessMessages();
    return *form;
  }

  const FbTempDir& dir_;
  TVirtualClock clock;
  THeadlessApplication app;
  std::unique_ptr<TDataODBackup> data;
  std::unique_ptr<TFrmODBackupDB> form;
};

size_t Count(const std::string& text, const std::string& part) {
  size_t n = 0;
  for (size_t at = text.find(part); at != std::string::npos; at = text.find(part, at + 1)) ++n;
  return n;
}

class BackupRunFb : public ::testing::TestWithParam<Route> {
 protected:
  void SetUp() override {
    if (GetParam() == Route::Tcp && !test::ServerAnswers()) {
      GTEST_SKIP() << "no Firebird server on 127.0.0.1:3050 (run scripts/start-firebird.sh)";
    }
    database_ = dir_.Path("ordava.fdb");
    test::CreateTestDatabase(database_, kRows);
    std::filesystem::create_directories(dir_.Path("zalohy"));
    std::filesystem::permissions(dir_.Path("zalohy"), std::filesystem::perms::all);
  }
  std::string Config(const std::string& action, const std::string& lastRun) const {
    const bool tcp = GetParam() == Route::Tcp;
    return std::string("[OrdavaDB]\nLocalHost=") + (tcp ? "N" : "A") + "\nServerName=" +
           (tcp ? "localhost" : "") + "\nDatabaseName=" + database_ + "\nLogFileName=" +
           dir_.Path("odbackup.log") + "\n[Backups]\nBackupPath=" + dir_.Path("zalohy") +
           "\nBackupCount=2\nLastRun=" + lastRun + "\n[Settings]\nLogToFile=A\nClearLog=A\nEventAction=" +
           action + "\nDays=1,2,3,4,5,6,7\nEventCountTimes=1\nTime_1=18:00:00\n";
  }
  std::string Generation(int n) const { return dir_.Path("zalohy/ODBackup_" + std::to_string(n) + ".fbk"); }
  int RestoredRows(int n) {
    const std::string restored = dir_.Path("restored" + std::to_string(n) + ".fdb");
    test::RestoreBackup(Generation(n), restored);
    return test::CountRows(restored);
  }

  FbTempDir dir_;
  std::string database_;
};

TEST_P(BackupRunFb, ThreeRunsKeepTwoGenerationsOfTheRightData) {
  Program p(dir_, Dec(8, 8));
  TFrmODBackupDB& f = p.Start(Config("OnceBackup", "01.12.2026 10:00:00"));
  for (int run = 0; run < 3; ++run) {
    if (run > 0) AddRows(GetParam(), database_, kRows + 10 * (run - 1), 10);
    p.clock.Advance(60'000);
    f.RunBackup();
    ASSERT_TRUE(p.app.Boxes.empty()) << p.app.Boxes[0].text;
  }
  EXPECT_TRUE(fs::FileExists(Generation(1)));
  EXPECT_TRUE(fs::FileExists(Generation(2)));
  EXPECT_FALSE(fs::FileExists(Generation(3)));
  EXPECT_FALSE(fs::FileExists(dir_.Path("zalohy/ODBackup_1.old")));
  EXPECT_EQ(RestoredRows(1), kRows + 20);
  EXPECT_EQ(RestoredRows(2), kRows + 10);
  const std::string log = p.Log();
  EXPECT_EQ(Count(log, "Záloha byla provedena: "), 3u) << log;
  EXPECT_NE(log.find("<Čas zápisu: 08.12.2026 08:03:00>\r\nZáloha byla provedena: 08.12.2026 08:03:00\r\n"),
            std::string::npos)
      << log;
  EXPECT_NE(p.Ini().find("LastRun=08.12.2026 08:03:00\r\n"), std::string::npos);
  EXPECT_FALSE(p.data->BackupService().Active());
}

TEST_P(BackupRunFb, TheRoadOfAPlannedBackup) {
  Program p(dir_, Dec(8, 8));
  p.Start(Config("BackupOnTimer", "07.12.2026 07:00:00"));
  p.app.AdvanceTime(3000);
  EXPECT_TRUE(fs::FileExists(Generation(1)));
  AddRows(GetParam(), database_, kRows, 5);
  p.app.AdvanceTime(Dec(8, 18, 0, 2).Ms() - p.clock.Now().Ms());
  ASSERT_TRUE(p.app.Boxes.empty()) << p.app.Boxes[0].text;
  EXPECT_EQ(p.Log(), "<Čas zápisu: 08.12.2026 08:00:01>\r\nBackup na základě poslední neprovedené akce časovače.\r\n"
                     "<Čas zápisu: 08.12.2026 08:00:02>\r\nZáloha byla provedena: 08.12.2026 08:00:02\r\n"
                     "<Čas zápisu: 08.12.2026 08:00:03>\r\nPříští zálohování nastaveno: 08.12.2026 18:00:00\r\n"
                     "<Čas zápisu: 08.12.2026 18:00:01>\r\nZáloha byla provedena: 08.12.2026 18:00:01\r\n"
                     "<Čas zápisu: 08.12.2026 18:00:02>\r\nPříští zálohování nastaveno: 09.12.2026 18:00:00\r\n");
  EXPECT_EQ(RestoredRows(1), kRows + 5);
  EXPECT_EQ(RestoredRows(2), kRows);
  EXPECT_NE(p.Ini().find("LastRun=08.12.2026 18:00:01\r\n"), std::string::npos);
}

TEST_P(BackupRunFb, ServerErrorReachesTheBoxWithoutLogOrLastRun) {
  Program p(dir_, Dec(8, 8));
  TFrmODBackupDB& f = p.Start(Config("OnceBackup", "01.12.2026 10:00:00"));
  f.EdtPath.SetText(dir_.Path("missing.fdb"));
  p.app.Dispatch([&] { f.BtnOKClick(); });
  ASSERT_EQ(p.app.Boxes.size(), 1u);
  EXPECT_NE(p.app.Boxes[0].text.find("missing.fdb"), std::string::npos) << p.app.Boxes[0].text;
  EXPECT_TRUE(f.Visible());
  EXPECT_EQ(p.Log(), "");
  EXPECT_NE(p.Ini().find("LastRun=01.12.2026 10:00:00\r\n"), std::string::npos);
  EXPECT_FALSE(f.BackupRunning());
}

INSTANTIATE_TEST_SUITE_P(Routes, BackupRunFb, ::testing::Values(Route::Embedded, Route::Tcp),
                         [](const auto& info) { return info.param == Route::Tcp ? "Tcp" : "Embedded"; });

// The built program, run as a user would.
class HeadlessProgram : public ::testing::Test {
 protected:
  void SetUp() override {
    const char* dir = std::getenv("ODB_BINARY_DIR");
    if (!dir) GTEST_SKIP() << "ODB_BINARY_DIR not set (ctest sets it)";
    binary_ = std::string(dir) + "/odbackup";
    config_ = dir_.Path("odbackup.ini");
  }
  void WriteConfig(const std::string& text) { fs::WriteFile(config_, Utf8ToCp1250(Crlf(text))); }
  int Run(const std::string& args, std::string* out, std::string* err = nullptr) {
    const std::string errFile = dir_.Path("stderr.txt");
    const int rc =
        test::RunCommand("(" + binary_ + " --config " + config_ + " " + args + " 2>" + errFile + ")", out);
    if (err) *err = fs::ReadFile(errFile).value_or("");
    return rc;
  }
  FbTempDir dir_;
  std::string binary_, config_;
};

TEST_F(HeadlessProgram, ShowSettingsPrintsWhatOkWouldWriteAndWritesNothing) {
  WriteConfig("; ručně\n[Settings]\nDays=1,5\nEventCountTimes=2\nTime_1=18:00\nTime_2=7:30\nIconSet=9\n");
  const auto before = fs::ReadFile(config_);
  std::string out;
  ASSERT_EQ(Run("--show-settings", &out), 0) << out;
  EXPECT_EQ(fs::ReadFile(config_), before);
  const std::string log = dir_.Path("odbackup.log");
  EXPECT_EQ(out, "[OrdavaDB]\r\nLocalHost=A\r\nServerName=localhost\r\nDatabaseName=Ordava.fdb\r\nLogFileName=" +
                     log + "\r\n[Backups]\r\nBackupPath=" + dir_.Path("") +
                     "\r\nBackupCount=5\r\nLastRun=01.01.1990 00:00:00\r\n"
                     "[Settings]\r\nLogToFile=N\r\nClearLog=A\r\nRunMinimalized=N\r\nEventAction=OnceBackup\r\n"
                     "Days=1,5\r\nTime_1=07:30:00\r\nTime_2=18:00:00\r\nEventCountTimes=2\r\n"
                     "[UserInterface]\r\nIconSet=1\r\n");
}

// Nothing is written, not even a scratch file: a missing TMPDIR changes nothing.
// The bytes are those OK would write: Windows-1250, a NUL inside a value kept.
TEST_F(HeadlessProgram, ShowSettingsPrintsTheBytesOkWouldWrite) {
  using namespace std::string_literals;
  WriteConfig("[OrdavaDB]\nLocalHost=N\nServerName=server\0s nulou\nDatabaseName=/data/Žluťoučký kůň.fdb\n"
              "[Backups]\nBackupPath=/zálohy/\n"s);
  std::string out;
  ASSERT_EQ(test::RunCommand("TMPDIR=" + dir_.Path("no/such/folder") + " " + binary_ + " --config " + config_ +
                                 " --show-settings 2>" + dir_.Path("stderr.txt"),
                             &out),
            0)
      << fs::ReadFile(dir_.Path("stderr.txt")).value_or("");
  EXPECT_EQ(out, Utf8ToCp1250("[OrdavaDB]\r\nLocalHost=N\r\nServerName=server\0s nulou\r\n"
                              "DatabaseName=/data/Žluťoučký kůň.fdb\r\nLogFileName="s +
                              dir_.Path("odbackup.log") +
                              "\r\n[Backups]\r\nBackupPath=/zálohy/\r\nBackupCount=5\r\nLastRun=01.01.1990 00:00:00\r\n"
                              "[Settings]\r\nLogToFile=N\r\nClearLog=A\r\nRunMinimalized=N\r\nEventAction=OnceBackup\r\n"
                              "Days=1,2,3,4,5,6,7\r\nEventCountTimes=0\r\n[UserInterface]\r\nIconSet=1\r\n"));
}

// A relative --config is the file in the current folder; the defaults go
// next to it, and blank paths in it read as those defaults, so neither the
// backups nor the log can land in the filesystem root.
TEST_F(HeadlessProgram, RelativeConfigPutsTheDefaultsNextToIt) {
  for (const char* paths : {"", "LogFileName=\n[Backups]\nBackupPath=\n", "LogFileName= \n[Backups]\nBackupPath=  \n"}) {
    WriteConfig(std::string("[OrdavaDB]\n") + paths);
    std::string out;
    ASSERT_EQ(test::RunCommand("cd " + dir_.Path("") + " && " + binary_ + " --config odbackup.ini --show-settings", &out),
              0)
        << out;
    EXPECT_NE(out.find("\r\nLogFileName=" + dir_.Path("odbackup.log") + "\r\n"), std::string::npos) << paths << out;
    EXPECT_NE(out.find("\r\nBackupPath=" + dir_.Path("") + "\r\n"), std::string::npos) << paths << out;
  }
}

TEST_F(HeadlessProgram, PlanAtAnInstant) {
  struct Case {
    const char* config;
    const char* at;
    const char* out;
  };
  const Case cases[] = {
      {"[Backups]\nLastRun=07.12.2026 07:00:00\n[Settings]\nTime_1=18:00\n", "08.12.2026 08:00:00",
       "missed: 07.12.2026 18:00:00\nnext: 08.12.2026 18:00:00\n"},
      {"[Backups]\nLastRun=07.12.2026 18:30:00\n[Settings]\nTime_1=18:00\n", "08.12.2026 18:00:00",
       "missed: -\nnext: 08.12.2026 18:00:00\n"},
      {"[Settings]\nDays=\nTime_1=18:00\n", "08.12.2026 08:00:00", "missed: -\nnext: -\n"},
      // A Friday before day zero of the count keeps its own date.
      {"[Settings]\nDays=5\nTime_1=18:00\n", "29.12.1899 06:00:00", "missed: -\nnext: 29.12.1899 18:00:00\n"},
  };
  for (const Case& c : cases) {
    WriteConfig(c.config);
    std::string out;
    EXPECT_EQ(Run(std::string("--plan --at \"") + c.at + "\"", &out), 0) << c.config;
    EXPECT_EQ(out, c.out) << c.config;
  }
}

TEST_F(HeadlessProgram, AnEmptyPlanIsNoticedAtStart) {
  const std::string notice = "Plán záloh je prázdný: není zaškrtnutý žádný den nebo není zadaný žádný čas.\n";
  struct Case {
    const char* settings;
    bool noticed;
  };
  const Case cases[] = {
      {"EventAction=BackupOnTimer\nDays=\nEventCountTimes=1\nTime_1=18:00\n", true},
      {"EventAction=BackupOnTimer\nDays=1,2\nEventCountTimes=0\n", true},
      {"EventAction=BackupOnTimer\nDays=1\nEventCountTimes=1\nTime_1=18:00\n", false},
      {"EventAction=PauseBackup\nDays=\nEventCountTimes=1\nTime_1=18:00\n", false},
  };
  for (const Case& c : cases) {
    WriteConfig(std::string("[OrdavaDB]\nLogFileName=") + dir_.Path("odbackup.log") + "\n[Settings]\n" + c.settings);
    std::string out;
    const std::string errFile = dir_.Path("stderr.txt");
    // The program follows the plan until it is stopped.
    test::RunCommand("(timeout -s TERM 1 " + binary_ + " --config " + config_ + " 2>" + errFile + ")", &out);
    // A stale-backup warning may stand beside it; only the notice is asked for here.
    const std::string err = fs::ReadFile(errFile).value_or("");
    EXPECT_EQ(err.find(notice) != std::string::npos, c.noticed) << c.settings << err;
  }
}

TEST_F(HeadlessProgram, WrongArgumentsGiveUsageAndStatusTwo) {
  WriteConfig("");
  for (const char* args : {"--plan --at 2026-12-08", "--at \"08.12.2026 08:00:00\"", "--once --plan", "--bogus"}) {
    std::string out, err;
    EXPECT_EQ(Run(args, &out, &err), 2) << args;
    EXPECT_NE(err.find("Usage: odbackup"), std::string::npos) << args;
  }
}

TEST_F(HeadlessProgram, OnceMakesABackupAndRecordsIt) {
  const std::string database = dir_.Path("ordava.fdb");
  test::CreateTestDatabase(database, 50);
  std::filesystem::create_directories(dir_.Path("zalohy"));
  WriteConfig("[OrdavaDB]\nDatabaseName=" + database + "\n[Backups]\nBackupPath=" + dir_.Path("zalohy") +
              "\nLastRun=01.12.2026 10:00:00\n[Settings]\nLogToFile=A\nEventAction=PauseBackup\n");
  std::string out, err;
  ASSERT_EQ(Run("--once", &out, &err), 0) << out << err;
  EXPECT_NE(out.find("gbak:"), std::string::npos) << "the output lines go to standard output";
  EXPECT_TRUE(fs::FileExists(dir_.Path("zalohy/ODBackup_1.fbk")));
  const std::string ini = Cp1250ToUtf8(fs::ReadFile(config_).value_or(""));
  EXPECT_EQ(ini.find("LastRun=01.12.2026"), std::string::npos) << ini;
  EXPECT_EQ(ini.find("EventAction=PauseBackup\r\n"), ini.rfind("EventAction=")) << "settings not saved";
  EXPECT_EQ(Count(Cp1250ToUtf8(fs::ReadFile(dir_.Path("odbackup.log")).value_or("")), "Záloha byla provedena"), 1u);

  WriteConfig("[OrdavaDB]\nDatabaseName=" + dir_.Path("missing.fdb") + "\n[Backups]\nBackupPath=" +
              dir_.Path("zalohy") + "\n[Settings]\nLogToFile=N\n");
  ASSERT_NE(Run("--once", &out, &err), 0) << out;
  EXPECT_NE(err.find("missing.fdb"), std::string::npos) << err;
}

}  // namespace
}  // namespace odb
