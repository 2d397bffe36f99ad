// Duration display codes on values picked by hand.
#include "reports/duration_format.h"

#include <gtest/gtest.h>

#include "support/data_table.h"

namespace vx {
namespace {

TEST(DurationFormat, EveryCodeOnHandPickedValues) {
  const auto rows = testing::ReadDataTable("duration_formats.tsv");
  ASSERT_FALSE(rows.empty());
  for (const auto& row : rows) {
    EXPECT_EQ(FormatDuration(std::stod(row[0]), std::stoi(row[1])), row[2]) << row[0] << " code " << row[1];
  }
}

TEST(DurationFormat, SpreadsheetCells) {
  SheetDuration clock = SheetDurationCell(3600, 0);
  EXPECT_DOUBLE_EQ(clock.value, 1.0 / 24);
  EXPECT_STREQ(clock.numberFormat, "[h]:mm:ss");
  clock = SheetDurationCell(1.5, 1);
  EXPECT_DOUBLE_EQ(clock.value, 1.5 / 86400);
  EXPECT_STREQ(clock.numberFormat, "[h]:mm:ss.000");
  clock = SheetDurationCell(0.01, 5);  // per cm²: 1 s
  EXPECT_DOUBLE_EQ(clock.value, 1.0 / 86400);
  EXPECT_STREQ(clock.numberFormat, "[h]:mm:ss.000");
  const SheetDuration plain = SheetDurationCell(2.5, 3);
  EXPECT_DOUBLE_EQ(plain.value, 2.5);
  EXPECT_STREQ(plain.numberFormat, "0.000");
  EXPECT_STREQ(SheetDurationCell(2.5, 8).numberFormat, "0");
  EXPECT_DOUBLE_EQ(SheetDurationCell(2.5, 8).value, 250);
}

}  // namespace
}  // namespace vx
