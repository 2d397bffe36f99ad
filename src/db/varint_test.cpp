#include "db/varint.h"

#include <gtest/gtest.h>


namespace vx {
namespace {

using Bytes = std::vector<uint8_t>;

Bytes Encode(uint32_t value) {
  Bytes out;
  AppendVarint(out, value);
  return out;
}

TEST(Varint, KnownEncodings) {
  const struct {
    uint32_t value;
    Bytes bytes;
  } cases[] = {
      {0, {0x00}},
      {1, {0x01}},
      {127, {0x7F}},
      {128, {0x80, 0x01}},
      {300, {0xAC, 0x02}},
      {16383, {0xFF, 0x7F}},
      {16384, {0x80, 0x80, 0x01}},
      {0xFFFFFFFFu, {0xFF, 0xFF, 0xFF, 0xFF, 0x0F}},
  };
  for (const auto& c : cases) {
    EXPECT_EQ(Encode(c.value), c.bytes) << c.value;
    VarintReader reader(c.bytes);
    uint32_t decoded = 1;
    ASSERT_TRUE(reader.Read(decoded)) << c.value;
    EXPECT_EQ(decoded, c.value);
    EXPECT_TRUE(reader.AtEnd());
  }
}

TEST(Varint, ReaderRefusesValuesCutShortAndSticksToFailure) {
  const Bytes cut = {0x80, 0x80};
  VarintReader reader(cut);
  uint32_t value = 5;
  EXPECT_FALSE(reader.Read(value));
  EXPECT_EQ(value, 0u);
  EXPECT_TRUE(reader.failed());
  EXPECT_FALSE(reader.Read(value));

  VarintReader empty(nullptr, 0);
  EXPECT_FALSE(empty.Read(value));
}

TEST(Varint, ReaderRefusesASixthByte) {
  const Bytes tooLong = {0x80, 0x80, 0x80, 0x80, 0x80, 0x01};
  VarintReader reader(tooLong);
  uint32_t value = 0;
  EXPECT_FALSE(reader.Read(value));
  // The same value in five bytes reads, dropping the bits beyond 32.
  const Bytes fiveBytes = {0xFF, 0xFF, 0xFF, 0xFF, 0x7F};
  VarintReader five(fiveBytes);
  ASSERT_TRUE(five.Read(value));
  EXPECT_EQ(value, 0xFFFFFFFFu);
}

TEST(Varint, StoredQuantitiesAreClamped) {
  EXPECT_EQ(ClampToVarint(-5), 0u);
  EXPECT_EQ(ClampToVarint(0), 0u);
  EXPECT_EQ(ClampToVarint(1), 1u);
  EXPECT_EQ(ClampToVarint(0xFFFFFFFFll), 0xFFFFFFFFu);
  EXPECT_EQ(ClampToVarint(0x100000000ll), 0xFFFFFFFFu);
}

}  // namespace
}  // namespace vx
