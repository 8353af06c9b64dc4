#include "common/Gzip.h"

#include <gtest/gtest.h>

#include <string>

#include "common/FileSystem.h"
#include "tests/TempDir.h"

namespace odb {
namespace {

std::string Noise(size_t size) {
  std::string bytes(size, '\0');
  uint32_t x = 2463534242u;
  for (char& c : bytes) {
    x ^= x << 13, x ^= x >> 17, x ^= x << 5;
    c = static_cast<char>(x);
  }
  return bytes;
}

struct RoundTrip {
  const char* name;
  std::string bytes;
};

TEST(Gzip, WhatIsCompressedComesBackByteForByte) {
  const RoundTrip cases[] = {
      {"empty", ""},
      {"text", "Záloha databáze\r\n"},
      // Larger than one read chunk, and not compressible: output outgrows input.
      {"noise", Noise(600 * 1024)},
      {"repetitive", std::string(3 * 1024 * 1024, 'x')},
  };
  for (const auto& c : cases) {
    SCOPED_TRACE(c.name);
    test::TempDir dir;
    const std::string original = (dir / "a.fbk"), packed = (dir / "a.fbk.gz"), back = (dir / "b.fbk");
    ASSERT_TRUE(fs::WriteFile(original, c.bytes));
    const gzip::TResult r = gzip::CompressFile(original, packed);
    ASSERT_TRUE(r) << r.detail;
    EXPECT_EQ(r.bytesIn, c.bytes.size());
    EXPECT_TRUE(gzip::DecompressesTo(packed, original));
    ASSERT_TRUE(gzip::DecompressFile(packed, back));
    EXPECT_EQ(fs::ReadFile(back), c.bytes);
  }
}

TEST(Gzip, DamageIsFoundAndNothingPartialIsLeft) {
  test::TempDir dir;
  const std::string original = (dir / "a.fbk"), packed = (dir / "a.fbk.gz");
  ASSERT_TRUE(fs::WriteFile(original, Noise(300 * 1024)));
  ASSERT_TRUE(gzip::CompressFile(original, packed));
  const std::string whole = *fs::ReadFile(packed);
  std::string flipped = whole;
  flipped[whole.size() / 2] ^= 0x40;
  const struct {
    const char* name;
    std::string bytes;
  } damaged[] = {{"cut", whole.substr(0, whole.size() - 5)}, {"flipped", flipped}, {"not gzip", "plain"}};
  for (const auto& d : damaged) {
    SCOPED_TRACE(d.name);
    ASSERT_TRUE(fs::WriteFile(packed, d.bytes));
    EXPECT_FALSE(gzip::DecompressesTo(packed, original));
    const std::string out = (dir / "out.fbk");
    EXPECT_EQ(gzip::DecompressFile(packed, out).failure, gzip::TFailure::Corrupt);
    EXPECT_FALSE(fs::EntryExists(out));
  }
}

TEST(Gzip, AnExistingTargetOrMissingSourceFailsWithoutTouchingAnything) {
  test::TempDir dir;
  const std::string original = (dir / "a.fbk"), target = (dir / "t.gz");
  ASSERT_TRUE(fs::WriteFile(original, "data"));
  ASSERT_TRUE(fs::WriteFile(target, "keep"));
  EXPECT_EQ(gzip::CompressFile(original, target).failure, gzip::TFailure::WriteTarget);
  EXPECT_EQ(fs::ReadFile(target), "keep");
  EXPECT_EQ(gzip::CompressFile((dir / "missing.fbk"), (dir / "new.gz")).failure,
            gzip::TFailure::ReadSource);
  EXPECT_FALSE(gzip::DecompressesTo(target, (dir / "missing.fbk")));
}

}  // namespace
}  // namespace odb
