// The protocol's stage program driving a batch analysis: recording starts and stops where the
// program says, and a protocol drawn without a program tracks the whole video.
#include "analysis/test_stage_program.h"

#include <gtest/gtest.h>

#include "analysis/analysis_run.h"
#include "trajectory/trajectory_store.h"
#include "protocol/stage_program.h"
#include "support/analysis_fixture.h"
#include "support/rendered_capture.h"
#include "video/video_info.h"

namespace vx {
namespace {

using testing::AnalysisFixture;
using testing::RenderedScript;

const cv::Size kFrame(320, 240);

// Recording starts one second after the start (action 10) and stops one second later (11).
const char* kOneSecondProgram =
    "uml_startstop,1,1,1,1,Start;"
    "uml_event,1,1,1,1,2|1|2|-1|1|2|1|-1|0|0|;"
    "uml_action,1,1,1,1,0|10|0|0|877677894|1|-1|1|;"
    "uml_event,1,1,1,1,2|2|2|-1|1|2|1|1|0|0|;"
    "uml_action,1,1,1,1,0|11|1|0|877677894|2|-1|1|";

class StageProgramBatchTest : public ::testing::Test {
 protected:
  int Analyse(const std::string& diagram) {
    CProtocol& protocol = *fixture.experiment.FindProtocol(
        fixture.AddProtocol(kFrame, {20, 10, 300, 230}, 100, 200));
    protocol.diagram = diagram;
    EXPECT_TRUE(SaveProtocol(fixture.experiment, protocol, false));
    SceneLook scene = LightFloorScene(ArenaShape::Rectangle);
    scene.size = kFrame;
    auto script = RenderedScript::Regular(scene, testing::SmallMouse(),
                                          CirclePath({160, 120}, 60, 100, 3.0), 25.0);
    const std::string path = fixture.dir.File("lap.avi");
    testing::WriteFileBytes(path, "");
    const int video = fixture.AddVideo(path, 100, 25.0, kFrame);
    const int test = fixture.AddTest(protocol.id, video, testing::DarkAnimalSettings(), "Lap");
    BatchOptions options;
    options.captureFactory = testing::RenderedCaptureFactory(script);
    options.programFactory = StageProgramFactory(fixture.experiment.fields);
    BatchObserver observer;
    std::atomic<bool> cancel{false};
    const BatchSummary summary =
        RunBatchAnalysis(fixture.experiment, {test}, options, observer, cancel);
    EXPECT_EQ(summary.Count(TestOutcomeKind::kAnalysed), 1);
    EXPECT_TRUE(fixture.experiment.LoadAll());
    return test;
  }

  Trajectory Stored(int test) {
    Trajectory trajectory;
    EXPECT_TRUE(LoadTestTrajectory(fixture.experiment, *fixture.experiment.FindTest(test), trajectory));
    return trajectory;
  }

  AnalysisFixture fixture;
};

TEST_F(StageProgramBatchTest, RecordingFollowsTheProgramsStartAndStop) {
  const int test = Analyse(kOneSecondProgram);
  const Trajectory trajectory = Stored(test);
  ASSERT_FALSE(trajectory.empty());
  EXPECT_EQ(trajectory.points().front().frame, 25);  // 1000 ms at 25 frames a second
  EXPECT_EQ(trajectory.points().back().frame, 50);   // the stop's own frame is recorded
  const AnalysisInfo info =
      ParseInfo(fixture.Value(Format("select InfosAnalyse from Tests where Id=%d", test)));
  EXPECT_EQ(info[run_info::kStartFrame], 25);
  EXPECT_EQ(info[run_info::kStartAction], 10);
  EXPECT_EQ(info[run_info::kStopAction], 11);
  EXPECT_EQ(info[run_info::kEnding], static_cast<int>(RunEnding::kStopAction));
  // The analysed window is one second long.
  EXPECT_EQ(fixture.Value(Format("select Duration from Tests where Id=%d", test)), "1");
}

TEST_F(StageProgramBatchTest, TheDefaultProgramAndNoProgramRecordEveryFrame) {
  for (const std::string& diagram : {DefaultProgramText(), std::string()}) {
    const int test = Analyse(diagram);
    const Trajectory trajectory = Stored(test);
    ASSERT_EQ(trajectory.size(), 100u) << diagram;
    EXPECT_EQ(trajectory.points().front().frame, 0);
  }
}

TEST_F(StageProgramBatchTest, AProgramThatNeverStartsRecordsNothing) {
  // An event that never fires (type 0) triggers the only start action.
  const int test = Analyse("uml_event,1,1,1,1,2|1|0|-1|0|2|1|-1|0|0|;"
                           "uml_action,1,1,1,1,0|10|0|0|877677894|1|-1|1|");
  EXPECT_TRUE(Stored(test).empty());
  EXPECT_EQ(fixture.Value(Format("select PointsAnalyse is null from TestsPoints where Id=%d", test)), "1");
}

}  // namespace
}  // namespace vx
