#include "analysis/trajectory_store.h"

#include <gtest/gtest.h>

#include "analysis/behavior_blob.h"
#include "analysis/trajectory_blob.h"
#include "base/text.h"
#include "db/experiment_db.h"
#include "support/scratch_experiment.h"
#include "support/synthetic_trajectory.h"

namespace vx {
namespace {

class TrajectoryStore : public ::testing::Test {
 protected:
  void SetUp() override {
    ASSERT_TRUE(scratch.created);
    ASSERT_TRUE(scratch.Execute(
        "insert into Videos (Id, Name, NbFrames, Duration) values (4, 'v', 3, 80)"));
    ASSERT_TRUE(scratch.Execute(
        "insert into Tests (Id, Title, IdProtocol, Source, Scale) values (7, 't', 2, 4, 0.5)"));
    test.id = 7;
    test.source = 4;
    test.idProtocol = 2;
    test.scale = 0.5;
  }

  std::string Cell(const std::string& sql) const { return scratch.Cell(sql); }

  static tMyPoint Point(int frame, int x, int y) {
    tMyPoint p;
    p.frame = frame;
    p.rawX = x;
    p.rawY = y;
    p.boxLeft = x - 2;
    p.boxTop = y - 3;
    p.boxRight = x + 3;
    p.boxBottom = y + 4;
    return p;
  }

