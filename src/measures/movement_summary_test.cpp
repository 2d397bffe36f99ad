#include "measures/movement_summary.h"

#include <gtest/gtest.h>
#include <signal.h>
#include <sys/wait.h>
#include <unistd.h>

#include <cmath>
#include <random>
#include <tuple>

#include "db/frame_times.h"
#include "measures/inactivity.h"
#include "db/protocol_store.h"
#include "support/experiment_fixture.h"
#include "support/stored_test.h"
#include "support/trajectory_builder.h"

namespace vx {
namespace {

using testing::EvenPath;
using testing::MakeTrajectory;
using testing::PointAt;

constexpr double kTolerance = 1e-9;

TEST(Summary, EmptyAndSinglePointTrajectoriesGiveZeros) {
  for (const size_t count : {size_t{0}, size_t{1}}) {
    std::vector<tMyPoint> points;
    if (count == 1) points.push_back(PointAt(0, 0, 10, 10));
    const TestSummary s = ComputeSummary(MakeTrajectory(points), {}, 0, true);
    EXPECT_EQ(std::tuple(s.duration, s.distance, s.averageSpeed, s.maxSpeed, s.maxRawSpeed,
                         s.averageAccel, s.maxAccel),
              std::tuple(0, 0.0, 0.0, 0.0, 0.0, 0.0, 0.0));
  }
}

TEST(Summary, TwoPointsFortyMillisecondsAndTwoMillimetresApart) {
  const TestSummary s =
      ComputeSummary(MakeTrajectory({PointAt(0, 0, 10, 10), PointAt(1, 40, 14, 10)}, 0.5), {}, 0,
                     true);
  EXPECT_NEAR(s.distance, 2.0, kTolerance);
  EXPECT_NEAR(s.maxSpeed, 50.0, kTolerance);
  EXPECT_NEAR(s.maxRawSpeed, 50.0, kTolerance);
  // 40 ms rounds to 0 s.
  EXPECT_EQ(std::tuple(s.averageAccel, s.maxAccel, s.duration, s.averageSpeed), std::tuple(0.0, 0.0, 0, 0.0));
}

TEST(Summary, DurationComesFromTheWindowWhenItHasAStartFrame) {
  const Trajectory t = MakeTrajectory(EvenPath({{0, 0}, {3, 4}}, 40, 12000, 300));
  struct Case {
    AnalysisWindow window;
    int duration;
  } cases[] = {
      {{300, 10000, 70499}, 60},
      {{300, 10000, 70500}, 61},
      {{-1, 10000, 70500}, 0},   // no start frame: the points' own span (40 ms)
      {{300, 10000, 10000}, 0},  // an end not after the start: the points again
  };
  for (const Case& c : cases) {
    EXPECT_EQ(ComputeSummary(t, c.window, 0, true).duration, c.duration) << c.window.endMs;
  }
  const Trajectory longer = MakeTrajectory(EvenPath({{0, 0}, {3, 4}, {6, 8}}, 1250));
  const TestSummary s = ComputeSummary(longer, {}, 0, true);
  EXPECT_EQ(s.duration, 3);  // 2500 ms + 500 rounds up
  EXPECT_NEAR(s.distance, 10.0, kTolerance);
  EXPECT_NEAR(s.averageSpeed, 10.0 / 3, kTolerance);
}

TEST(Summary, AccelerationsAreSpeedChangesPerMillisecond) {
  // Steps of 10 px then 20 px, then 20 px, every 100 ms: speeds 100, 200, 200 mm/s.
  const Trajectory t = MakeTrajectory(EvenPath({{0, 0}, {10, 0}, {30, 0}, {50, 0}}, 100));
  const TestSummary s = ComputeSummary(t, {}, 0, true);
  EXPECT_NEAR(s.maxSpeed, 200.0, kTolerance);
  EXPECT_NEAR(s.maxAccel, 1.0, kTolerance);       // |200 - 100| / 100 ms
  EXPECT_NEAR(s.averageAccel, 0.5, kTolerance);   // (1 + 0) / 2
}

TEST(Summary, StepsWhoseTimeDoesNotAdvanceNeverWin) {
  const Trajectory t =
      MakeTrajectory({PointAt(0, 0, 0, 0), PointAt(1, 100, 10, 0), PointAt(2, 100, 90, 0),
                      PointAt(3, 200, 100, 0)});
  const TestSummary s = ComputeSummary(t, {}, 0, true);
  EXPECT_NEAR(s.maxSpeed, 100.0, kTolerance);
  // Point 1: v_out is -1 (no time), v_in 100, over 0 ms: 0. Point 2: |100 - (-1)| / 100.
  EXPECT_NEAR(s.maxAccel, 1.01, kTolerance);
  EXPECT_NEAR(s.averageAccel, 0.505, kTolerance);
}

TEST(Summary, RawSpeedFollowsRawPositionsOnlyWhenPositionsAreCorrected) {
  std::vector<tMyPoint> points;
  std::mt19937 random(3);
  for (int i = 0; i < 60; ++i) {
    points.push_back(PointAt(i, i * 40, 100 + static_cast<int>(random() % 9), 100));
  }
  double rawMax = 0;
  for (size_t i = 1; i < points.size(); ++i) {
    rawMax = std::max(rawMax, std::abs(points[i].rawX - points[i - 1].rawX) * 1000.0 / 40);
  }
  const TestSummary smoothed =
      ComputeSummary(MakeTrajectory(points, 1.0, {kLowessStrong, 0, kThresholdPixels}), {}, 0, true);
  EXPECT_NEAR(smoothed.maxRawSpeed, rawMax, kTolerance);
  EXPECT_LT(smoothed.maxSpeed, rawMax);
  const TestSummary plain = ComputeSummary(MakeTrajectory(points), {}, 0, true);
  EXPECT_EQ(plain.maxRawSpeed, plain.maxSpeed);
  EXPECT_NEAR(plain.maxSpeed, rawMax, kTolerance);
}

// Storing a test the way an analysis does, then changing the smoothing: every analysed test's
// summary is rewritten from its points, checked with plain SQL.
class RecomputeAllTests : public ::testing::Test {
 protected:
  void SetUp() override {
    ASSERT_TRUE(fixture.loaded);
    const std::string& path = fixture.path();
    testing::ExecuteSql(path, "insert into Protocols (Id, Name, InactivityDelay, InactivityUnit) "
                              "values (1, 'p', 1, 1)");
    std::vector<cv::Point> centres;
    for (int k = 0; k < 101; ++k) centres.emplace_back(100 + 3 * k, k < 50 ? 100 : 100 + 4 * (k - 50));
    for (int k = 60; k < 101; ++k) centres[static_cast<size_t>(k)] = centres[60];  // still 1.6 s
    points = EvenPath(centres, 40);
    const FrameTimes times = FrameTimes::Uniform(101, 4000);
    testing::StoreAnalysedTest(fixture, 3, 2, 1, 0.5, points, times);
    testing::StoreAnalysedTest(fixture, 4, 2, 1, 0.5, points, times, 0);
    testing::ExecuteSql(path, "update Tests set Distance=999");
    ASSERT_TRUE(SaveSmoothingSettings(fixture.experiment.file, {kNoSmoothing, 0, 0}));
    ASSERT_TRUE(fixture.experiment.LoadAll());
  }

