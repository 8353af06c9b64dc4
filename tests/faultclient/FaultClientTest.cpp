// The backup run's error paths against a real Firebird 3, reached through the
// fault-injecting client library that ctest puts in the real one's place. For
// every fault: the generations byte for byte, LastRun, the log, and the
// connections to the server that are still open afterwards.
#include <gtest/gtest.h>

#include <dirent.h>
#include <unistd.h>

#include <cstdlib>
#include <filesystem>
#include <fstream>
#include <memory>
#include <set>
#include <sstream>

#include "../firebird/FbFixture.h"
#include "app/ODBackupDB.h"
#include "app/AppTexts.h"
#include "common/Cp1250.h"
#include "common/FileSystem.h"
#include "frontends/headless/HeadlessApplication.h"
#include "schedule/DmODBackup.h"

namespace odb {
namespace {

using test::FbTempDir;

enum class Route { Embedded, Tcp };

// Sockets of this process connected to the server's port 3050.
int OpenServerConnections() {
  std::set<std::string> inodes;
  if (DIR* dir = opendir("/proc/self/fd")) {
    while (const dirent* entry = readdir(dir)) {
      char target[256];
      const std::string link = std::string("/proc/self/fd/") + entry->d_name;
      const ssize_t n = readlink(link.c_str(), target, sizeof target - 1);
      if (n <= 0) continue;
      const std::string text(target, static_cast<size_t>(n));
      if (text.starts_with("socket:[")) inodes.insert(text.substr(8, text.size() - 9));
    }
    closedir(dir);
  }
  int count = 0;
  for (const char* table : {"/proc/net/tcp", "/proc/net/tcp6"}) {
    std::ifstream in(table);
    std::string line;
    std::getline(in, line);
    while (std::getline(in, line)) {
      std::istringstream fields(line);
      std::string slot, local, remote, state, queues, timer, retransmit, uid, timeout, inode;
      fields >> slot >> local >> remote >> state >> queues >> timer >> retransmit >> uid >> timeout >> inode;
      if (state == "01" && remote.ends_with(":0BEA") && inodes.count(inode)) ++count;
    }
  }
  return count;
}

struct FaultCase;
void PrintTo(const FaultCase& c, std::ostream* out);

struct FaultCase {
  const char* name;
  const char* fault;      // ODB_FAULTCLIENT
  bool verbose;           // LogToFile
  const char* boxHas;     // part of the error box; empty: no box
  bool made;              // the backup is complete: it takes its place, counted as made
};

void PrintTo(const FaultCase& c, std::ostream* out) { *out << c.name; }

class FaultClient : public ::testing::TestWithParam<std::tuple<FaultCase, Route>> {
 protected:
  static void SetUpTestSuite() {
    // The loader has read it already; isql-fb and gbak need the real library.
    unsetenv("LD_LIBRARY_PATH");
    // One database per route: the server keeps a database open for a while,
    // and the embedded engine then cannot lock it.
    database_ = new FbTempDir();
    for (const char* name : {"embedded.fdb", "tcp.fdb"}) test::CreateTestDatabase(database_->Path(name), 200);
  }
  static void TearDownTestSuite() {
    delete database_;
    database_ = nullptr;
  }
  void SetUp() override {
    if (Tcp() && !test::ServerAnswers()) GTEST_SKIP() << "no Firebird server on 127.0.0.1:3050";
    std::filesystem::create_directories(dir_.Path("zalohy"));
    std::filesystem::permissions(dir_.Path("zalohy"), std::filesystem::perms::all);
    Put("zalohy/ODBackup_1.fbk", "first");
    Put("zalohy/ODBackup_2.fbk", "second");
  }
  void TearDown() override {
    unsetenv("ODB_FAULTCLIENT");
    if (form_) form_->FormDestroy();
    form_.reset();
    data_.reset();
  }
  bool Tcp() const { return std::get<1>(GetParam()) == Route::Tcp; }
  void Put(const std::string& name, const std::string& bytes) { ASSERT_TRUE(fs::WriteFile(dir_.Path(name), bytes)); }
  std::string Get(const std::string& name) const { return fs::ReadFile(dir_.Path(name)).value_or("<missing>"); }

  TFrmODBackupDB& Start(bool verbose) {
    const std::string ini = std::string("[OrdavaDB]\r\nLocalHost=") + (Tcp() ? "N" : "A") +
                            "\r\nServerName=" + (Tcp() ? "localhost" : "") + "\r\nDatabaseName=" +
                            database_->Path(Tcp() ? "tcp.fdb" : "embedded.fdb") + "\r\nLogFileName=" + dir_.Path("odbackup.log") +
                            "\r\n[Backups]\r\nBackupPath=" + dir_.Path("zalohy") +
                            "\r\nBackupCount=3\r\nLastRun=01.12.2026 10:00:00\r\n[Settings]\r\nLogToFile=" +
                            (verbose ? "A" : "N") + "\r\nClearLog=A\r\nEventAction=PauseBackup\r\n";
    Put("odbackup.ini", ini);
    iniBefore_ = Get("odbackup.ini");
    data_ = std::make_unique<TDataODBackup>();
    form_ = std::make_unique<TFrmODBackupDB>(app_, *data_, dir_.Path("odbackup"));
    return *form_;
  }
  void RunWithFault(const char* fault) {
    setenv("ODB_FAULTCLIENT", fault, 1);
    app_.Dispatch([&] { form_->RunBackup(); });
    unsetenv("ODB_FAULTCLIENT");
  }

