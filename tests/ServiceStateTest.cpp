#include "service/BackupService.h"
#include "service/ServiceErrors.h"
#include "FakeFbClient.h"

#include <gtest/gtest.h>

namespace odb {
namespace {

using test::FakeFbClient;

template <typename Fn>
std::string ClientError(Fn fn) {
  try {
    fn();
  } catch (const EServiceClientError& e) {
    return e.Message();
  }
  return "(no error)";
}

struct Started {
  FakeFbClient fb;
  TBackupService svc{fb};
  Started() {
    svc.SetDatabaseName("db");
    svc.SetVerbose(true);
    svc.Attach();
    svc.ServiceStart();
  }
};

TEST(ServiceOutput, LinesUntilTheEmptyEndLine) {
  Started s;
  s.fb.replies = {FakeFbClient::Line("gbak: writing tables"),
                  FakeFbClient::Line(std::string("cut\0here", 8)), FakeFbClient::Line("")};
  EXPECT_EQ(s.svc.ReadOutputLine(), "gbak: writing tables");
  EXPECT_FALSE(s.svc.OutputEnded());
  EXPECT_EQ(s.svc.ReadOutputLine(), "cut");
  EXPECT_EQ(s.svc.ReadOutputLine(), "");
  EXPECT_TRUE(s.svc.OutputEnded());
  EXPECT_EQ(s.svc.ReadOutputLine(), "");
  EXPECT_EQ(s.fb.queries, 3);
  EXPECT_TRUE(s.svc.Active());
  // A further start on the same attachment begins anew.
  s.svc.ServiceStart();
  EXPECT_FALSE(s.svc.OutputEnded());
}

TEST(ServiceOutput, TextByReplyUntilTheEmptyOne) {
  Started s;
  s.fb.replies = {FakeFbClient::Text("gbak: one\ngbak: tw", true), FakeFbClient::Text("o\n", false),
                  FakeFbClient::Text("", false)};
  EXPECT_EQ(s.svc.ReadOutputText(), "gbak: one\ngbak: tw");
  EXPECT_EQ(s.svc.ReadOutputText(), "o\n") << "a reply that fitted ends with isc_info_end, yet more may come";
  EXPECT_FALSE(s.svc.OutputEnded());
  EXPECT_EQ(s.svc.ReadOutputText(), "");
  EXPECT_TRUE(s.svc.OutputEnded());
  EXPECT_EQ(s.fb.query_request, "\x3F");
}

TEST(ServiceOutput, UnexpectedRepliesAreRefused) {
  const std::vector<std::string> bad = {
      std::string("\x3F\x02\x00" "ab\x01", 6),    // wrong item
      std::string("\x3E\x02\x00" "ab\x02", 6),    // no end marker after the line
      std::string("\x3E\xFF\x7F", 3),             // length beyond the buffer
  };
  for (const std::string& reply : bad) {
    Started s;
    s.fb.replies = {reply};
    EXPECT_EQ(ClientError([&] { (void)s.svc.ReadOutputLine(); }),
              "Unexpected Output buffer value");
  }
  const std::vector<std::string> badText = {
      std::string("\x3E\x02\x00" "ab\x01", 6),    // a line where text was asked for
      std::string("\x3F\x02\x00" "ab\x04", 6),    // neither end nor truncated after the text
  };
  for (const std::string& reply : badText) {
    Started s;
    s.fb.replies = {reply};
    EXPECT_EQ(ClientError([&] { (void)s.svc.ReadOutputText(); }), "Unexpected Output buffer value");
  }
}

TEST(ServiceState, AttachedAndDetachedRules) {
  FakeFbClient fb;
  TBackupService svc(fb);
  EXPECT_EQ(ClientError([&] { svc.Detach(); }),
            "Cannot perform operation -- service is not attached");
  EXPECT_EQ(ClientError([&] { svc.ServiceStart(); }),
            "Cannot perform operation -- service is not attached");
  EXPECT_EQ(ClientError([&] { (void)svc.ReadOutputLine(); }),
            "Query Parameters missing or incorrect");
  svc.SetActive(true);
  svc.SetActive(true);
  EXPECT_EQ(fb.attaches, 1);
  const std::string attached = "Cannot perform operation -- service is attached";
  EXPECT_EQ(ClientError([&] { svc.Attach(); }), attached);
  EXPECT_EQ(ClientError([&] { svc.SetServerName("host"); }), attached);
  EXPECT_EQ(ClientError([&] { svc.SetProtocol(TProtocol::TCP); }), attached);
  EXPECT_EQ(ClientError([&] { svc.Params().Add("user_name=x"); }), attached);
  EXPECT_EQ(ClientError([&] { svc.Params().Clear(); }), attached);
  svc.SetServerName("");                 // same value: allowed
  svc.SetProtocol(TProtocol::Local);     // same value: allowed
  svc.SetDatabaseName("db");             // free at any time
  svc.SetActive(false);
  EXPECT_EQ(fb.detaches, 1);
}

TEST(ServiceState, FailedCallsLeaveTheComponentDetached) {
  for (int which = 0; which < 3; ++which) {
    SCOPED_TRACE(which);
    Started s;
    s.fb.fail_start = which == 0;
    s.fb.fail_query = which == 1;
    s.fb.fail_detach = which == 2;
    try {
      if (which == 0) s.svc.ServiceStart();
      if (which == 1) (void)s.svc.ReadOutputLine();
      if (which == 2) s.svc.Detach();
      ADD_FAILURE() << "no error";
    } catch (const EServerError& e) {
      EXPECT_EQ(e.Message(), "first line\r\nsecond line");
      EXPECT_EQ(e.SqlCode(), -902);
      EXPECT_EQ(e.ErrorCode(), 335544472);
    }
    EXPECT_FALSE(s.svc.Active());
    s.svc.SetActive(false);  // nothing to do
    // One detach each: the failed one, or the quiet one after a failed start
    // or query, so that no connection outlives the error.
    EXPECT_EQ(s.fb.detaches, 1);
    s.fb.fail_start = s.fb.fail_query = false;
    s.svc.Attach();
    EXPECT_TRUE(s.svc.Active());
  }
}

TEST(ServiceState, FailedAttachAndRoleError) {
  FakeFbClient fb;
  fb.fail_attach = true;
  fb.sql_code = -551;
  fb.messages = {"no permission\n", "for role."};
  TBackupService svc(fb);
  try {
    svc.Attach();
    ADD_FAILURE() << "no error";
  } catch (const EServerRoleError& e) {
    EXPECT_EQ(e.Message(), "no permission\nfor role");
  }
  EXPECT_FALSE(svc.Active());
}

TEST(ServiceState, DestructionDetachesAndNeverThrows) {
  FakeFbClient fb;
  {
    TBackupService svc(fb);
    svc.Attach();
  }
  EXPECT_EQ(fb.detaches, 1);
  fb.fail_detach = true;
  {
    TBackupService svc(fb);
    svc.Attach();
  }
  EXPECT_EQ(fb.detaches, 2);
}

}  // namespace
}  // namespace odb
