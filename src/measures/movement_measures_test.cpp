// Movement measures per zone and the speed-by-range report, on hand-drawn runs.
#include "measures/movement_measures.h"

#include <gtest/gtest.h>

#include "measures/speed_ranges.h"
#include "support/measure_runner.h"
#include "support/zone_builder.h"

namespace vx {
namespace {

using testing::AddZone;
using testing::ArenaSet;
using testing::EvenPath;
using testing::MakeTrajectory;
using testing::RunMeasure;
using testing::Slices;
using testing::WholeTest;

constexpr double kEps = 1e-9;

// Along y = 50 every 100 ms: x = 0, 10, 20, 30, 40, 100, 140, 180. Zone A from x = 100: the
// animal is in it for the last two steps (80 px in 200 ms); before, 100 px in 500 ms.
class Movement : public ::testing::Test {
 protected:
  Movement() : zones(ArenaSet(1000, 100, {0, 0, 999, 99})) {
    AddZone(zones, "A", {100, 0, 999, 99});
    trajectory = MakeTrajectory(
        EvenPath({{0, 50}, {10, 50}, {20, 50}, {30, 50}, {40, 50}, {100, 50}, {140, 50}, {180, 50}},
                 100));
  }
  ZoneSet zones;
  Trajectory trajectory;
};

TEST_F(Movement, AverageSpeedPerZone) {
  const testing::MeasureRun run = RunMeasure(WholeTest(0), trajectory, zones);
  EXPECT_NEAR(run.Value(0, "A ( in )"), 400, kEps);
  EXPECT_NEAR(run.Value(0, "A ( out )"), 200, kEps);
  EXPECT_NEAR(run.Value(0, "Arena ( in )"), 180 / 0.7, 1e-9);
}

TEST_F(Movement, DistanceByZoneInEveryValueKind) {
  struct Case {
    int kind;
    double arena, a, out;
  } cases[] = {
      {0, 180, 80, 100},
      {1, 100, 80 / 1.8, 100 / 1.8},
      {2, 50, 80 / 3.6, 100 / 3.6},
      {3, 180 / 100000.0, 80 / 90000.0, 100 / 10000.0},
      {4, 180, 80 * 0.9, 100 * 0.1},
  };
  for (const Case& c : cases) {
    const testing::MeasureRun run = RunMeasure(WholeTest(3, c.kind), trajectory, zones);
    EXPECT_NEAR(run.Value(0, "Arena ( in )"), c.arena, 1e-9) << c.kind;
    EXPECT_NEAR(run.Value(0, "A ( in )"), c.a, 1e-9) << c.kind;
    EXPECT_NEAR(run.Value(0, "A ( out )"), c.out, 1e-9) << c.kind;
  }
}

TEST_F(Movement, HalvesOfTheArenaShareItsDistance) {
  ZoneSet halves = ArenaSet(1000, 100, {0, 0, 999, 99});
  AddZone(halves, "Left", {0, 0, 499, 99});
  AddZone(halves, "Right", {500, 0, 999, 99});
  std::vector<cv::Point> centres;
  for (int k = 0; k < 40; ++k) centres.emplace_back(100 + 23 * k % 800, 10 + 7 * k % 80);
  const Trajectory wander = MakeTrajectory(EvenPath(centres, 100));
  const testing::MeasureRun run = RunMeasure(Slices(3, 1, 1), wander, halves);
  for (size_t p = 0; p < run.table.PeriodCount(); ++p) {
    EXPECT_NEAR(run.Value(p, "Left ( in )") + run.Value(p, "Right ( in )"), 100, 1e-9) << p;
  }
}

TEST_F(Movement, ActivityAndInactivityInZones) {
  // Still at x = 100 from the third to the seventh point: 400 ms >= the 300 ms delay.
  const Trajectory t = MakeTrajectory(EvenPath(
      {{0, 50}, {50, 50}, {100, 50}, {100, 50}, {100, 50}, {100, 50}, {100, 50}, {150, 50}}, 100));
  struct Case {
    int measure, kind;
    double arena, a;
  } cases[] = {
      {10, 0, 0.3, 0.1}, {11, 0, 0.4, 0.4},
      {10, 1, 300 / 7.0, 100 / 7.0}, {11, 1, 400 / 7.0, 400 / 7.0},
      {10, 2, 300 / 7.0, 20}, {11, 2, 400 / 7.0, 80},
  };
  for (const Case& c : cases) {
    const testing::MeasureRun run = RunMeasure(WholeTest(c.measure, c.kind), t, zones, 1.0, 300);
    EXPECT_NEAR(run.Value(0, "Arena ( in )"), c.arena, 1e-9) << c.measure << "/" << c.kind;
    EXPECT_NEAR(run.Value(0, "A ( in )"), c.a, 1e-9) << c.measure << "/" << c.kind;
  }
  // A delay longer than the still run: everything is activity.
  const testing::MeasureRun lazy = RunMeasure(WholeTest(11), t, zones, 1.0, 401);
  EXPECT_NEAR(lazy.Value(0, "Arena ( in )"), 0, kEps);
}

// Three one-second slices at 10, 35 and 95 mm/s (0.5 mm per pixel, points every 100 ms).
class SpeedByRange : public ::testing::Test {
 protected:
  SpeedByRange() : zones(ArenaSet(1000, 100, {0, 0, 999, 99})) {
    std::vector<cv::Point> centres{{0, 50}};
    for (const int step : {2, 7, 19}) {
      for (int k = 0; k < 10; ++k) centres.emplace_back(centres.back().x + step, 50);
    }
    trajectory = MakeTrajectory(EvenPath(centres, 100), 0.5);
  }
  MeasureDefinition Definition() const {
    MeasureDefinition d = Slices(1, 1);
    return d;
  }
  ZoneSet zones;
  Trajectory trajectory;
};

TEST_F(SpeedByRange, ListedRanges) {
  MeasureDefinition d = Definition();
  d.ranges = {{"slow", 0, 20}, {"medium", 20, 50}, {"fast", 50, 1000}, {"none", 1000, 2000}};
  const testing::MeasureRun run = RunMeasure(d, trajectory, zones);
  ASSERT_EQ(run.periods, 1);
  EXPECT_EQ(run.table.cells, (std::vector<std::string>{"slow", "medium", "fast", "none"}));
  for (size_t r = 0; r < 3; ++r) EXPECT_NEAR(run.Value(0, r), 100.0 / 3, 1e-9) << r;
  EXPECT_EQ(run.Value(0, 3), 0);
}

TEST_F(SpeedByRange, EqualRangesWithAnAutomaticMaximum) {
  MeasureDefinition d = Definition();
  d.rangeMode = 1;
  d.rangeLength = 10;
  const testing::MeasureRun run = RunMeasure(d, trajectory, zones);
  ASSERT_EQ(run.table.CellCount(), 10u);  // up to 95 mm/s
  EXPECT_EQ(run.table.cells[3], "30.00 - 40.00");
  for (size_t r = 0; r < 10; ++r) {
    const bool used = r == 1 || r == 3 || r == 9;
    EXPECT_NEAR(run.Value(0, r), used ? 100.0 / 3 : 0, 1e-9) << r;
  }
}

TEST_F(SpeedByRange, NothingForUnusableRanges) {
  MeasureDefinition d = Definition();
  EXPECT_EQ(RunMeasure(d, trajectory, zones).periods, 0);  // no range
  d.rangeMode = 1;
  d.rangeLength = 0;
  EXPECT_EQ(RunMeasure(d, trajectory, zones).periods, 0);
  d.rangeLength = 10;
  d.rangeMin = 50;
  d.rangeMax = 20;
  EXPECT_EQ(RunMeasure(d, trajectory, zones).periods, 0);
  d.rangeMin = 0;
  d.rangeMax = 0;
  d.rangeLength = 1e-9;  // far too many ranges
  EXPECT_EQ(RunMeasure(d, trajectory, zones).periods, 0);
}

TEST(SpeedRangeTable, TheLastSliceCountsOnlyItsPartOfTheTest) {
  MeasureDefinition d;
  d.measure = 1;
  d.ranges = {{"all", 0, 100}};
  // Slices of 60 s over a test of 150 s: the last one lasts 30 s.
  const MeasureTable table = SpeedRangeTable(d, {5, 50, 500}, {60, 60, 30}, 150);
  ASSERT_EQ(table.values.size(), 1u);
  EXPECT_NEAR(table.values[0], 80, kEps);
  EXPECT_TRUE(SpeedRangeTable(d, {5}, {60}, 0).periods.empty());
}

}  // namespace
}  // namespace vx
