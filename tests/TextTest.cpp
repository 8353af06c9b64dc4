#include "common/Cp1250.h"
#include "common/Errors.h"
#include "common/Format.h"

#include <gtest/gtest.h>

namespace odb {
namespace {

TEST(Cp1250, CzechTextRoundTrips) {
  const std::string czech = "Příští zálohování nastaveno: ŽŠČŘĎŤŇ žščřďťňůú";
  const std::string bytes = Utf8ToCp1250(czech);
  EXPECT_EQ(bytes.size(), 46u);
  EXPECT_EQ(static_cast<unsigned char>(bytes[1]), 0xF8);  // ř
  EXPECT_EQ(Cp1250ToUtf8(bytes), czech);
}

TEST(Cp1250, UnmappableAndMalformedInputBecomeQuestionMarks) {
  EXPECT_EQ(Utf8ToCp1250("a€b"), "a\x80" "b");
  EXPECT_EQ(Utf8ToCp1250("日本"), "??");
  EXPECT_EQ(Utf8ToCp1250("\xC3"), "?");
  EXPECT_EQ(Utf8ToCp1250("\xFF\xFEx"), "??x");
}

TEST(Messages, PlaceholderAndErrorBoxFullStop) {
  EXPECT_EQ(FormatMsg("Záloha byla provedena: %s", "09.12.2026 18:00:00"),
            "Záloha byla provedena: 09.12.2026 18:00:00");
  EXPECT_EQ(FormatMsg("Chybný formát č. %d.", 7), "Chybný formát č. 7.");
  EXPECT_EQ(ErrorBoxText("Server Name Missing"), "Server Name Missing.");
  EXPECT_EQ(ErrorBoxText("done."), "done.");
  EXPECT_EQ(ErrorBoxText("path\\"), "path\\.");
  EXPECT_EQ(ErrorBoxText("a-"), "a-");
}

}  // namespace
}  // namespace odb