  testing::ExperimentFixture fixture;
  std::vector<tMyPoint> points;
};

TEST_F(RecomputeAllTests, RewritesTheSummaryOfAnalysedTestsOnly) {
  std::vector<int> progress;
  ASSERT_TRUE(RecomputeAll(fixture.experiment, [&](int done, int total) {
    progress.push_back(done * 100 + total);
  }));
  EXPECT_EQ(progress, (std::vector<int>{101}));
  const auto row = testing::QueryRows(
      fixture.path(), "select Distance, MaxSpeed, MaxRawSpeed, Inactive from Tests where Id=3");
  ASSERT_EQ(row.size(), 1u);
  const double length = testing::PathLength(points, 0.5);
  EXPECT_NEAR(std::stod(row[0][0]), length, 1e-5);
  EXPECT_NEAR(std::stod(row[0][1]), 5 * 0.5 * 1000 / 40, 1e-5);  // the 3-4-5 steps
  EXPECT_NEAR(std::stod(row[0][2]), 5 * 0.5 * 1000 / 40, 1e-5);
  EXPECT_EQ(row[0][3], "1");  // 40 still steps of 40 ms = 1.6 s, delay 1 s
  EXPECT_EQ(testing::QueryValue(fixture.path(), "select Distance from Tests where Id=4"), "999.0");
  EXPECT_NEAR(fixture.experiment.FindTest(3)->distance, length, 1e-9);
}

TEST_F(RecomputeAllTests, ACorruptTrajectoryKeepsItsSummary) {
  testing::ExecuteSql(fixture.path(),
                      "update TestsPoints set PointsAnalyse=x'05' where Id=3");
  ASSERT_TRUE(RecomputeAll(fixture.experiment));
  EXPECT_EQ(testing::QueryValue(fixture.path(), "select Distance from Tests where Id=3"), "999.0");
}

TEST_F(RecomputeAllTests, AKillBetweenSettingAndSummariesLeavesNeither) {
  const pid_t child = fork();
  if (child == 0) {  // killed by the first summary it writes, the new setting already written
    fixture.experiment.file.statementHook = [](const std::string& sql) {
      if (sql.rfind("update Tests set Distance", 0) == 0) raise(SIGKILL);
      return 0;
    };
    ChangeSmoothing(fixture.experiment, {kLowessStrong, 0, 0});
    _exit(0);
  }
  int status = 0;
  ASSERT_EQ(waitpid(child, &status, 0), child);
  ASSERT_TRUE(WIFSIGNALED(status));
  ASSERT_TRUE(fixture.loaded);  // the next reader finds the file as it was before
  SmoothingSettings stored;
  ASSERT_TRUE(LoadSmoothingSettings(fixture.experiment.file, stored));
  EXPECT_EQ(stored, (SmoothingSettings{kNoSmoothing, 0, 0}));
  EXPECT_EQ(testing::QueryValue(fixture.path(), "select Distance from Tests where Id=3"), "999.0");

  ASSERT_TRUE(ChangeSmoothing(fixture.experiment, {kLowessStrong, 0, 0}));
  ASSERT_TRUE(LoadSmoothingSettings(fixture.experiment.file, stored));
  EXPECT_EQ(stored, (SmoothingSettings{kLowessStrong, 0, 0}));
  EXPECT_NE(testing::QueryValue(fixture.path(), "select Distance from Tests where Id=3"), "999.0");
}

TEST_F(RecomputeAllTests, ANewInactivityDelayRewritesOnlyTheInactiveTimesOfItsProtocol) {
  testing::ExecuteSql(fixture.path(), "insert into ReportsData (IdReport, IdTest, Data) values (1, 3, x'00')");
  testing::ExecuteSql(fixture.path(), "update Tests set Inactive=7");
  ASSERT_TRUE(fixture.experiment.LoadAll());
  CProtocol protocol = *fixture.experiment.FindProtocol(1);
  protocol.name = "renamed";
  protocol.inactivityDelay = 2;  // 2 s: the 1.6 s still spell no longer counts
  ASSERT_TRUE(SaveProtocolAndInactivity(fixture.experiment, protocol, false));
  EXPECT_EQ(testing::QueryValue(fixture.path(), "select Name||','||InactivityDelay from Protocols"), "renamed,2");
  EXPECT_EQ(testing::QueryValue(fixture.path(), "select Inactive||','||Distance from Tests where Id=3"), "0,999.0");
  EXPECT_EQ(testing::QueryValue(fixture.path(), "select count(*) from ReportsData"), "0");
  EXPECT_EQ(fixture.experiment.FindProtocol(1)->inactivityDelay, 2);

  protocol.inactivityUnit = 0;  // 2 ms
  fixture.experiment.file.path = fixture.dir.File("missing.vxdb");
  EXPECT_FALSE(SaveProtocolAndInactivity(fixture.experiment, protocol, false));
  EXPECT_EQ(fixture.experiment.FindProtocol(1)->inactivityUnit, 1);  // the list keeps what the file holds
}

TEST_F(RecomputeAllTests, AnUnreadableFileFailsAndStoresNothing) {
  fixture.experiment.file.path = fixture.dir.File("missing.vxdb");
  EXPECT_FALSE(RecomputeAll(fixture.experiment));
}

}  // namespace
}  // namespace vx
