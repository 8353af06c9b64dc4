// Asking a started backup whether it still runs, through a scripted client.
#include <gtest/gtest.h>

#include "FakeFbClient.h"
#include "service/BackupService.h"
#include "service/ServiceErrors.h"

namespace odb {
namespace {

using test::FakeFbClient;

struct Started {
  FakeFbClient fb;
  TBackupService svc{fb};
  Started() {
    svc.SetDatabaseName("db");
    svc.Attach();
    svc.ServiceStart();
  }
};

TEST(ServiceRunning, AsksWithAShortTimeoutAndReadsTheFlag) {
  Started s;
  s.fb.replies = {FakeFbClient::Running(true), FakeFbClient::Running(false)};
  EXPECT_TRUE(s.svc.QueryRunning());
  // isc_info_svc_timeout with 1 second as 4 bytes; isc_info_svc_running alone.
  EXPECT_EQ(s.fb.query_send, std::string("\x40\x01\0\0\0", 5));
  EXPECT_EQ(s.fb.query_request, "\x43");
  EXPECT_FALSE(s.svc.QueryRunning());
  EXPECT_TRUE(s.svc.Active());
}

TEST(ServiceRunning, AnErrorOfTheEndedBackupIsRaised) {
  Started s;
  s.fb.fail_query = true;
  s.fb.messages = {"cannot open backup file /x/ODBackup_1.fbk", "Exiting before completion due to errors"};
  try {
    (void)s.svc.QueryRunning();
    ADD_FAILURE() << "no error";
  } catch (const EServerError& e) {
    EXPECT_EQ(e.Message(), "cannot open backup file /x/ODBackup_1.fbk\r\nExiting before completion due to errors");
  }
  EXPECT_FALSE(s.svc.Active());
}

TEST(ServiceRunning, RefusesWhatItCannotAsk) {
  const auto clientError = [](auto fn) -> std::string {
    try {
      fn();
    } catch (const EServiceClientError& e) {
      return e.Message();
    }
    return "(no error)";
  };
  FakeFbClient fb;
  TBackupService idle{fb};
  EXPECT_EQ(clientError([&] { (void)idle.QueryRunning(); }), "Query Parameters missing or incorrect");
  Started s;
  s.fb.replies = {FakeFbClient::Line("a line instead")};
  EXPECT_EQ(clientError([&] { (void)s.svc.QueryRunning(); }), "Unexpected Output buffer value");
}

}  // namespace
}  // namespace odb
