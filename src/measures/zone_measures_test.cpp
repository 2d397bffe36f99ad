// Zone measures on trajectories drawn by hand, against values worked out on paper.
#include "measures/zone_measures.h"

#include <gtest/gtest.h>

#include <cmath>
#include <map>

#include "support/measure_runner.h"
#include "support/zone_builder.h"

namespace vx {
namespace {

using testing::AddZone;
using testing::ArenaSet;
using testing::EvenPath;
using testing::MakeTrajectory;
using testing::PointAt;
using testing::RunMeasure;
using testing::Slices;
using testing::WholeTest;

constexpr double kEps = 1e-9;
const char* const kLabels[] = {"Arena ( in )", "A ( in )", "B ( in )", "A ( out )", "B ( out )"};

// An arena of 1000 x 100 pixels; zone A is its right part from x = 100, zone B a box in the
// lower left corner that the animal never enters. The animal runs along y = 20 from x = 0 to
// x = 180 in steps of 20 pixels every 100 ms: it enters A at the sixth point (t = 500 ms).
class StraightRun : public ::testing::Test {
 protected:
  StraightRun()
      : zones(ArenaSet(1000, 100, {0, 0, 999, 99})),
        trajectory(MakeTrajectory(EvenPath(testing::Line({0, 20}, {180, 20}, 10), 100))) {
    AddZone(zones, "A", {100, 0, 999, 99});
    AddZone(zones, "B", {0, 60, 50, 99});
  }

  void Expect(const MeasureDefinition& d, const std::vector<double>& expected,
              double scale = 1.0) {
    const testing::MeasureRun run = RunMeasure(d, trajectory, zones, scale);
    ASSERT_EQ(run.periods, 1) << "measure " << d.measure;
    ASSERT_EQ(run.table.cells, std::vector<std::string>(std::begin(kLabels), std::end(kLabels)));
    for (size_t c = 0; c < expected.size(); ++c) {
      EXPECT_NEAR(run.Value(0, c), expected[c], 1e-6) << "measure " << d.measure << " " << kLabels[c];
    }
  }

