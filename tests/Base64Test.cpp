#include <gtest/gtest.h>

#include "common/Base64.h"

namespace odb {
namespace {

TEST(Base64, KnownVectorsBothWays) {
  struct Case {
    std::string bytes, text;
  };
  const Case cases[] = {{"", ""},         {"f", "Zg=="},         {"fo", "Zm8="},
                        {"foo", "Zm9v"},  {"foob", "Zm9vYg=="},  {"fooba", "Zm9vYmE="},
                        {"foobar", "Zm9vYmFy"}, {std::string("\0\xff\xfe", 3), "AP/+"}};
  for (const Case& c : cases) {
    EXPECT_EQ(Base64Encode(c.bytes), c.text);
    EXPECT_EQ(Base64Decode(c.text), c.bytes) << c.text;
  }
}

TEST(Base64, RefusesWhatIsNotBase64) {
  for (const char* text : {"Zg=", "Z===", "Zm9v!A==", "Zg==Zg==", "=Zm9", "Zm 9"}) {
    EXPECT_EQ(Base64Decode(text), std::nullopt) << text;
  }
}

}  // namespace
}  // namespace odb
