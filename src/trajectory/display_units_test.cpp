#include "trajectory/display_units.h"

#include <gtest/gtest.h>

#include <tuple>

#include "support/data_table.h"
#include "support/fakes.h"

namespace vx {
namespace {

TEST(DisplayUnits, ReadsTheUnitsSectionAndRefusesUnknownCodes) {
  testing::MemorySettings settings;
  settings.SetInt("Units", "Speed", 2);
  settings.SetInt("Units", "Dist", 1);
  settings.SetInt("Units", "DistTot", 0);
  settings.SetInt("Units", "Accel", 5);  // unknown: default
  settings.SetInt("Units", "Area", 2);
  settings.SetInt("Units", "Speed_Precision", 7);
  settings.SetInt("Units", "Dist_Precision", 0);
  settings.SetInt("Units", "Area_Precision", -2);  // default
  settings.SetInt("Other", "DistTot_Precision", 5);  // another section
  const DisplayUnits units = LoadDisplayUnits(settings);
  EXPECT_EQ(std::tuple(units.speed, units.dist, units.distTot, units.accel, units.area),
            std::tuple(kUnitM, kUnitCm, kUnitMm, kUnitMm, kUnitM));
  EXPECT_EQ(std::tuple(units.speedPrecision, units.distPrecision, units.areaPrecision, units.distTotPrecision),
            std::tuple(7, 0, 2, 2));
  testing::MemorySettings saved;  // what is saved reads back under the same keys
  SaveDisplayUnits(saved, units);
  const DisplayUnits read = LoadDisplayUnits(saved);
  EXPECT_EQ(std::tuple(read.speed, read.dist, read.area, read.speedPrecision, read.distPrecision),
            std::tuple(kUnitM, kUnitCm, kUnitM, 7, 0));
}

TEST(DisplayUnits, ConversionFactors) {
  EXPECT_EQ(LengthToDisplay(1234.0, kUnitMm), 1234.0);
  EXPECT_EQ(LengthToDisplay(1234.0, kUnitCm), 123.4);
  EXPECT_EQ(LengthToDisplay(1234.0, kUnitM), 1.234);
  EXPECT_EQ(LengthToDisplay(1234.0, 3), kInvalidUnitValue);
  EXPECT_EQ(AreaToDisplay(25000.0, kUnitMm), 25000.0);
  EXPECT_EQ(AreaToDisplay(25000.0, kUnitCm), 250.0);
  EXPECT_EQ(AreaToDisplay(25000.0, kUnitM), 0.025);
  EXPECT_EQ(AreaToDisplay(1.0, -1), kInvalidUnitValue);
  // 0.5 (mm/s) per ms is 500 mm/s².
  EXPECT_DOUBLE_EQ(AccelerationToDisplay(0.5, kUnitMm), 500.0);
  EXPECT_DOUBLE_EQ(AccelerationToDisplay(0.5, kUnitCm), 50.0);
  EXPECT_DOUBLE_EQ(AccelerationToDisplay(0.5, kUnitM), 0.5);
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

TEST(DisplayUnits, ValuesWithTheirUnits) {
  DisplayUnits units;  // speed cm/s, dist mm, total cm, accel mm/s², area cm², 2 decimals
  EXPECT_EQ(FormatSpeed(125.0, units), "12.50 cm/s");
  EXPECT_EQ(FormatDistance(3.456, units), "3.46 mm");
  EXPECT_EQ(FormatTotalDistance(12345.0, units), "1234.50 cm");
  EXPECT_EQ(FormatAcceleration(0.25, units), "250.00 mm/s\xC2\xB2");
  EXPECT_EQ(FormatArea(1500.0, units), "15.00 cm\xC2\xB2");
  units.speed = kUnitM;
  units.speedPrecision = 7;
  units.area = kUnitM;
  units.areaPrecision = 7;
  units.accel = kUnitCm;
  units.accelPrecision = 1;
  units.distTot = kUnitM;
  EXPECT_EQ(FormatSpeed(126.0, units), "0.13 m/s");
  EXPECT_EQ(FormatArea(1500.0, units), "0.0015 m\xC2\xB2");
  EXPECT_EQ(FormatAcceleration(0.25, units), "25.0 cm/s\xC2\xB2");
  EXPECT_EQ(FormatTotalDistance(12345.0, units), "12.35 m");
}

}  // namespace
}  // namespace vx
