// Report values shown in the report's own units, precision and duration format.
#include "reports/report_display.h"

#include <gtest/gtest.h>

namespace vx {
namespace {

MeasureDefinition Def(int measure, int valueKind = 0) {
  MeasureDefinition d;
  d.measure = measure;
  d.valueKind = valueKind;
  return d;
}

TEST(ReportDisplay, SpeedsAndDistancesInTheReportsUnit) {
  MeasureDefinition speed = Def(0);
  speed.speedUnit = 1;
  speed.precision = 1;
  EXPECT_EQ(DisplayResultValue(speed, 123.0), "12.3 cm/s");
  MeasureDefinition distance = Def(3);
  distance.distanceUnit = 2;
  distance.precision = 3;
  EXPECT_EQ(DisplayResultValue(distance, 1500), "1.500 m");
  distance.precision = -1;  // automatic
  EXPECT_EQ(DisplayResultValue(distance, 15), "0.015 m");
  MeasureDefinition share = Def(3, 1);
  share.precision = 0;
  EXPECT_EQ(DisplayResultValue(share, 33.6), "34");
  MeasureDefinition perSurface = Def(3, 3);
  perSurface.distanceUnit = 4;  // mm per cm²: x100
  perSurface.precision = 2;
  EXPECT_EQ(DisplayResultValue(perSurface, 0.015), "1.50");
}

TEST(ReportDisplay, CountsAndNeverReachedDistances) {
  EXPECT_EQ(DisplayResultValue(Def(4), 3), "3");
  MeasureDefinition nearest = Def(16);
  nearest.distanceUnit = 1;
  nearest.precision = 2;
  EXPECT_EQ(DisplayResultValue(nearest, 25), "2.50 cm");
  EXPECT_EQ(DisplayResultValue(nearest, -1), "-");
  EXPECT_EQ(DisplayResultValue(Def(27), 1), "");
}

}  // namespace
}  // namespace vx
