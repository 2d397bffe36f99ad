#include "trajectory/display_units.h"

#include <gtest/gtest.h>


#include "support/data_table.h"

namespace vx {
namespace {

TEST(DisplayUnits, ConversionFactors) {
  EXPECT_EQ(LengthToDisplay(1234.0, kUnitCm), 123.4);
  EXPECT_EQ(LengthToDisplay(1234.0, 3), kInvalidUnitValue);
  EXPECT_EQ(AreaToDisplay(25000.0, kUnitM), 0.025);
  // 0.5 (mm/s) per ms is 500 mm/s².
  EXPECT_DOUBLE_EQ(AccelerationToDisplay(0.5, kUnitMm), 500.0);
  EXPECT_DOUBLE_EQ(AccelerationToDisplay(0.5, kUnitCm), 50.0);
}

TEST(DisplayUnits, DistancePerSurfaceCodes) {
  // 2 mm per mm² in every pair of units: code 3 + 3 * length + area.
  const double expected[] = {2.0,   0.2,  0.002,     // plain mm, cm, m
                             2.0,   200.0, 2e6,      // mm per mm², cm², m²
                             0.2,   20.0,  2e5,      // cm per ...
                             0.002, 0.2,   2000.0};  // m per ...
  for (int code = 0; code < 12; ++code) {
    EXPECT_DOUBLE_EQ(DistancePerSurfaceToDisplay(2.0, code), expected[code]) << code;
  }
  EXPECT_EQ(DistancePerSurfaceToDisplay(2.0, 12), kInvalidUnitValue);
  EXPECT_EQ(DistancePerSurfaceToDisplay(2.0, -1), kInvalidUnitValue);
}

TEST(DisplayUnits, NumbersWithFixedOrAutomaticPrecision) {
  const auto rows = testing::ReadDataTable("number_formats.tsv");
  ASSERT_FALSE(rows.empty());
  for (const auto& row : rows) {
    const double value = std::stod(row[0]);
    if (row[1] != "auto") {
      EXPECT_EQ(FormatNumber(value, std::stoi(row[1])), row[2]) << row[0];
      continue;
    }
    EXPECT_EQ(FormatNumber(value, 7), row[2]) << row[0];
    EXPECT_EQ(FormatNumber(value, 12), row[2]) << row[0];
  }
}

}  // namespace
}  // namespace vx