  testing::ScratchExperiment scratch;
  ExperimentFile& file = scratch.file;
  CInfosTest test;
};

TEST_F(TrajectoryStore, PointsAreStoredWithTheHeadFlagInANewRow) {
  Trajectory trajectory;
  tMyPoint p = Point(5, 10, 20);
  p.contour = {{8, 17}, {13, 24}};
  trajectory.Append(p, true);
  ASSERT_TRUE(SaveTestPoints(file, 7, trajectory, false));
  EXPECT_EQ(Cell("select hex(PointsAnalyse) from TestsPoints where Id=7"), "050A1402030304020000" "0507");
  EXPECT_EQ(Cell("select HeadDetection from TestsPoints where Id=7"), "0");
  EXPECT_TRUE(file.modified);

  ASSERT_TRUE(SaveTestPoints(file, 7, trajectory, true));
  EXPECT_EQ(Cell("select HeadDetection from TestsPoints where Id=7"), "1");
  EXPECT_EQ(Cell("select length(PointsAnalyse) from TestsPoints where Id=7"), "13");
  EXPECT_EQ(Cell("select COUNT(*) from TestsPoints"), "1");
}

TEST_F(TrajectoryStore, EmptyTrajectoryStoresNull) {
  Trajectory trajectory;
  trajectory.Append(Point(1, 10, 10), true);
  ASSERT_TRUE(SaveTestPoints(file, 7, trajectory, false));
  ASSERT_TRUE(SaveTestPoints(file, 7, Trajectory(), false));
  EXPECT_EQ(Cell("select PointsAnalyse is NULL from TestsPoints where Id=7"), "1");
}

TEST_F(TrajectoryStore, BehavioursAreStoredOrNull) {
  RecordedBehaviors behaviors;
  behaviors.protocolId = 2;
  CListRecBehavior list;
  list.protocolId = 2;
  list.behaviorId = 1;
  list.occurrences = {{100, 250}};
  behaviors.lists.push_back(list);
  ASSERT_TRUE(SaveTestBehaviors(file, 7, behaviors));
  EXPECT_EQ(Cell("select hex(Behaviors) from TestsPoints where Id=7"), "010201010001649601");
  EXPECT_EQ(Cell("select PointsAnalyse is NULL from TestsPoints where Id=7"), "1");
  behaviors.lists.clear();
  ASSERT_TRUE(SaveTestBehaviors(file, 7, behaviors));
  EXPECT_EQ(Cell("select Behaviors is NULL from TestsPoints where Id=7"), "1");
}

TEST_F(TrajectoryStore, FrameTimesOfAVideo) {
  ASSERT_TRUE(SaveVideoFrameTimes(file, 4, FrameTimes::FromList({0, 40, 80, 121})));
  EXPECT_EQ(Cell("select hex(ListePoints) from Videos where Id=4"), "042800000001");
  ASSERT_TRUE(SaveVideoFrameTimes(file, 4, FrameTimes()));
  EXPECT_EQ(Cell("select ListePoints is NULL from Videos where Id=4"), "1");
}

TEST_F(TrajectoryStore, ClearingAnalysesKeepsTheRowsAndOtherTests) {
  Trajectory trajectory;
  trajectory.Append(Point(1, 10, 10), true);
  for (int id : {7, 8, 9}) ASSERT_TRUE(SaveTestPoints(file, id, trajectory, true));
  ASSERT_TRUE(ClearAnalyses(file, {7, 9}));
  EXPECT_EQ(Cell("select COUNT(*) from TestsPoints where PointsAnalyse is NULL"), "2");
  EXPECT_EQ(Cell("select COUNT(*) from TestsPoints"), "3");
  EXPECT_EQ(Cell("select HeadDetection from TestsPoints where Id=9"), "1");
  EXPECT_TRUE(ClearAnalyses(file, {}));
}

TEST_F(TrajectoryStore, LoadingRebuildsTheTrajectoryAtTheTestsScale) {
  ASSERT_TRUE(SaveVideoFrameTimes(file, 4, FrameTimes::FromList({0, 40, 80})));
  Trajectory stored;
  tMyPoint head = Point(0, 10, 10);
  head.headX = 9;
  head.headY = 12;
  stored.Append(head, true);
  stored.Append(Point(2, 16, 18), true);
  ASSERT_TRUE(SaveTestPoints(file, 7, stored, true));
  RecordedBehaviors behaviors;
  behaviors.protocolId = 2;
  behaviors.lists.push_back({2, 3, 0, {{40, 80}}});
  ASSERT_TRUE(SaveTestBehaviors(file, 7, behaviors));

  Trajectory loaded({.method = kNoSmoothing, .threshold = 0});
  TrajectoryLoadInfo info;
  ASSERT_TRUE(LoadTestTrajectory(file, test, loaded, &info));
  EXPECT_TRUE(info.headDetection);
  EXPECT_FALSE(info.pointsCorrupt);
  EXPECT_FALSE(info.behaviorsCorrupt);
  ASSERT_EQ(loaded.size(), 2u);
  EXPECT_EQ(loaded.scale(), 0.5);
  EXPECT_EQ(loaded[0].headX, 9);
  EXPECT_EQ(loaded[0].headY, 12);
  EXPECT_EQ(loaded[1].time, 80);
  EXPECT_DOUBLE_EQ(loaded[1].smoothX, 8.0);
  EXPECT_DOUBLE_EQ(loaded[1].cumDist, 5.0);  // (6, 8) pixels at 0.5 mm
  EXPECT_EQ(loaded.durationMs, 80u);
  EXPECT_EQ(loaded.frameCount, 3u);
  ASSERT_EQ(loaded.behaviors.lists.size(), 1u);
  EXPECT_EQ(loaded.behaviors.lists[0].behaviorId, 3u);
}

TEST_F(TrajectoryStore, CorruptBlobLoadsAsAnEmptyTrajectory) {
  ASSERT_TRUE(scratch.Execute(
      "insert into TestsPoints (Id, HeadDetection, PointsAnalyse) values (7, 0, x'0A0B')"));
  Trajectory loaded;
  loaded.Append(Point(0, 1, 1), true);
  TrajectoryLoadInfo info;
  ASSERT_TRUE(LoadTestTrajectory(file, test, loaded, &info));
  EXPECT_TRUE(info.pointsCorrupt);
  EXPECT_FALSE(info.behaviorsCorrupt);
  EXPECT_TRUE(loaded.empty());
}

TEST_F(TrajectoryStore, BehavioursOfAnotherProtocolAreRejectedAlone) {
  Trajectory stored;
  stored.Append(Point(0, 10, 10), true);
  ASSERT_TRUE(SaveTestPoints(file, 7, stored, false));
  RecordedBehaviors behaviors;
  behaviors.protocolId = 5;
  behaviors.lists.push_back({5, 3, 0, {{40, 80}}});
  ASSERT_TRUE(SaveTestBehaviors(file, 7, behaviors));
  Trajectory loaded;
  TrajectoryLoadInfo info;
  ASSERT_TRUE(LoadTestTrajectory(file, test, loaded, &info));
  EXPECT_FALSE(info.pointsCorrupt);
  EXPECT_TRUE(info.behaviorsCorrupt);
  EXPECT_EQ(loaded.size(), 1u);
  EXPECT_TRUE(loaded.behaviors.lists.empty());
}

TEST_F(TrajectoryStore, TestWithoutRowsLoadsEmpty) {
  test.id = 99;
  test.source = 98;
  Trajectory loaded;
  TrajectoryLoadInfo info;
  ASSERT_TRUE(LoadTestTrajectory(file, test, loaded, &info));
  EXPECT_FALSE(info.pointsCorrupt);
  EXPECT_TRUE(loaded.empty());
}

TEST_F(TrajectoryStore, NotAnExperimentFileFailsCleanly) {
  file.path = scratch.dir.File("absent.vxdb");
  Trajectory loaded;
  EXPECT_FALSE(LoadTestTrajectory(file, test, loaded));
  EXPECT_FALSE(SaveTestPoints(file, 7, loaded, false));
  EXPECT_FALSE(scratch.services.files.Exists(file.path));
}

TEST_F(TrajectoryStore, ReadOnlyExperimentKeepsItsPoints) {
  Trajectory trajectory;
  trajectory.Append(Point(1, 10, 10), true);
  file.readOnly = true;
  EXPECT_FALSE(SaveTestPoints(file, 7, trajectory, false));
  EXPECT_EQ(Cell("select COUNT(*) from TestsPoints"), "0");
}

}  // namespace
}  // namespace vx
