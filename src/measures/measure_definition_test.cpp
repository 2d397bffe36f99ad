#include "measures/measure_definition.h"

#include <gtest/gtest.h>

#include "base/messages.h"

namespace vx {
namespace {

MeasureDefinition Parsed(const std::string& text) {
  MeasureDefinition d;
  EXPECT_TRUE(ParseMeasureConfig(text, d)) << text;
  return d;
}

TEST(MeasureConfig, EachMeasurePartIsWrittenItsOwnWay) {
  struct Case {
    int measure;
    const char* part;  // between the measure and the period part
  } cases[] = {
      {1, "2|,3,|1|4|"},   {3, "2|,3,|2|4|"},      {4, "2|,3,|0|4|1|"},   {5, "2|,3,|0|4|0|"},
      {9, "2|,3,|7|4|1|"}, {12, "2|,3,|7|4|"},     {16, "0|,3,|2|4|"},    {22, "2|,3,|7|4|"},
      {25, "2|,3,|0|4|0|"}, {26, "8||7|9|10|"},    {27, "0||0|0|0|"},
  };
  for (const Case& c : cases) {
    MeasureDefinition d;
    d.measure = c.measure;
    d.valueKind = 2;
    d.zoneSelection = ",3,";
    d.speedUnit = 1;
    d.distanceUnit = 2;
    d.durationFormat = 7;
    d.precision = 4;
    d.ignoreInZoneAtStart = true;
    d.heatMap = {8, 9, 10};
    const std::string text = FormatMeasureConfig(d);
    const std::string expected = "5|" + std::to_string(c.measure) + "|" + c.part + "0|0|1|-2|0|0|";
    EXPECT_EQ(text, expected);
    const MeasureDefinition back = Parsed(text);
    EXPECT_EQ(FormatMeasureConfig(back), text) << c.measure;
  }
}

TEST(MeasureConfig, PeriodPartsRoundTrip) {
  MeasureDefinition d;
  d.measure = 12;
  d.periodMode = kPeriodList;
  d.periods = {{"first", 0, 60, 0, 0}, {"second", 60, 300, 0, 0}};
  EXPECT_EQ(FormatMeasureConfig(d), "5|12|0||0|-1|3|2|first|0|60|second|60|300|-2|0|0|");
  EXPECT_EQ(Parsed(FormatMeasureConfig(d)).periods, d.periods);

  d.periodMode = kPeriodEvents;
  d.startEvent.type = kEventAfterDuration;
  d.startEvent.amount = 30;
  d.endEvent.type = kEventEnteredZone;
  d.endEvent.zoneId = 4;
  d.endEvent.count = 2;
  const std::string text = FormatMeasureConfig(d);
  EXPECT_EQ(text, "5|12|0||0|-1|1|2;-1;2;-1;30;2;1;-1;0;0;|2;-1;6;4;0;2;2;-1;0;0;|-2|0|0|");
  const MeasureDefinition back = Parsed(text);
  EXPECT_EQ(back.startEvent.Encode(), d.startEvent.Encode());
  EXPECT_EQ(back.endEvent.Encode(), d.endEvent.Encode());
}

TEST(MeasureConfig, RangePartsRoundTrip) {
  MeasureDefinition d;
  d.measure = 1;
  d.sliceLength = 10;
  d.sliceUnit = 2;
  d.ranges = {{"slow", 0, 20.5}, {"fast", 20.5, 1000}};
  EXPECT_EQ(FormatMeasureConfig(d), "5|1|0||0|-1|0|10|2|-2|0|2|slow|0.00|20.50|fast|20.50|1000.00|");
  EXPECT_EQ(Parsed(FormatMeasureConfig(d)).ranges, d.ranges);
  d.rangeMode = 1;
  d.rangeLength = 10;
  d.rangeMin = 5;
  d.rangeMax = 0;
  EXPECT_EQ(FormatMeasureConfig(d), "5|1|0||0|-1|0|10|2|-2|1|10.00|5.00|0.00|");
  const MeasureDefinition back = Parsed(FormatMeasureConfig(d));
  EXPECT_EQ(back.rangeMode, 1);
  EXPECT_EQ(back.rangeLength, 10);
  EXPECT_EQ(back.rangeMin, 5);
}

TEST(MeasureConfig, OlderVersionsHaveNoFifthMeasureField) {
  const MeasureDefinition d = Parsed("4|4|0|,2,|0|3|0|5|2|-2|0|0|");
  EXPECT_FALSE(d.ignoreInZoneAtStart);
  EXPECT_EQ(d.sliceLength, 5);
  EXPECT_EQ(d.sliceUnit, 2);
  const MeasureDefinition v5 = Parsed("5|4|0|,2,|0|3|1|0|5|2|-2|0|0|");
  EXPECT_TRUE(v5.ignoreInZoneAtStart);
  EXPECT_EQ(v5.sliceLength, 5);
}

TEST(MeasureConfig, OutOfRangeFieldsFallBack) {
  const MeasureDefinition d = Parsed("5|12|1|,2,|44|9|0|1|1|");
  EXPECT_EQ(d.durationFormat, 0);
  EXPECT_EQ(d.precision, -1);
  EXPECT_EQ(d.further, -2);  // missing
  const MeasureDefinition speed = Parsed("5|0|0||3|6|0|1|1|");
  EXPECT_EQ(speed.speedUnit, 0);
  EXPECT_EQ(speed.precision, 6);
  const MeasureDefinition x = Parsed("5|12|x|,2,|1|2|9|1|1|");
  EXPECT_EQ(x.valueKind, 0);
  EXPECT_EQ(x.periodMode, 0);
}

TEST(MeasureConfig, UnreadableTextsAreRefused) {
  for (const char* text : {"", "x|1|", "6|12|", "5|29|", "5|-1|", "5|", "5|abc|"}) {
    MeasureDefinition d;
    d.measure = 7;
    EXPECT_FALSE(ParseMeasureConfig(text, d)) << text;
    EXPECT_EQ(d.measure, 0) << text;
  }
  MeasureDefinition truncated;
  EXPECT_TRUE(ParseMeasureConfig("5|12|1|", truncated));
  EXPECT_EQ(truncated.valueKind, 1);
  MeasureDefinition manyPeriods;
  EXPECT_TRUE(ParseMeasureConfig("5|12|0||0|-1|3|1000000|a|0|1|", manyPeriods));
  EXPECT_EQ(manyPeriods.periods.size(), 1u);
}

TEST(MeasureConfig, Validation) {
  MeasureDefinition d;
  d.measure = 1;
  EXPECT_EQ(ValidateMeasureDefinition(d), msg::kRangePeriodZero);
  d.sliceLength = 30;
  d.sliceUnit = 2;
  EXPECT_EQ(ValidateMeasureDefinition(d), 0);
  d.rangeMode = 1;
  EXPECT_EQ(ValidateMeasureDefinition(d), msg::kRangePeriodZero);
  d.rangeLength = 10;
  d.rangeMin = 50;
  d.rangeMax = 20;
  EXPECT_EQ(ValidateMeasureDefinition(d), msg::kMaxBelowMin);
  d.rangeMax = 0;
  EXPECT_EQ(ValidateMeasureDefinition(d), 0);
  MeasureDefinition other;
  other.measure = 12;
  EXPECT_EQ(ValidateMeasureDefinition(other), 0);
}

}  // namespace
}  // namespace vx