  ZoneSet zones;
  Trajectory trajectory;
};

TEST_F(StraightRun, TimesInZonesAndTheirComplements) {
  Expect(WholeTest(12), {0.9, 0.4, 0, 0.5, 0.9});
  Expect(WholeTest(2), {0.9, 0.4, 0, 0.5, 0.9});
  Expect(WholeTest(12, 1), {100, 400.0 / 9, 0, 500.0 / 9, 100});       // % of the 900 ms
  Expect(WholeTest(12, 2), {0.9 / 2.7 * 100, 0.4 / 2.7 * 100, 0, 0.5 / 2.7 * 100, 0.9 / 2.7 * 100});
  // Areas: arena 1000 x 100, A 900 x 100, B 51 x 40 pixels; at 0.5 mm per pixel.
  Expect(WholeTest(12, 3), {0.9 / 25000, 0.4 / 22500, 0, 0.5 / 2500, 0.9 / (25000 - 510)}, 0.5);
  Expect(WholeTest(12, 4), {0.9, 0.4 * 0.9, 0, 0.5 * 0.1, 0.9 * (100000 - 2040) / 100000.0});
}

TEST_F(StraightRun, EntriesExitsAndVisits) {
  Expect(WholeTest(4), {1, 1, 0, 1, 1});  // being in a zone at the start is an entry
  MeasureDefinition ignoring = WholeTest(4);
  ignoring.ignoreInZoneAtStart = true;
  Expect(ignoring, {0, 1, 0, 0, 0});
  Expect(WholeTest(5), {0, 0, 0, 1, 0});
  Expect(WholeTest(14), {1, 1, 0, 1, 1});
  Expect(WholeTest(6), {0.9, 0.4, 0, 0.5, 0.9});
  Expect(WholeTest(7), {0.9, 0.4, 0, 0.5, 0.9});  // visits in progress at the end count
  Expect(WholeTest(8), {0.9, 0.4, 0, 0.5, 0.9});
}

TEST_F(StraightRun, Latencies) {
  Expect(WholeTest(9), {0, 0.5, -1, 0, 0});
  MeasureDefinition ignoring = WholeTest(9);
  ignoring.ignoreInZoneAtStart = true;
  Expect(ignoring, {-1, 0.5, -1, -1, -1});
  Expect(WholeTest(15), {0, 0.5, -1, 0, 0});
}

TEST_F(StraightRun, EntryEventsAreListedInOrder) {
  const testing::MeasureRun run = RunMeasure(WholeTest(13), trajectory, zones);
  EXPECT_EQ(run.table.text, "0:1;0:-2;0:-3;0:2;");
}

TEST_F(StraightRun, DistancesToZones) {
  // B's nearest side is 40 px away along the whole run; the farthest point (180, 20) is
  // 130 x 40 px from B's corner. A is 100 px away at the start and reached later. Inside A,
  // its outline is at most 20 px away (the top side). Scale 0.5 mm per pixel.
  const double farB = std::hypot(130.0, 40.0) * 0.5;
  Expect(WholeTest(16), {0, 0, 20, 0, 0}, 0.5);
  Expect(WholeTest(17), {0, 50, farB, 10, 0}, 0.5);
  Expect(WholeTest(18), {-1, -1, -1, -1, -1}, 0.5);  // no head was seen
  Expect(WholeTest(19), {-1, -1, -1, -1, -1}, 0.5);
}

TEST_F(StraightRun, HeadDistancesUseHeadsOnly) {
  std::vector<tMyPoint> points = trajectory.points();
  points[9].headX = 180;  // only the last point has a head, 40 px above B's top side + 40
  points[9].headY = 0;
  const Trajectory withHead = MakeTrajectory(points);
  const testing::MeasureRun run = RunMeasure(WholeTest(18), withHead, zones);
  EXPECT_NEAR(run.Value(0, "B ( in )"), std::hypot(130.0, 60.0), 1e-9);
  EXPECT_NEAR(run.Value(0, "A ( in )"), 0, kEps);
}

TEST_F(StraightRun, ZoneSelectionKeepsTheListedCells) {
  MeasureDefinition d = WholeTest(12);
  d.zoneSelection = ",2,-3,";
  const testing::MeasureRun run = RunMeasure(d, trajectory, zones);
  EXPECT_EQ(run.table.cells, (std::vector<std::string>{"A ( in )", "B ( out )"}));
  EXPECT_NEAR(run.Value(0, 0), 0.4, kEps);
  d.zoneSelection = ",99,";
  EXPECT_EQ(RunMeasure(d, trajectory, zones).periods, 0);
}

TEST_F(StraightRun, NothingWithoutPointsOrZones) {
  const Trajectory empty;
  const testing::MeasureRun run = RunMeasure(WholeTest(12), empty, zones);
  EXPECT_EQ(run.periods, 0);
  EXPECT_TRUE(run.table.values.empty());
  const ZoneSet none;
  EXPECT_EQ(RunMeasure(WholeTest(12), trajectory, none).periods, 0);
}

// Slices of one second over a run at 0.1 px per ms: x = t / 10. Steps of 400 ms straddle the
// slice boundaries, which cut them: at t = 1000 the interpolated position x = 100 is already
// in A.
class CutSteps : public ::testing::Test {
 protected:
  CutSteps() : zones(ArenaSet(1000, 100, {0, 0, 999, 99})) {
    AddZone(zones, "A", {100, 0, 999, 99});
    std::vector<tMyPoint> points;
    for (int k = 0; k <= 8; ++k) points.push_back(PointAt(k, 400 * k, 40 * k, 50));
    trajectory = MakeTrajectory(points);  // 3200 ms: three slices
  }
  ZoneSet zones;
  Trajectory trajectory;
};

TEST_F(CutSteps, TimeAndDistanceAreSplitAtTheBoundary) {
  const testing::MeasureRun time = RunMeasure(Slices(12, 1), trajectory, zones);
  ASSERT_EQ(time.periods, 3);
  EXPECT_EQ(time.table.periods[1], "00:00:01 - 00:00:02");
  const double a[] = {0, 1, 1}, out[] = {1, 0, 0};
  for (size_t p = 0; p < 3; ++p) {
    EXPECT_NEAR(time.Value(p, "A ( in )"), a[p], kEps) << p;
    EXPECT_NEAR(time.Value(p, "A ( out )"), out[p], kEps) << p;
    EXPECT_NEAR(time.Value(p, "Arena ( in )"), 1, kEps) << p;
  }
  // Path lengths come from the trajectory's own scale.
  const Trajectory halfScale = MakeTrajectory(trajectory.points(), 0.5);
  const testing::MeasureRun distance = RunMeasure(Slices(3, 1), halfScale, zones);
  for (size_t p = 0; p < 3; ++p) {
    EXPECT_NEAR(distance.Value(p, "Arena ( in )"), 50, 1e-9) << p;  // 100 px per second
  }
  EXPECT_NEAR(distance.Value(0, "A ( out )"), 50, 1e-9);
  EXPECT_NEAR(distance.Value(1, "A ( in )"), 50, 1e-9);
}

TEST_F(CutSteps, TheBoundaryPositionDecidesEntriesAndLatencies) {
  // The entry happens on the boundary: it ends the first slice's last step, and the second
  // slice starts inside A.
  const testing::MeasureRun entries = RunMeasure(Slices(4, 1), trajectory, zones);
  EXPECT_EQ(entries.Value(0, "A ( in )"), 1);
  EXPECT_EQ(entries.Value(1, "A ( in )"), 1);
  EXPECT_EQ(entries.Value(2, "A ( in )"), 1);
  const testing::MeasureRun latency = RunMeasure(Slices(9, 1), trajectory, zones);
  EXPECT_NEAR(latency.Value(0, "A ( in )"), 1.0, kEps);
  EXPECT_NEAR(latency.Value(1, "A ( in )"), 0, kEps);
  EXPECT_NEAR(latency.Value(0, "A ( out )"), 0, kEps);
  EXPECT_NEAR(latency.Value(1, "A ( out )"), -1, kEps);
}

TEST_F(CutSteps, EntryEventsAtAPeriodStartNameThatPeriod) {
  const testing::MeasureRun run = RunMeasure(Slices(13, 1), trajectory, zones);
  ASSERT_EQ(run.periods, 3);
  EXPECT_EQ(run.table.text, "0:1;0:-2;0:2;1:1;1:2;2:1;2:2;");  // periods 1 and 2 start in A
}

TEST_F(CutSteps, PointsExactlyOnBoundariesBelongToTheLaterPeriod) {
  std::vector<tMyPoint> points;
  for (int k = 0; k <= 6; ++k) points.push_back(PointAt(k, 500 * k, 50 * k, 50));
  const Trajectory onBoundaries = MakeTrajectory(points);  // 3000 ms, points at 0, 1000, ...
  const testing::MeasureRun run = RunMeasure(Slices(12, 1), onBoundaries, zones);
  ASSERT_EQ(run.periods, 3);
  // x = 100 at t = 1000 starts the second slice inside A; the first slice ends with the step
  // 500 -> 1000 counted outside.
  const double a[] = {0, 1, 1};
  for (size_t p = 0; p < 3; ++p) EXPECT_NEAR(run.Value(p, "A ( in )"), a[p], kEps) << p;
  EXPECT_NEAR(run.Value(0, "A ( out )"), 1, kEps);
}

TEST_F(CutSteps, PercentOfTheLastSliceUsesItsAnalysedPart) {
  std::vector<tMyPoint> points;
  for (int k = 0; k <= 25; ++k) points.push_back(PointAt(k, 100 * k, 150, 50));  // in A, 2.5 s
  const Trajectory still = MakeTrajectory(points);
  const testing::MeasureRun run = RunMeasure(Slices(12, 1, 1), still, zones);
  ASSERT_EQ(run.periods, 3);  // (2500 + 500) / 1000 = 3 s
  EXPECT_NEAR(run.Value(2, "A ( in )"), 100, kEps);
}

// The hidden zone H (x 100..150) with a distance limit of 5 cm; 1 mm per pixel. The animal is
// lost at x = 90 (frame 4, 160 ms) and seen again at x = 95 (frame 30, 1200 ms), both within
// 5 cm of H, then walks away. The video has 100 frames over 4 s: a frame lasts 40 ms.
class HiddenZone : public ::testing::Test {
 protected:
  HiddenZone() : zones(ArenaSet(1000, 100, {0, 0, 999, 99})) {
    CDrawObj* h = AddZone(zones, "H", {100, 0, 150, 99});
    h->hidden = 1;
    h->hiddenDistance = 5;
    h->hiddenUnit = 0;
    std::vector<tMyPoint> points = EvenPath({{20, 50}, {40, 50}, {60, 50}, {80, 50}, {90, 50}}, 40);
    points.push_back(PointAt(30, 1200, 95, 50));
    points.push_back(PointAt(31, 1240, 80, 50));
    points.push_back(PointAt(32, 1280, 60, 50));
    trajectory = MakeTrajectory(points);
    trajectory.durationMs = 4000;
    trajectory.frameCount = 100;
  }
  ZoneSet zones;
  Trajectory trajectory;
};

TEST_F(HiddenZone, TheGapCountsInsideTheHiddenZone) {
  const testing::MeasureRun run = RunMeasure(WholeTest(12), trajectory, zones);
  EXPECT_NEAR(run.Value(0, "H ( in )"), 1.04, kEps);    // 1040 - 40 ms, then the exit step
  EXPECT_NEAR(run.Value(0, "H ( out )"), 0.2, kEps);    // 4 steps before, 1 after
  EXPECT_NEAR(run.Value(0, "Arena ( in )"), 1.28, kEps);
  const testing::MeasureRun latency = RunMeasure(WholeTest(9), trajectory, zones);
  EXPECT_NEAR(latency.Value(0, "H ( in )"), 0.2, kEps);  // last seen at 160 ms, + one frame
  const testing::MeasureRun entries = RunMeasure(WholeTest(4), trajectory, zones);
  EXPECT_EQ(entries.Value(0, "H ( in )"), 1);
  EXPECT_EQ(entries.Value(0, "H ( out )"), 2);
}

TEST_F(HiddenZone, HiddenZonesTakePartOnlyInTheirMeasures) {
  const testing::MeasureRun distance = RunMeasure(WholeTest(3), trajectory, zones);
  EXPECT_EQ(distance.table.cells, (std::vector<std::string>{"Arena ( in )"}));
  const testing::MeasureRun nearest = RunMeasure(WholeTest(16), trajectory, zones);
  EXPECT_EQ(nearest.table.cells, (std::vector<std::string>{"Arena ( in )"}));
}

TEST_F(HiddenZone, AGapFarFromTheZoneIsNoPresence) {
  std::vector<tMyPoint> points = trajectory.points();
  points[4].rawX = 30;  // lost 70 mm away from H
  Trajectory far = MakeTrajectory(points);
  far.durationMs = 4000;
  far.frameCount = 100;
  const testing::MeasureRun run = RunMeasure(WholeTest(12), far, zones);
  EXPECT_NEAR(run.Value(0, "H ( in )"), 0, kEps);
  EXPECT_EQ(RunMeasure(WholeTest(9), far, zones).Value(0, "H ( in )"), -1);
}

TEST(NominalFrameDuration, FromTheVideoOrTheLastPoint) {
  Trajectory t = MakeTrajectory({PointAt(0, 0, 1, 1), PointAt(24, 1000, 1, 1)});
  EXPECT_EQ(NominalFrameDuration(t), 42);  // 1000 / 24 + 0.5
  t.frameCount = 3;
  t.durationMs = 100;
  EXPECT_EQ(NominalFrameDuration(t), 33);
  EXPECT_EQ(NominalFrameDuration(MakeTrajectory({PointAt(0, 0, 1, 1)})), 0);
  EXPECT_EQ(NominalFrameDuration(Trajectory()), 0);
}

}  // namespace
}  // namespace vx
