#include "measures/report_periods.h"

#include <gtest/gtest.h>

#include "support/trajectory_builder.h"
#include "support/zone_builder.h"

namespace vx {
namespace {

using testing::PointAt;

std::vector<tMyPoint> Points(int count, int stepMs, int startMs = 0) {
  std::vector<tMyPoint> points;
  for (int k = 0; k < count; ++k) points.push_back(PointAt(k, startMs + k * stepMs, 10 * k, 50));
  return points;
}

PeriodSource Source(const std::vector<tMyPoint>& points) {
  PeriodSource s;
  s.points = &points;
  s.origin = points.empty() ? 0 : points.front().time;
  return s;
}

MeasureDefinition SliceDefinition(int length, int unit) {
  MeasureDefinition d;
  d.sliceLength = length;
  d.sliceUnit = unit;
  return d;
}

TEST(Slices, CountIsTheRoundedDurationDividedByTheLengthRoundedUp) {
  struct Case {
    int lastMs, length, unit;
    size_t count;
  } cases[] = {
      {60400, 1, 1, 1},   // 60 s, one minute
      {60500, 1, 1, 2},   // 61 s
      {119000, 30, 2, 4},
      {3600000, 1, 0, 1},
      {400, 1, 2, 0},     // 0 s: no slice at all
  };
  for (const Case& c : cases) {
    const std::vector<tMyPoint> points{PointAt(0, 0, 1, 1), PointAt(1, c.lastMs, 2, 2)};
    const auto periods = BuildReportPeriods(SliceDefinition(c.length, c.unit), Source(points));
    EXPECT_EQ(periods.size(), c.count) << c.lastMs;
  }
  const std::vector<tMyPoint> points = Points(10, 10000);  // 90 s
  const auto periods = BuildReportPeriods(SliceDefinition(1, 1), Source(points));
  ASSERT_EQ(periods.size(), 2u);
  EXPECT_EQ(periods[1].startMs, 60000);
  EXPECT_EQ(periods[1].endMs, 120000);
  EXPECT_EQ(periods[1].lengthMs, 30000);
  EXPECT_EQ(periods[1].name, "00:01:00 - 00:02:00");
}

TEST(Slices, NoLengthIsTheWholeAnalysis) {
  const std::vector<tMyPoint> points = Points(5, 1000, 7000);
  for (const int length : {0, -3}) {
    const auto periods = BuildReportPeriods(SliceDefinition(length, 1), Source(points));
    ASSERT_EQ(periods.size(), 1u);
    EXPECT_EQ(periods[0].startMs, 0);
    EXPECT_EQ(periods[0].lengthMs, 4000);
    EXPECT_EQ(periods[0].name, "Total");
  }
}

TEST(UserPeriods, KeepTheirBoundsAndNames) {
  MeasureDefinition d;
  d.periodMode = kPeriodList;
  d.periods = {{"first", 0, 2, 0, 0}, {"late", 10, 20, 0, 0}, {"ms", 1, 1, 0, 500}};
  const std::vector<tMyPoint> points = Points(13, 1000);  // 12 s
  const auto periods = BuildReportPeriods(d, Source(points));
  ASSERT_EQ(periods.size(), 3u);
  EXPECT_EQ(periods[0].name, "first");
  EXPECT_EQ(periods[1].lengthMs, 2000);  // up to the last point
  EXPECT_EQ(periods[2].startMs, 1000);
  EXPECT_EQ(periods[2].endMs, 1500);
  d.periodMode = 7;  // the same for behaviour measures
  EXPECT_EQ(BuildReportPeriods(d, Source(points)).size(), 3u);
}

TEST(EventPeriods, StartAndEndWhereTheConditionsFire) {
  MeasureDefinition d;
  d.periodMode = kPeriodEvents;
  d.startEvent.type = kEventAfterDuration;
  d.startEvent.amount = 3;
  d.endEvent.type = kEventAfterDuration;
  d.endEvent.amount = 4;  // counted from the start of the period
  const std::vector<tMyPoint> points = Points(20, 1000, 500);
  auto periods = BuildReportPeriods(d, Source(points));
  ASSERT_EQ(periods.size(), 1u);
  EXPECT_EQ(periods[0].startMs, 3000);
  EXPECT_EQ(periods[0].endMs, 7000);
  d.endEvent.type = kEventNever;  // ends at the last point
  periods = BuildReportPeriods(d, Source(points));
  EXPECT_EQ(periods[0].endMs, 19000);
  d.startEvent.type = kEventNever;  // never starts: empty
  periods = BuildReportPeriods(d, Source(points));
  ASSERT_EQ(periods.size(), 1u);
  EXPECT_TRUE(periods[0].IsEmpty());
  EXPECT_EQ(periods[0].lengthMs, 0);
}

TEST(EventPeriods, ZoneConditionsUseTheZones) {
  ZoneSet zones = testing::ArenaSet(1000, 100, {0, 0, 999, 99});
  const int a = testing::AddZone(zones, "A", {45, 0, 80, 99})->id;
  MeasureDefinition d;
  d.periodMode = 5;
  d.startEvent.type = kEventEnteredZone;
  d.startEvent.zoneId = a;
  d.endEvent.type = kEventLeftZone;
  d.endEvent.zoneId = a;
  d.endEvent.noCountAtStartLeave = true;
  const std::vector<tMyPoint> points = Points(12, 1000);  // x = 0, 10, ..., 110
  PeriodSource source = Source(points);
  source.zones = &zones;
  const auto periods = BuildReportPeriods(d, source);
  EXPECT_EQ(periods[0].startMs, 5000);  // x = 50
  EXPECT_EQ(periods[0].endMs, 9000);    // x = 90
}

}  // namespace
}  // namespace vx
