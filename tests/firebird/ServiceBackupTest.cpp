#include "FbFixture.h"
#include "service/BackupService.h"
#include "service/ServiceErrors.h"

#include <gtest/gtest.h>

#include <vector>

namespace odb {
namespace {

using test::FbTempDir;

constexpr int kRows = 700;

enum class Route { Embedded, Tcp };

class ServiceBackup : public ::testing::TestWithParam<Route> {
 protected:
  void SetUp() override {
    if (GetParam() == Route::Tcp && !test::ServerAnswers()) {
      GTEST_SKIP() << "no Firebird server on 127.0.0.1:3050 (run scripts/start-firebird.sh)";
    }
    database_ = dir_.Path("source.fdb");
    test::CreateTestDatabase(database_, kRows);
    Configure(svc_, test::kServerPassword);
  }

  void Configure(TBackupService& svc, const std::string& password) {
    svc.SetLoginPrompt(false);
    if (GetParam() == Route::Tcp) svc.SetServerName("localhost");
    svc.Params().Assign({"user_name=sysdba", "password=" + password});
    svc.SetDatabaseName(database_);
    svc.BackupFile() = {dir_.Path("backup.fbk")};
    svc.SetVerbose(true);
    svc.SetOptions({TBackupOption::NoGarbageCollection});
  }

  std::vector<std::string> BackupReadToEnd() {
    svc_.Attach();
    svc_.ServiceStart();
    std::vector<std::string> lines;
    while (!svc_.OutputEnded()) lines.push_back(svc_.ReadOutputLine());
    svc_.Detach();
    return lines;
  }

  // The server's error, raised by whichever call it comes through.
  template <typename Fn>
  EServerError ServerError(Fn fn) {
    try {
      fn();
    } catch (const EServerError& e) {
      return e;
    }
    ADD_FAILURE() << "no server error";
    return EServerError("", 0, 0);
  }

  void ExpectUsableAgain() {
    EXPECT_FALSE(svc_.Active());
    svc_.SetDatabaseName(database_);
    svc_.BackupFile() = {dir_.Path("again.fbk")};
    svc_.SetVerbose(false);
    svc_.Attach();
    svc_.Detach();
  }

  FbTempDir dir_;
  std::string database_;
  TBackupService svc_;
};

TEST_P(ServiceBackup, VerboseBackupRestoresEveryRow) {
  const std::vector<std::string> lines = BackupReadToEnd();
  ASSERT_GT(lines.size(), 10u);
  EXPECT_EQ(lines.back(), "");
  // The server pads the table name with blanks.
  bool wrote_t = false;
  for (const std::string& line : lines) wrote_t |= line.find("writing data for table T ") != std::string::npos;
  EXPECT_TRUE(wrote_t) << "no output line names table T";
  test::RestoreBackup(dir_.Path("backup.fbk"), dir_.Path("restored.fdb"));
  EXPECT_EQ(test::CountRows(dir_.Path("restored.fdb")), kRows);
}

TEST_P(ServiceBackup, MissingDatabaseReportsTheServersText) {
  svc_.SetDatabaseName(dir_.Path("nothere.fdb"));
  const EServerError e = ServerError([&] { BackupReadToEnd(); });
  EXPECT_NE(e.Message().find("nothere.fdb"), std::string::npos) << e.Message();
  ExpectUsableAgain();
}

TEST_P(ServiceBackup, BackupIntoMissingFolderFailsWhileReading) {
  svc_.BackupFile() = {dir_.Path("no/such/folder/backup.fbk")};
  svc_.Attach();
  svc_.ServiceStart();
  const EServerError e = ServerError([&] {
    while (!svc_.OutputEnded()) (void)svc_.ReadOutputLine();
  });
  EXPECT_NE(e.Message().find("cannot open backup file"), std::string::npos) << e.Message();
  ExpectUsableAgain();
}

INSTANTIATE_TEST_SUITE_P(Routes, ServiceBackup, ::testing::Values(Route::Embedded, Route::Tcp),
                         [](const auto& info) {
                           return info.param == Route::Embedded ? "Embedded" : "Tcp";
                         });

class ServiceServerErrors : public ::testing::Test {
 protected:
  void SetUp() override {
    if (!test::ServerAnswers()) {
      GTEST_SKIP() << "no Firebird server on 127.0.0.1:3050 (run scripts/start-firebird.sh)";
    }
  }
  std::string AttachError(const std::string& server, const std::string& password) {
    svc_.SetServerName(server);
    svc_.Params().Assign({"user_name=sysdba", "password=" + password});
    try {
      svc_.Attach();
    } catch (const EServerError& e) {
      EXPECT_FALSE(svc_.Active());
      EXPECT_NE(e.SqlCode(), 0);
      return e.Message();
    }
    ADD_FAILURE() << "attached";
    return {};
  }
  TBackupService svc_;
};

TEST_F(ServiceServerErrors, WrongPasswordThenRightOne) {
  EXPECT_NE(AttachError("localhost", "wrong").find("user name and password"), std::string::npos);
  svc_.Params().Assign({"user_name=sysdba", std::string("password=") + test::kServerPassword});
  svc_.Attach();
  EXPECT_TRUE(svc_.Active());
}

TEST_F(ServiceServerErrors, ClosedPort) {
  const std::string text = AttachError("127.0.0.1/3051", test::kServerPassword);
  EXPECT_NE(text.find("Unable to complete network request"), std::string::npos) << text;
  EXPECT_NE(text.back(), '.');
}

}  // namespace
}  // namespace odb
