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
  const struct {
    double seconds;
    int code;
    double value;
    const char* numberFormat;
  } cases[] = {
      {3600, 0, 1.0 / 24, "[h]:mm:ss"},  // clocks are fractions of a day
      {1.5, 1, 1.5 / 86400, "[h]:mm:ss.000"},
      {0.01, 5, 1.0 / 86400, "[h]:mm:ss.000"},  // per cm²: 1 s
      {2.5, 3, 2.5, "0.000"},
      {2.5, 8, 250, "0"},
  };
  for (const auto& c : cases) {
    const SheetDuration cell = SheetDurationCell(c.seconds, c.code);
    EXPECT_DOUBLE_EQ(cell.value, c.value) << c.code;
    EXPECT_STREQ(cell.numberFormat, c.numberFormat) << c.code;
  }
}

}  // namespace
}  // namespace vx
