// Duration display codes on values picked by hand.
#include "reports/duration_format.h"

#include <gtest/gtest.h>

#include <limits>

namespace vx {
namespace {

struct Case {
  double seconds;
  int code;
  const char* shown;
};

TEST(DurationFormat, EveryCodeOnHandPickedValues) {
  const Case cases[] = {
      // Clock, whole seconds: 3725.5 s rounds up to 1 h 2 min 6 s.
      {3725.5, 0, "01:02:06"},
      {3725.49, 0, "01:02:05"},
      {0, 0, "00:00:00"},
      {360000, 0, "100:00:00"},  // hours are not wrapped at 100
      // Clock with milliseconds.
      {3725.4996, 1, "01:02:05 500"},
      {61.0004, 1, "00:01:01 000"},
      {59.9996, 1, "00:01:00 000"},
      // Whole seconds.
      {12.5, 2, "13"},
      {12.4999, 2, "12"},
      // Seconds and milliseconds.
      {12.3456, 3, "12.346"},
      {0.0004, 3, "0.000"},
      {0.0006, 3, "0.001"},
      // Per surface area: 4, 7, 10 per mm²; 5, 8, 11 per cm² (x100); 6, 9, 12 per m² (x1e6).
      {0.5, 4, "00:00:00 500"},
      {0.5, 5, "00:00:50 000"},
      {0.0000125, 6, "00:00:12 500"},
      {7.4, 7, "7"},
      {0.074, 8, "7"},
      {0.0000074, 9, "7"},
      {1.25, 10, "1.250"},
      {0.0125, 11, "1.250"},
      {0.00000125, 12, "1.250"},
  };
  for (const Case& c : cases) {
    EXPECT_EQ(FormatDuration(c.seconds, c.code), c.shown) << c.seconds << " code " << c.code;
  }
}

TEST(DurationFormat, NegativeValuesKeepTheirSign) {
  // A latency that was never reached is -1 and must not read as zero.
  EXPECT_EQ(FormatDuration(-1, 0), "-00:00:01");
  EXPECT_EQ(FormatDuration(-1, 3), "-1.000");
  EXPECT_EQ(FormatDuration(-1, 2), "-1");
}

TEST(DurationFormat, UnknownCodesShowAsClock) {
  EXPECT_EQ(FormatDuration(75, -3), "00:01:15");
  EXPECT_EQ(FormatDuration(75, 13), "00:01:15");
}

TEST(DurationFormat, ExtremeValuesDoNotOverflow) {
  EXPECT_EQ(FormatDuration(1e300, 3), "1000000000000.000");
  EXPECT_EQ(FormatDuration(std::numeric_limits<double>::quiet_NaN(), 0), "");
  EXPECT_EQ(FormatDuration(std::numeric_limits<double>::infinity(), 2), "1000000000000");
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
