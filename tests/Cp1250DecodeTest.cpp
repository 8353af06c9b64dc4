#include "common/Cp1250.h"

#include <gtest/gtest.h>

namespace odb {
namespace {

// ASCII goes over in runs; the bytes around a run's edges must not be lost or doubled.
TEST(Cp1250, DecodesRunsOfAsciiBetweenHighBytes) {
  const struct {
    std::string bytes, utf8;
  } cases[] = {
      {"", ""},
      {"log\r\n", "log\r\n"},
      {"\xF8", "ř"},
      {"\xF8x", "řx"},
      {"x\xF8", "xř"},
      {"\xE8\x9A", "čš"},
      {"a\x81" "b", "a\xEF\xBF\xBD" "b"},  // undefined in the code page: U+FFFD
      {"\x80\r\n\x9E", "€\r\nž"},
  };
  for (const auto& c : cases) EXPECT_EQ(Cp1250ToUtf8(c.bytes), c.utf8) << c.utf8;
}

}  // namespace
}  // namespace odb
