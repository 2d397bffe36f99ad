#include "db/varint.h"

#include <gtest/gtest.h>

#include "support/data_table.h"

namespace vx {
namespace {

using Bytes = std::vector<uint8_t>;

Bytes Encode(uint32_t value) {
  Bytes out;
  AppendVarint(out, value);
  return out;
}

TEST(Varint, KnownEncodings) {
  const auto rows = testing::ReadDataTable("varint_encodings.tsv");
  ASSERT_FALSE(rows.empty());
  for (const auto& row : rows) {
    const uint32_t value = static_cast<uint32_t>(std::stoul(row[0]));
    Bytes bytes;
    for (size_t i = 0; i + 1 < row[1].size(); i += 2) {
      bytes.push_back(static_cast<uint8_t>(std::stoi(row[1].substr(i, 2), nullptr, 16)));
    }
    EXPECT_EQ(Encode(value), bytes) << value;
    VarintReader reader(bytes);
    uint32_t decoded = 1;
    ASSERT_TRUE(reader.Read(decoded)) << value;
    EXPECT_EQ(decoded, value);
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
