// How the zone rules (percentage of the body, head) feed entries, exits and times, and what
// an undecided position does to them.
#include <gtest/gtest.h>

#include "support/measure_runner.h"
#include "support/zone_builder.h"

namespace vx {
namespace {

using testing::AddZone;
using testing::ArenaSet;
using testing::MakeTrajectory;
using testing::RunMeasure;
using testing::Slices;
using testing::WholeTest;

constexpr double kEps = 1e-9;

// A 20 x 20 outline centred on (cx, 50). With zone A starting at x = 100 the share of the
// body inside A is (cx - 90) / 20: cx 118 all of it, 102 60 %, 96 30 %.
tMyPoint Body(int frame, int time, int cx) {
  tMyPoint p = testing::PointAt(frame, time, cx, 50);
  p.contour = {{cx - 10, 40}, {cx + 10, 40}, {cx + 10, 60}, {cx - 10, 60}};
  p.boxLeft = cx - 10;
  p.boxRight = cx + 10;
  p.boxTop = 40;
  p.boxBottom = 60;
  return p;
}

class BodyRule : public ::testing::Test {
 protected:
  BodyRule() : zones(ArenaSet(1000, 100, {0, 0, 999, 99})) {
    CDrawObj* a = AddZone(zones, "A", {100, 0, 999, 99});
    a->detectInZone = kDetectBody;
    a->percentEntry = 70;
    a->percentExit = 50;
  }
  Trajectory Path(const std::vector<int>& centres) {
    std::vector<tMyPoint> points;
    for (size_t k = 0; k < centres.size(); ++k) {
      points.push_back(Body(static_cast<int>(k), static_cast<int>(k) * 100, centres[k]));
    }
    return MakeTrajectory(points);
  }
  ZoneSet zones;
};

TEST_F(BodyRule, SixtyPercentNeitherEntersNorLeaves) {
  // out, in, 60 %, 60 %, in, 60 %, out (30 %), 60 %, in
  const Trajectory t = Path({96, 118, 102, 102, 118, 102, 96, 102, 118});
  EXPECT_EQ(RunMeasure(WholeTest(4), t, zones).Value(0, "A ( in )"), 2);
  EXPECT_EQ(RunMeasure(WholeTest(5), t, zones).Value(0, "A ( in )"), 1);
  EXPECT_EQ(RunMeasure(WholeTest(14), t, zones).Value(0, "A ( in )"), 2);
  const testing::MeasureRun time = RunMeasure(WholeTest(12), t, zones);
  EXPECT_NEAR(time.Value(0, "A ( in )"), 0.5, kEps);
  EXPECT_NEAR(time.Value(0, "A ( out )"), 0.3, kEps);
}

TEST_F(BodyRule, AnUndecidedPositionAfterAnEntryDoesNotCountItAgain) {
  // The entry at the second point is followed by three undecided ones: one entry, and the
  // steps after it are time in A.
  const Trajectory t = Path({96, 118, 102, 102, 102});
  EXPECT_EQ(RunMeasure(WholeTest(4), t, zones).Value(0, "A ( in )"), 1);
  EXPECT_EQ(RunMeasure(WholeTest(13), t, zones).table.text, "0:1;0:-2;0:2;");
  EXPECT_NEAR(RunMeasure(WholeTest(12), t, zones).Value(0, "A ( in )"), 0.3, kEps);
  EXPECT_NEAR(RunMeasure(WholeTest(7), t, zones).Value(0, "A ( in )"), 0.3, kEps);
}

TEST_F(BodyRule, ThresholdsAreStrict) {
  // 75 % enters, exactly 70 % does not; 45 % leaves, exactly 50 % does not.
  EXPECT_EQ(RunMeasure(WholeTest(4), Path({96, 105}), zones).Value(0, "A ( in )"), 1);
  EXPECT_EQ(RunMeasure(WholeTest(4), Path({96, 104}), zones).Value(0, "A ( in )"), 0);
  EXPECT_EQ(RunMeasure(WholeTest(5), Path({118, 99}), zones).Value(0, "A ( in )"), 1);
  EXPECT_EQ(RunMeasure(WholeTest(5), Path({118, 100}), zones).Value(0, "A ( in )"), 0);
}

TEST_F(BodyRule, APeriodStartingUndecidedKeepsTheEarlierState) {
  // In A until 400 ms, then 60 % inside until 1500 ms: the second slice starts undecided and
  // the animal is still counted in A.
  std::vector<int> centres(5, 118);
  centres.resize(16, 102);
  const testing::MeasureRun run = RunMeasure(Slices(12, 1), Path(centres), zones);
  ASSERT_EQ(run.periods, 2);
  EXPECT_NEAR(run.Value(0, "A ( in )"), 1.0, kEps);
  EXPECT_NEAR(run.Value(1, "A ( in )"), 0.5, kEps);
  EXPECT_NEAR(run.Value(1, "A ( out )"), 0, kEps);
}

TEST(HeadRule, PointsWithoutHeadKeepTheState) {
  ZoneSet zones = ArenaSet(1000, 100, {0, 0, 999, 99});
  CDrawObj* a = AddZone(zones, "A", {100, 0, 999, 99});
  a->detectInZone = kDetectHead;
  std::vector<tMyPoint> points;
  const int heads[] = {50, 150, -1, -1, 150, -1, 50, -1};
  for (int k = 0; k < 8; ++k) {
    tMyPoint p = testing::PointAt(k, k * 100, 95, 50);  // the centre never moves
    p.headX = heads[k];
    p.headY = heads[k] < 0 ? -1 : 50;
    points.push_back(p);
  }
  const Trajectory t = MakeTrajectory(points);
  EXPECT_EQ(RunMeasure(WholeTest(4), t, zones).Value(0, "A ( in )"), 1);
  EXPECT_EQ(RunMeasure(WholeTest(5), t, zones).Value(0, "A ( in )"), 1);
  // In from the second point to the exit at the seventh: five steps.
  EXPECT_NEAR(RunMeasure(WholeTest(12), t, zones).Value(0, "A ( in )"), 0.5, kEps);
}

}  // namespace
}  // namespace vx
