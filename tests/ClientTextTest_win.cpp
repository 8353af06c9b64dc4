// The client library's narrow strings are in the ANSI code page (1252 under
// Wine's default locale, 1250 on a Czech Windows; both hold Czech "á").
#include "service/ClientText.h"

#include <windows.h>

#include <gtest/gtest.h>

#include "service/ServiceBlocks.h"
#include "service/ServiceErrors.h"

namespace odb {
namespace {

TEST(ClientText, GoesOutAndComesBackInTheAnsiCodePage) {
  ASSERT_TRUE(GetACP() == 1250 || GetACP() == 1252) << GetACP();
  const struct {
    std::string utf8, ansi;
  } cases[] = {{"", ""}, {"C:\\data\\ordava.fdb", "C:\\data\\ordava.fdb"}, {"zálohy", "z\xE1lohy"}};
  for (const auto& c : cases) {
    EXPECT_EQ(ToClientText(c.utf8), c.ansi) << c.utf8;
    EXPECT_EQ(FromClientText(c.ansi), c.utf8) << c.utf8;
  }
}

TEST(ClientText, ACharacterTheCodePageLacksIsRefusedByName) {
  for (const std::string text : {"zálohy Ω", "日本"}) {
    try {
      ToClientText(text);
      ADD_FAILURE() << text << " passed";
    } catch (const EServiceClientError& e) {
      EXPECT_NE(std::string(e.what()).find("'" + text + "'"), std::string::npos) << e.what();
    }
  }
  std::string block;
  EXPECT_THROW(AppendTextItem(block, 5, "C:\\Ω\\ODBackup_1.fbk", "BackupFile"), EServiceClientError);
  EXPECT_TRUE(block.empty());
}

TEST(ClientText, StartBlockLengthsCountTheAnsiBytes) {
  std::string block;
  AppendTextItem(block, 5, "C:\\zálohy", "BackupFile");  // 10 bytes UTF-8, 9 ANSI
  EXPECT_EQ(block, std::string("\x05\x09\x00", 3) + "C:\\z\xE1lohy");
}

}  // namespace
}  // namespace odb
