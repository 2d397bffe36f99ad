#include "measures/inactivity.h"

#include <gtest/gtest.h>

#include <random>

#include "support/trajectory_builder.h"

namespace vx {
namespace {

using testing::EvenPath;
using testing::MakeTrajectory;

// The rule read straight from its definition, with no cache: the run of equal positions
// around the step (i - 1, i), scanned afresh for every question.
bool NaiveInactive(const std::vector<tMyPoint>& p, int i, int64_t delay) {
  if (i == 0) return true;
  auto same = [&](int a, int b) { return p[a].posX == p[b].posX && p[a].posY == p[b].posY; };
  if (!same(i, i - 1)) return false;
  int first = i - 1, last = i;
  while (first > 0 && same(first - 1, first)) --first;
  while (last + 1 < static_cast<int>(p.size()) && same(last + 1, last)) ++last;
  return int64_t{p[last].time} - p[first].time >= delay;
}

TEST(InactivityDelay, ConvertsEachUnitAndRefusesOthers) {
  EXPECT_EQ(InactivityDelayMs(250, 0), 250);
  EXPECT_EQ(InactivityDelayMs(2, 1), 2000);
  EXPECT_EQ(InactivityDelayMs(3, 2), 180000);
  EXPECT_EQ(InactivityDelayMs(3, 3), 0);
  EXPECT_EQ(InactivityDelayMs(3, -1), 0);
}

// A still animal observed every 40 ms: 50 identical positions span 1.96 s, 51 span 2.0 s.
TEST(Inactivity, ARunCountsOnlyWhenItLastsTheDelay) {
  for (const int still : {50, 51}) {
    std::vector<cv::Point> centres{{10, 10}, {20, 10}};
    for (int k = 0; k < still; ++k) centres.emplace_back(30, 10);
    centres.emplace_back(40, 10);
    Trajectory trajectory = MakeTrajectory(EvenPath(centres, 40));
    const int64_t expected = still == 51 ? 2000 : 0;
    InactivityCache cache;
    EXPECT_EQ(InactiveDurationMs(trajectory.points(), 2000, cache), expected) << still;
    EXPECT_EQ(InactiveTime(trajectory, 2000), expected / 1000);
  }
}

TEST(Inactivity, FirstPointIsInactiveAndMovingPointsAreNot) {
  Trajectory trajectory = MakeTrajectory(EvenPath({{0, 0}, {5, 0}, {5, 0}, {9, 0}}, 40));
  EXPECT_TRUE(IsInactive(trajectory, 0, 0));
  EXPECT_FALSE(IsInactive(trajectory, 1, 0));
  EXPECT_TRUE(IsInactive(trajectory, 2, 0));   // delay 0: any repeat is inactive
  EXPECT_FALSE(IsInactive(trajectory, 2, 41));
  EXPECT_FALSE(IsInactive(trajectory, 3, 0));
  EXPECT_FALSE(IsInactive(trajectory, 4, 0));   // outside the array
  EXPECT_FALSE(IsInactive(trajectory, -1, 0));
}

TEST(Inactivity, TheFilterMakesJitterStill) {
  // Jitter of one pixel under a 3-pixel filter: the analysis position never moves.
  std::vector<cv::Point> centres;
  for (int k = 0; k < 30; ++k) centres.emplace_back(100 + k % 2, 100 - k % 2);
  Trajectory filtered =
      MakeTrajectory(EvenPath(centres, 100), 1.0, {kNoSmoothing, 3, kThresholdPixels});
  EXPECT_EQ(InactiveTime(filtered, 2900), 2);  // 29 steps of 100 ms: 2.9 s
  Trajectory raw = MakeTrajectory(EvenPath(centres, 100));
  EXPECT_EQ(InactiveTime(raw, 0), 0);
}

// The cache must never change an answer, whatever the order of the questions.
TEST(Inactivity, CachedAnswersEqualFreshScansInAnyOrder) {
  std::mt19937 random(11);
  for (int round = 0; round < 40; ++round) {
    std::vector<tMyPoint> points;
    int time = 0, x = 50;
    for (int i = 0; i < 200; ++i) {
      if (random() % 4 == 0) x += 1 + static_cast<int>(random() % 3);
      time += 1 + static_cast<int>(random() % 80);
      points.push_back(testing::PointAt(i, time, x, 40));
    }
    Trajectory trajectory = MakeTrajectory(points);
    const int64_t delay = static_cast<int64_t>(random() % 400);
    std::vector<int> order(points.size());
    for (size_t i = 0; i < order.size(); ++i) order[i] = static_cast<int>(i);
    if (round % 2 == 1) std::shuffle(order.begin(), order.end(), random);
    for (const int i : order) {
      ASSERT_EQ(IsInactive(trajectory, i, delay), NaiveInactive(trajectory.points(), i, delay))
          << "round " << round << " point " << i;
    }
  }
}

}  // namespace
}  // namespace vx
