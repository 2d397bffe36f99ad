#include "trajectory/trajectory_store.h"

#include <gtest/gtest.h>

#include <tuple>

#include "trajectory/behavior_blob.h"
#include "trajectory/trajectory_blob.h"
#include "support/experiment_fixture.h"
#include "support/trajectory_builder.h"

namespace vx {
namespace {

class TrajectoryStore : public ::testing::Test {
 protected:
  void SetUp() override {
    ASSERT_TRUE(fixture.created);
    Execute("insert into Videos (Id, Name, NbFrames, Duration) values (4, 'v', 3, 80)");
    Execute("insert into Tests (Id, Title, IdProtocol, Source, Scale) values (7, 't', 2, 4, 0.5)");
    test.id = 7;
    test.source = 4;
    test.idProtocol = 2;
    test.scale = 0.5;
  }

  void Execute(const std::string& sql) { testing::ExecuteSql(fixture.path(), sql); }
  std::string Value(const std::string& sql) { return testing::QueryValue(fixture.path(), sql); }
  void StorePoints(const Trajectory& trajectory, bool head) {
    test.headDetection = head;
    ASSERT_TRUE(SaveAnalysis(fixture.experiment, test, WritePoints(trajectory, head), false));
  }

  testing::ExperimentFixture fixture;
  CInfosTest test;
};

TEST_F(TrajectoryStore, LoadingRebuildsTheTrajectoryAtTheTestsScale) {
  Execute("update Videos set ListePoints=x'0328000000' where Id=4");  // listed: 0, 40, 80 ms
  Trajectory stored;
  tMyPoint head = testing::PointAt(0, 0, 10, 10);
  head.headX = 9;
  head.headY = 12;
  stored.Append(head, true);
  stored.Append(testing::PointAt(2, 0, 16, 18), true);
  StorePoints(stored, true);
  RecordedBehaviors behaviors;
  behaviors.protocolId = 2;
  behaviors.lists.push_back({2, 3, 0, {{40, 80}}});
  ASSERT_TRUE(SaveBehaviors(fixture.experiment, 7, WriteBehaviors(behaviors), {}));
  EXPECT_EQ(Value("select hex(Behaviors) from TestsPoints where Id=7"), "010201030001" "2828");

  Trajectory loaded({.method = kNoSmoothing, .threshold = 0});
  TrajectoryLoadInfo info;
  ASSERT_TRUE(LoadTestTrajectory(fixture.experiment, test, loaded, &info));
  EXPECT_EQ(std::tuple(info.headDetection, info.pointsCorrupt, info.behaviorsCorrupt),
            std::tuple(true, false, false));
  ASSERT_EQ(loaded.size(), 2u);
  // (6, 8) pixels at 0.5 mm are 5 mm.
  EXPECT_EQ(std::tuple(loaded.scale(), loaded[0].headX, loaded[0].headY, loaded[1].time,
                       loaded[1].smoothX, loaded[1].cumDist, loaded.durationMs, loaded.frameCount),
            std::tuple(0.5, 9, 12, 80, 8.0, 5.0, 80u, 3u));
  ASSERT_EQ(loaded.behaviors.lists.size(), 1u);
  EXPECT_EQ(loaded.behaviors.lists[0].behaviorId, 3u);
}

TEST_F(TrajectoryStore, CorruptPointsOrFrameTimesLoadAsAnEmptyTrajectory) {
  const char* damages[] = {
      "update TestsPoints set PointsAnalyse=x'0A0B' where Id=7",
      "update Videos set ListePoints=x'0005' where Id=4",
      // one record whose outline claims 2^31 - 1 points
      "update TestsPoints set PointsAnalyse=x'000A0A00000000FFFFFFFF07' where Id=7",
      // frame times claiming 2^32 - 1 listed frames
      "update Videos set ListePoints=x'FFFFFFFF0F0000010203' where Id=4",
  };
  for (const char* damage : damages) {
    Trajectory stored;
    stored.Append(testing::PointAt(0, 0, 10, 10), true);
    StorePoints(stored, false);
    Execute(damage);
    Trajectory loaded;
    loaded.Append(testing::PointAt(0, 0, 1, 1), true);
    TrajectoryLoadInfo info;
    ASSERT_TRUE(LoadTestTrajectory(fixture.experiment, test, loaded, &info));
    EXPECT_EQ(std::pair(info.pointsCorrupt, info.behaviorsCorrupt), std::pair(true, false)) << damage;
    EXPECT_TRUE(loaded.empty());
  }
}

TEST_F(TrajectoryStore, MissingFileFailsAndIsNotCreated) {
  fixture.experiment.file.path = fixture.dir.File("absent.vxdb");
  Trajectory loaded;
  EXPECT_FALSE(LoadTestTrajectory(fixture.experiment, test, loaded));
  EXPECT_FALSE(fixture.services.files.Exists(fixture.experiment.file.path));
}

}  // namespace
}  // namespace vx