  static FbTempDir* database_;
  FbTempDir dir_;
  TVirtualClock clock_{TDateTime::Encode(2026, 12, 8, 8, 0, 0)};
  THeadlessApplication app_{clock_};
  std::unique_ptr<TDataODBackup> data_;
  std::unique_ptr<TFrmODBackupDB> form_;
  std::string iniBefore_;
};

FbTempDir* FaultClient::database_ = nullptr;

TEST_P(FaultClient, KeepsTheGenerationsAndLeavesNoConnection) {
  const FaultCase& c = std::get<0>(GetParam());
  Start(c.verbose);
  const int connectionsBefore = OpenServerConnections();
  RunWithFault(c.fault);

  if (*c.boxHas) {
    ASSERT_EQ(app_.Boxes.size(), 1u);
    EXPECT_NE(app_.Boxes[0].text.find(c.boxHas), std::string::npos) << app_.Boxes[0].text;
  } else {
    EXPECT_TRUE(app_.Boxes.empty()) << app_.Boxes[0].text;
  }
  if (c.made) {
    EXPECT_FALSE(fs::EntryExists(dir_.Path("zalohy/ODBackup_1.fbk.part")));
    EXPECT_EQ(Get("zalohy/ODBackup_2.fbk"), "first");
    EXPECT_EQ(Get("zalohy/ODBackup_3.fbk"), "second");
    const std::string restored = dir_.Path("restored.fdb");
    std::filesystem::copy_file(dir_.Path("zalohy/ODBackup_1.fbk"), dir_.Path("copy.fbk"));
    test::RestoreBackup(dir_.Path("copy.fbk"), restored);
    EXPECT_EQ(test::CountRows(restored), 200);
    EXPECT_NE(Get("odbackup.ini"), iniBefore_) << "LastRun not saved";
    return;
  }
  // Every generation keeps its name and its bytes. (A server that opens its
  // file only after the failure may leave a partial one; the next run removes it.)
  EXPECT_EQ(Get("zalohy/ODBackup_1.fbk"), "first");
  EXPECT_EQ(Get("zalohy/ODBackup_2.fbk"), "second");
  EXPECT_FALSE(fs::EntryExists(dir_.Path("zalohy/ODBackup_3.fbk")));
  EXPECT_EQ(Get("odbackup.ini"), iniBefore_) << "LastRun changed";
  EXPECT_EQ(Cp1250ToUtf8(Get("odbackup.log")).find("Záloha byla provedena"), std::string::npos);
  if (Tcp()) {
    EXPECT_EQ(OpenServerConnections(), connectionsBefore) << "a connection was left open";
  }
  EXPECT_FALSE(data_->BackupService().Active());
}

const FaultCase kCases[] = {
    // The server has written the whole backup; only letting go of it failed.
    {"DetachAfterTheOutputEnded", "detach", true, "", true},
    {"Attach", "attach", true, "injected failure of isc_service_attach", false},
    {"Start", "start", true, "injected failure of isc_service_start", false},
    {"FirstQuery", "query@1", true, "injected failure of isc_service_query", false},
    {"TenthQuery", "query@10", true, "injected failure of isc_service_query", false},
    {"ReplyCutShort", "short@4", true, "Unexpected Output buffer value", false},
    {"DetachedAttach", "attach", false, "", false},
    {"DetachedStart", "start", false, "", false},
};

INSTANTIATE_TEST_SUITE_P(Faults, FaultClient,
                         ::testing::Combine(::testing::ValuesIn(kCases),
                                            ::testing::Values(Route::Embedded, Route::Tcp)),
                         [](const auto& info) {
                           return std::string(std::get<0>(info.param).name) +
                                  (std::get<1>(info.param) == Route::Tcp ? "Tcp" : "Embedded");
                         });

// Six planned backups that fail in a row leave no connection behind either.
TEST(FaultClientRepeated, FailedBackupsInARowLeakNoConnections) {
  if (!test::ServerAnswers()) GTEST_SKIP() << "no Firebird server on 127.0.0.1:3050";
  unsetenv("LD_LIBRARY_PATH");
  FbTempDir dir;
  test::CreateTestDatabase(dir.Path("db.fdb"), 10);
  fs::WriteFile(dir.Path("odbackup.ini"), "[OrdavaDB]\r\nLocalHost=N\r\nServerName=localhost\r\nDatabaseName=" +
                                              dir.Path("db.fdb") + "\r\nLogFileName=" + dir.Path("odbackup.log") +
                                              "\r\n[Backups]\r\nBackupPath=" + dir.Path("") +
                                              "\r\n[Settings]\r\nLogToFile=A\r\nEventAction=PauseBackup\r\n");
  TVirtualClock clock(TDateTime::Encode(2026, 12, 8, 8, 0, 0));
  THeadlessApplication app(clock);
  auto data = std::make_unique<TDataODBackup>();
  auto form = std::make_unique<TFrmODBackupDB>(app, *data, dir.Path("odbackup"));
  const int before = OpenServerConnections();
  setenv("ODB_FAULTCLIENT", "start", 1);
  for (int i = 0; i < 6; ++i) app.Dispatch([&] { form->RunBackup(); });
  unsetenv("ODB_FAULTCLIENT");
  EXPECT_EQ(app.Boxes.size(), 6u);
  EXPECT_EQ(OpenServerConnections(), before);
  form->FormDestroy();
}

}  // namespace
}  // namespace odb
