#include "app/Controls.h"
#include "common/Cp1250.h"
#include "common/Errors.h"
#include "common/Format.h"
#include "common/Text.h"
#include "config/TimeOfDay.h"

#include <gtest/gtest.h>

#include <limits>

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

TEST(Trim, EachBlankSetTrimsOnlyItsOwnCharacters) {
  struct Case {
    std::string_view text;
    TBlanks blanks;
    std::string_view trimmed;
  };
  const Case cases[] = {
      {"  a b  ", TBlanks::Space, "a b"},
      {"\t a \t", TBlanks::Space, "\t a \t"},
      {" \t a b \t ", TBlanks::SpaceTab, "a b"},
      {"\r\n a \r\n", TBlanks::SpaceTab, "\r\n a \r\n"},
      {"\r\n\t a \t\r\n", TBlanks::SpaceTabLineBreak, "a"},
      {"\v a \f", TBlanks::SpaceTabLineBreak, "\v a \f"},
      {"\x01\x1f\v a\x7f \f", TBlanks::Controls, "a\x7f"},
      // Bytes of a UTF-8 letter are above 127, never blank.
      {"\xC4\x8D \x01", TBlanks::Controls, "\xC4\x8D"},
      {"", TBlanks::SpaceTab, ""},
      {" \t ", TBlanks::SpaceTab, ""},
  };
  for (const Case& c : cases) {
    EXPECT_EQ(Trim(c.text, c.blanks), c.trimmed) << c.text;
    EXPECT_EQ(IsBlankText(c.text, c.blanks), c.trimmed.empty()) << c.text;
  }
  EXPECT_EQ(TrimLeft("  a  ", TBlanks::Space), "a  ");
  EXPECT_EQ(TrimRight("  a  ", TBlanks::Space), "  a");
}

TEST(ReadDigits, StopsAtTheFirstOtherCharacterTheCountOrTheCap) {
  struct Case {
    std::string_view text;
    size_t start;
    int base;
    size_t maxDigits;
    uint64_t cap;
    uint64_t value;
    size_t count;
  };
  constexpr uint64_t all = UINT64_MAX;
  const Case cases[] = {
      {"123x", 0, 10, SIZE_MAX, all, 123, 3},
      {"ab12:", 2, 10, SIZE_MAX, all, 12, 2},
      {"12345", 0, 10, 2, all, 12, 2},
      {"fF9g", 0, 16, SIZE_MAX, all, 0xFF9, 3},
      {"ff", 0, 10, SIZE_MAX, all, 0, 0},
      {"", 0, 10, SIZE_MAX, all, 0, 0},
      {"123", 0, 10, SIZE_MAX, 100, 100, 3},
      {"99999999999999999999999", 0, 10, SIZE_MAX, all, all, 23},
      {"18446744073709551615", 0, 10, SIZE_MAX, all, all, 20},
      {"18446744073709551614", 0, 10, SIZE_MAX, all, all - 1, 20},
  };
  for (const Case& c : cases) {
    size_t pos = c.start;
    const TDigitRun run = ReadDigits(c.text, pos, c.base, c.maxDigits, c.cap);
    EXPECT_EQ(run.value, c.value) << c.text;
    EXPECT_EQ(run.count, c.count) << c.text;
    EXPECT_EQ(pos, c.start + c.count) << c.text;
  }
}

TEST(TSpinEdit, ValueIsTheWholeTextAsA64BitNumberElseZero) {
  constexpr long long max = std::numeric_limits<long long>::max();
  constexpr long long min = std::numeric_limits<long long>::min();
  const std::pair<std::string_view, long long> cases[] = {
      {"5", 5}, {"+5", 5}, {"-5", -5}, {"007", 7}, {"+-5", -5}, {"-+5", 0}, {" 5", 0},
      {"5 ", 0}, {"", 0}, {"-", 0}, {"+", 0}, {"$A", 0}, {"1.5", 0},
      {"9223372036854775807", max}, {"-9223372036854775808", min},
      {"9223372036854775808", 0}, {"-9223372036854775809", 0}, {"99999999999999999999999", 0}};
  TSpinEdit spin("sedt");
  for (const auto& [text, value] : cases) {
    spin.SetText(std::string(text));
    EXPECT_EQ(spin.Value(), value) << text;
  }
}

// The file's grammar and the table's differ on purpose; these are the texts
// where it shows.
TEST(TimeGrammars, TheFileAcceptsWhatTheTableRefuses) {
  const std::pair<std::string_view, std::string_view> cases[] = {
      {"+7", "07:00:00"}, {"007:30", "00:30:00"}, {"12 : 30", "12:30:00"}, {"x1", ""}};
  for (const auto& [text, normalized] : cases) {
    std::string entry(text);
    EXPECT_EQ(NormalizeTime(entry), !normalized.empty()) << text;
    if (!normalized.empty()) {
      EXPECT_EQ(entry, normalized) << text;
    }
    EXPECT_FALSE(TryStrToTime(text)) << text;
  }
  std::string both = "7:30:15,250";
  EXPECT_TRUE(NormalizeTime(both));
  EXPECT_EQ(both, "07:30:15");
  EXPECT_TRUE(TryStrToTime("7:30:15,250"));
}

}  // namespace
}  // namespace odb
