#include "common/Text.h"
#include "config/ListParse.h"
#include "config/TimeOfDay.h"

#include <gtest/gtest.h>

namespace odb {
namespace {

using Items = std::vector<std::string>;

TEST(SplitList, ItemsAsTheDaysKeyAndTimesSeeThem) {
  const struct {
    std::string_view text;
    char delimiter;
    Items items;
  } cases[] = {
      {"1,2,3", ',', {"1", "2", "3"}},
      {"1,,3", ',', {"1", "", "3"}},
      {",5", ',', {"", "5"}},
      {"1,2,", ',', {"1", "2"}},
      {",", ',', {""}},
      {"1 , 2 , 3", ',', {"1", "2", " 3"}},
      {"1, 2, 3", ',', {"1", "2", " 3"}},
      {" a b ", ',', {" a b "}},
      {"\t7\r\n:x", ':', {"7", "x"}},
      {"", ',', {}},
  };
  for (const auto& c : cases) {
    Items list{"stale", "items"};
    EXPECT_EQ(SplitList(list, c.text, c.delimiter), static_cast<int>(c.items.size())) << c.text;
    EXPECT_EQ(list, c.items) << c.text;
  }
}

TEST(SplitList, TakeTokenLeavesTheRest) {
  std::string rest = " 12 :30:15";
  EXPECT_EQ(TakeToken(rest, ':'), "12");
  EXPECT_EQ(rest, "30:15");
  rest = " last ";
  EXPECT_EQ(TakeToken(rest, ':'), " last ");
  EXPECT_EQ(rest, "");
}

TEST(NormalizeTimePart, LeadingZero) {
  const std::pair<std::string_view, std::string_view> cases[] = {
      {"", "0"}, {"0", "0"}, {"00", "0"}, {"05", "5"}, {"09", "9"}, {"9", "9"},
      {"12", "12"}, {"007", "0"}, {"0123", "0"}, {" 5", " 5"}, {"0a", "a"}};
  for (const auto& [in, out] : cases) EXPECT_EQ(NormalizeTimePart(in), out) << in;
}

TEST(NormalizeTime, AcceptedAndRejectedEntries) {
  const std::pair<std::string_view, std::string_view> cases[] = {
      {"8", "08:00:00"},        {"8:5", "08:05:00"},       {"08:05", "08:05:00"},
      {"17:30:15", "17:30:15"}, {"23:59:59", "23:59:59"},  {"0:0:0", "00:00:00"},
      {"0:0", "00:00:00"},      {"00:00:00", "00:00:00"},  {"7:30:15.250", "07:30:15"},
      {"7:30:15,9", "07:30:15"}, {"7:30:.5", "07:30:00"},  {"+7", "07:00:00"},
      {"12:", "12:00:00"},      {":30", "00:30:00"},       {"12::15", "12:00:15"},
      {":", "00:00:00"},        {"1:2:3:4", "01:02:03"},   {"12:007", "12:00:00"},
      {"12 : 30", "12:30:00"},  {"-0", "00:00:00"},
      {"18.30", "18:30:00"},    {"18,30", "18:30:00"},     {"7.5", "07:05:00"},
      {"18.30.15", ""},         {"18.60", ""},             {"18.30:15", ""},
      // rejected
      {"24:00", ""}, {"24:00:00", ""}, {"12:60", ""}, {"12:30:60", ""}, {"-1:00", ""},
      {"100", ""}, {"", ""},
      // not whole numbers: rejected rather than read up to the first odd character
      {"12a:30", ""}, {"ab:cd", ""}, {"-5x", ""}, {"$A", ""}, {"x1", ""}, {"1 2", ""},
      {"99999999999999999999", ""}, {"7:30:1.2.3", "07:30:01"}, {"\xC4\x8D:00", ""},
  };
  for (const auto& [in, out] : cases) {
    std::string text(in);
    const bool accepted = NormalizeTime(text);
    EXPECT_EQ(accepted, !out.empty()) << in;
    if (accepted) {
      EXPECT_EQ(text, out) << in;
      EXPECT_EQ(text.size(), 8u) << in;
    }
  }
}

TEST(ParseInteger, ConvertsWholeTextOnly) {
  const std::pair<std::string_view, std::optional<int32_t>> cases[] = {
      {"5", 5}, {" 42", 42}, {"-7", -7}, {"+3", 3}, {"$A", 10}, {"x1f", 31}, {"-$10", -16},
      {"2147483647", INT32_MAX}, {"-2147483648", INT32_MIN}, {"$FFFFFFFF", -1},
      {"2147483648", std::nullopt}, {"$100000000", std::nullopt}, {"", std::nullopt},
      {"-", std::nullopt}, {"$", std::nullopt}, {"12a", std::nullopt}, {"5 ", std::nullopt},
      {"0x10", std::nullopt}, {"1.5", std::nullopt}};
  for (const auto& [in, out] : cases) EXPECT_EQ(ParseInteger(in), out) << in;
  EXPECT_EQ(ParseInteger("$A", false), std::nullopt);
}

}  // namespace
}  // namespace odb
