#include "service/BackupService.h"
#include "service/ServiceErrors.h"
#include "FakeFbClient.h"

#include <gtest/gtest.h>

namespace odb {
namespace {

using test::FakeFbClient;

std::string Bytes(std::initializer_list<int> values) {
  std::string s;
  for (int v : values) s += static_cast<char>(v);
  return s;
}

struct AttachCase {
  const char* name;
  std::vector<std::string> params;
  std::string block;  // expected; empty when an error is expected
  const char* error;
};

TEST(ServiceAttachBlock, BuiltFromParamsLines) {
  const std::vector<AttachCase> cases = {
      {"empty list", {}, Bytes({2, 2}), nullptr},
      {"user and password",
       {"user_name=sysdba", "password=pinewharf"},
       Bytes({2, 2, 28, 6}) + "sysdba" + Bytes({29, 9}) + "pinewharf", nullptr},
      {"capitals and prefix", {"ISC_SPB_USER_NAME=SYSDBA"}, Bytes({2, 2, 28, 6}) + "SYSDBA",
       nullptr},
      {"line without = skipped", {"sysdba", "password=a=b"}, Bytes({2, 2, 29, 3}) + "a=b",
       nullptr},
      {"empty value", {"user_name="}, Bytes({2, 2, 28, 0}), nullptr},
      {"blank name skipped", {" =x", "=y"}, Bytes({2, 2}), nullptr},
      {"blank before the name", {" user_name=sysdba"}, "", "SPB Constant Unknown"},
      {"unknown name", {"user=sysdba"}, "", "SPB Constant Unknown"},
      {"known but not supported", {"sql_role_name=admin"}, "", "SPB Constant Not supported"},
      {"not supported with prefix", {"isc_spb_connect_timeout=5"}, "",
       "SPB Constant Not supported"},
  };
  for (const AttachCase& c : cases) {
    SCOPED_TRACE(c.name);
    FakeFbClient fb;
    TBackupService svc(fb);
    svc.Params().Assign(c.params);
    if (c.error) {
      try {
        svc.Attach();
        ADD_FAILURE() << "no error";
      } catch (const EServiceClientError& e) {
        EXPECT_EQ(e.Message(), c.error);
      }
      EXPECT_EQ(fb.attaches, 0);
      EXPECT_FALSE(svc.Active());
    } else {
      svc.Attach();
      EXPECT_EQ(fb.attach_block, c.block);
    }
  }
}

TEST(ServiceAttachBlock, ValueOver255BytesIsRefusedNotTruncated) {
  FakeFbClient fb;
  TBackupService svc(fb);
  svc.Params().Add("password=" + std::string(255, 'p'));
  svc.Attach();
  EXPECT_EQ(fb.attach_block.size(), 2u + 2u + 255u);
  svc.Detach();
  svc.Params().Assign({"password=" + std::string(256, 'p')});
  EXPECT_THROW(svc.Attach(), EServiceClientError);
  EXPECT_EQ(fb.attaches, 1);
}

TEST(ServiceAttachBlock, RebuiltOnlyAfterParamsChange) {
  FakeFbClient fb;
  TBackupService svc(fb);
  svc.Params().Add("user_name=a");
  svc.Attach();
  svc.Detach();
  fb.attach_block.clear();
  svc.Attach();  // same block reused
  EXPECT_EQ(fb.attach_block, Bytes({2, 2, 28, 1}) + "a");
  svc.Detach();
  svc.Params().Assign({"user_name=bc"});
  svc.Attach();
  EXPECT_EQ(fb.attach_block, Bytes({2, 2, 28, 2}) + "bc");
}

TEST(ServiceName, FollowsProtocolAndServerName) {
  FakeFbClient fb;
  TBackupService svc(fb);
  EXPECT_EQ(svc.Protocol(), TProtocol::Local);
  svc.SetServerName(" db host ");
  EXPECT_EQ(svc.Protocol(), TProtocol::TCP);
  svc.Attach();
  EXPECT_EQ(fb.service_name, " db host :service_mgr");
  svc.Detach();
  svc.SetProtocol(TProtocol::Local);
  EXPECT_EQ(svc.ServerName(), "");
  svc.Attach();
  EXPECT_EQ(fb.service_name, "service_mgr");
  svc.Detach();
  svc.SetServerName("x");
  svc.SetServerName("");
  EXPECT_EQ(svc.Protocol(), TProtocol::Local);
  svc.SetProtocol(TProtocol::TCP);
  try {
    svc.Attach();
    ADD_FAILURE() << "no error";
  } catch (const EServiceClientError& e) {
    EXPECT_EQ(e.Message(), "Server Name Missing");
  }
}

TEST(ServiceStartBlock, BackupBlockByteForByte) {
  FakeFbClient fb;
  TBackupService svc(fb);
  svc.Attach();
  svc.SetDatabaseName("/db/ord.fdb");                       // 11 bytes
  svc.BackupFile() = {"  ", "/bk/ODBackup_1.fbk=", ""};     // 19 bytes, "=" kept
  svc.SetVerbose(true);
  svc.SetOptions({TBackupOption::NoGarbageCollection});
  svc.ServiceStart();
  const std::string expected = Bytes({1, 106, 11, 0}) + "/db/ord.fdb" + Bytes({108, 8, 0, 0, 0}) +
                               Bytes({107, 5, 19, 0}) + "/bk/ODBackup_1.fbk=";
  EXPECT_EQ(fb.start_block.size(), 43u);
  EXPECT_EQ(fb.start_block, expected);

  svc.SetVerbose(false);
  svc.SetOptions({});
  svc.BackupFile().clear();
  svc.ServiceStart();
  EXPECT_EQ(fb.start_block, Bytes({1, 106, 11, 0}) + "/db/ord.fdb" + Bytes({108, 0, 0, 0, 0}));
}

TEST(ServiceStartBlock, OptionBitsFollowMemberOrder) {
  TBackupOptions all;
  for (int m = 0; m <= static_cast<int>(TBackupOption::ConvertExtTables); ++m) {
    all.Include(static_cast<TBackupOption>(m));
  }
  EXPECT_EQ(all.Byte(), 0x7F);
  EXPECT_EQ(TBackupOptions({TBackupOption::IgnoreLimbo, TBackupOption::ConvertExtTables}).Byte(),
            0x42);
}

TEST(ServiceStartBlock, LengthLimitsAndMissingDatabase) {
  FakeFbClient fb;
  TBackupService svc(fb);
  svc.Attach();
  try {
    svc.ServiceStart();
    ADD_FAILURE() << "no error";
  } catch (const EServiceClientError& e) {
    EXPECT_EQ(e.Message(), "start Parameters missing or incorrect");
  }
  svc.SetDatabaseName(std::string(65536, 'd'));
  EXPECT_THROW(svc.ServiceStart(), EServiceClientError);
  svc.SetDatabaseName("db");
  svc.BackupFile() = {std::string(65536, 'f')};
  EXPECT_THROW(svc.ServiceStart(), EServiceClientError);
  EXPECT_EQ(fb.starts, 0);
  svc.BackupFile() = {std::string(65000, 'f')};
  svc.ServiceStart();
  EXPECT_EQ(fb.start_block.size(), 1u + 5u + 5u + 3u + 65000u);
}

}  // namespace
}  // namespace odb
