#include "backup/service/FbClient.h"
#include "backup/service/ServiceErrors.h"

#include <gtest/gtest.h>

namespace odb {
namespace {

// The test machine has no Firebird client for Windows.
TEST(FbClientLoad, MissingLibraryNamesWhatWasTried) {
  try {
    (void)FbClient();
    GTEST_SKIP() << "a Firebird client library is installed here";
  } catch (const EServiceClientError& e) {
    EXPECT_EQ(e.Message(),
              "Firebird client library fbclient.dll / gds32.dll not found in the path. "
              "Please install the Firebird client to use this functionality");
  }
}

}  // namespace
}  // namespace odb
