// The batch analysis end to end: rendered videos with a known path, analysed into an
// experiment file that is then read back with plain SQL.
#include "analysis/batch_analysis.h"

#include <gtest/gtest.h>

#include <cmath>
#include <tuple>

#include "analysis/analysis_run.h"
#include "trajectory/trajectory_store.h"
#include "support/analysis_fixture.h"
#include "support/rendered_capture.h"
#include "video/synthetic_animal.h"
#include "video/video_info.h"

namespace vx {
namespace {

using testing::AnalysisFixture;
using testing::DarkAnimalSettings;
using testing::RenderedScript;

const cv::Size kFrame(320, 240);
const PixelRect kArena{20, 10, 300, 230};
constexpr double kScale = 2.0;  // the protocols' ruler: 100 pixels are 200 mm

SceneLook Scene() {
  SceneLook scene = LightFloorScene(ArenaShape::Rectangle);
  scene.size = kFrame;
  scene.arenaRect = {20, 10, 280, 220};
  return scene;
}

// Round the arena's centre, 3 degrees a frame.
std::vector<AnimalPose> Lap(int frames) {
  return CirclePath({160, 120}, 70, frames, 3.0);
}

class Recorder : public BatchObserver {
 public:
  void Progress(int percent) override { progress.push_back(percent); }
  void TestDone(const TestOutcome& outcome) override { done.push_back(outcome); }
  std::vector<int> progress;
  std::vector<TestOutcome> done;
};

class BatchAnalysisTest : public ::testing::Test {
 protected:
  void SetUp() override {
    protocol = fixture.AddProtocol(kFrame, kArena, 100, 200);
  }

  // A video rendered along poses into a file (MJPG), registered in the experiment.
  int AddVideoFile(const std::string& name, const std::vector<AnimalPose>& poses,
                   std::vector<AnimalTruth>* truths = nullptr) {
    const std::string path = fixture.dir.File(name);
    EXPECT_TRUE(WriteSyntheticVideo(path, "MJPG", 25, Scene(), testing::SmallMouse(), poses, truths));
    return fixture.AddVideo(path, static_cast<int>(poses.size()), 25, kFrame);
  }

  // A video whose frames come from a rendered stream; the file on disk is an empty stand-in.
  int AddRenderedVideo(const std::string& name, std::shared_ptr<RenderedScript> script) {
    const std::string path = fixture.dir.File(name);
    testing::WriteFileBytes(path, "");
    options.captureFactory = testing::RenderedCaptureFactory(script);
    return fixture.AddVideo(path, static_cast<int>(script->times.size()), script->fps, kFrame);
  }

  BatchSummary Run(const std::vector<int>& ids) {
    // The lists as a freshly opened experiment holds them (no settings texts among them).
    EXPECT_TRUE(fixture.experiment.LoadAll());
    return RunBatchAnalysis(fixture.experiment, ids, options, recorder, cancel);
  }

  AnalysisFixture fixture;
  int protocol = -1;
  BatchOptions options;
  Recorder recorder;
  std::atomic<bool> cancel{false};
};

TEST_F(BatchAnalysisTest, ARenderedWalkIsStoredWithItsTrajectoryAndSummary) {
  std::vector<AnimalTruth> truths;
  const int video = AddVideoFile("lap.avi", Lap(75), &truths);
  const int test = fixture.AddTest(protocol, video, DarkAnimalSettings(), "Lap");
  testing::ExecuteSql(fixture.path(), Format("insert into ReportsData (IdReport, IdTest, Data) values (3, %d, x'01')", test));

  const BatchSummary summary = Run({test});
  ASSERT_EQ(summary.outcomes.size(), 1u);
  const TestOutcome& outcome = summary.outcomes[0];
  ASSERT_EQ(outcome.kind, TestOutcomeKind::kAnalysed);
  EXPECT_EQ(std::tuple(outcome.rate, outcome.attempts, outcome.frames), std::tuple(100.0f, 1, 75));
  ASSERT_EQ(recorder.done.size(), 1u);
  EXPECT_EQ(recorder.progress.back(), 100);

  // Plain SQL: the analysis is there and the cached report results are gone.
  const std::string where = Format(" where Id=%d", test);
  EXPECT_EQ(fixture.Value("select DateAnalyse || ' ' || Scale from Tests" + where), "1767225600 2.0");
  EXPECT_EQ(fixture.Value("select HeadDetection || ' ' || (length(PointsAnalyse) > 0) from TestsPoints" + where), "0 1");
  EXPECT_EQ(fixture.Value("select count(*) from ReportsData where IdTest=" + std::to_string(test)), "0");
  const std::string settings = fixture.Value("select ParamsDetection from Tests" + where);
  EXPECT_NE(settings.find("|1767225600|"), std::string::npos);  // stamped with the analysis
  const AnalysisInfo info = ParseInfo(fixture.Value("select InfosAnalyse from Tests" + where));
  EXPECT_EQ(std::tuple(info.stamp, info[run_info::kAnimalFrames], info[run_info::kPeriodFrames],
                       info[run_info::kStartFrame], info[AnalysisInfo::kBackend]),
            std::tuple(1767225600, 75, 75, 0, kBackendFfmpeg));

  // The stored trajectory follows the drawn animal, and its length is the path's.
  ASSERT_TRUE(fixture.experiment.LoadAll());
  Trajectory trajectory(ParseSmoothingSettings(fixture.experiment.settings.smooth), kScale);
  ASSERT_TRUE(LoadTestTrajectory(fixture.experiment, *fixture.experiment.FindTest(test), trajectory));
  ASSERT_EQ(trajectory.size(), 75u);
  double pathMm = 0;
  for (size_t i = 0; i < trajectory.size(); ++i) {
    const tMyPoint& p = trajectory[i];
    EXPECT_EQ(p.frame, static_cast<int>(i));
    EXPECT_LE(std::hypot(p.rawX - truths[i].centreOfMass.x, p.rawY - truths[i].centreOfMass.y), 1.5) << i;
    if (i > 0) pathMm += cv::norm(truths[i].centreOfMass - truths[i - 1].centreOfMass) * kScale;
  }
  const double distance = std::stod(fixture.Value("select Distance from Tests" + where));
  EXPECT_NEAR(distance, pathMm, pathMm * 0.03);
  EXPECT_EQ(fixture.Value("select Duration from Tests" + where), "3");
  const double speed = std::stod(fixture.Value("select AverageSpeed from Tests" + where));
  EXPECT_NEAR(speed, distance / 3, 1e-3);
  // Without smoothing the raw maximum is the maximum, and both are stored.
  const std::string maxSpeed = fixture.Value("select MaxSpeed from Tests" + where);
  EXPECT_GT(std::stod(maxSpeed), 0.0);
  EXPECT_EQ(fixture.Value("select MaxRawSpeed from Tests" + where), maxSpeed);
}

TEST_F(BatchAnalysisTest, TheBackgroundMethodUsedIsStoredAndAReplacedCompositeIsReported) {
  // An animal that rests in one corner except in most of the frames spread over the video:
  // pairs of frames give no clean background, the median of the spread frames does.
  std::vector<AnimalPose> resting;
  for (int i = 0; i < 100; ++i) {
    const bool away = i % 4 == 2 && i != 22 && i != 50 && i != 86;
    const cv::Point2d elsewhere[] = {{230, 60}, {230, 180}, {70, 180}};
    resting.push_back({away ? elsewhere[(i / 4) % 3] : cv::Point2d(70, 60), 0.0});
  }
  const std::string automatic = "5|0|0|255|90|127|50|0|179|0|255|0|255|20|-1||0|1|0|1|10|30|1";
  const int rests = fixture.AddTest(protocol, AddVideoFile("rests.avi", resting), automatic, "R");
  const int walks = fixture.AddTest(protocol, AddVideoFile("walks.avi", Lap(120)), automatic, "W");

  const BatchSummary summary = Run({rests, walks});
  ASSERT_EQ(summary.outcomes.size(), 2u);
  // The resting animal's jumps to the far corners are too fast to be believed while tracking:
  // it is found only in the frames where it rests.
  struct Expected {
    int test;
    BackgroundMethod method;
    bool notice;
    float rate;
  };
  for (const Expected& e : {Expected{rests, BackgroundMethod::kTemporalMedian, true, 80.05f},
                            Expected{walks, BackgroundMethod::kComposite, false, 100.0f}}) {
    const TestOutcome& outcome = summary.outcomes[e.test == rests ? 0 : 1];
    EXPECT_FLOAT_EQ(outcome.rate, e.rate) << e.test;
    EXPECT_EQ(!outcome.notice.empty(), e.notice) << outcome.notice;
    const AnalysisInfo info =
        ParseInfo(fixture.Value(Format("select InfosAnalyse from Tests where Id=%d", e.test)));
    EXPECT_EQ(BackgroundMethodOf(info), e.method) << e.test;
    EXPECT_EQ(EndingOf(info), RunEnding::kPeriodEnded) << e.test;
  }
}

TEST_F(BatchAnalysisTest, AMissingVideoIsLoggedAndSkippedAndTheNextTestAnalysed) {
  const int moved = AddVideoFile("moved.avi", Lap(20));
  const int present = AddVideoFile("present.avi", Lap(20));
  ASSERT_EQ(std::remove(fixture.dir.File("moved.avi").c_str()), 0);
  const int a = fixture.AddTest(protocol, moved, DarkAnimalSettings(), "Moved");
  const int b = fixture.AddTest(protocol, present, DarkAnimalSettings(), "Present");
  const int noVideo = fixture.AddTest(protocol, -1, DarkAnimalSettings(), "No video");

  const BatchSummary summary = Run({a, 4242, b, noVideo});
  ASSERT_EQ(summary.outcomes.size(), 4u);
  EXPECT_EQ(summary.outcomes[0].kind, TestOutcomeKind::kVideoMissing);
  EXPECT_EQ(summary.outcomes[0].detail, fixture.dir.File("moved.avi"));
  ASSERT_EQ(summary.outcomes[0].log.size(), 2u);
  EXPECT_EQ(summary.outcomes[0].log[0], "Test 1 / 4");
  EXPECT_NE(summary.outcomes[0].log[1].find("moved.avi"), std::string::npos);
  EXPECT_EQ(summary.outcomes[1].kind, TestOutcomeKind::kUnreadable);
  EXPECT_TRUE(summary.outcomes[1].log.empty());  // skipped silently
  EXPECT_EQ(summary.outcomes[2].kind, TestOutcomeKind::kAnalysed);
  EXPECT_EQ(summary.outcomes[3].kind, TestOutcomeKind::kNoVideo);
  EXPECT_EQ(summary.Failed(), 3);
  EXPECT_EQ(fixture.Value(Format("select DateAnalyse from Tests where Id=%d", a)), "0");
  EXPECT_EQ(fixture.Value(Format("select count(*) from TestsPoints where Id=%d", a)), "0");
  EXPECT_NE(fixture.Value(Format("select DateAnalyse from Tests where Id=%d", b)), "0");
}

TEST_F(BatchAnalysisTest, AFileThatIsNotAVideoStoresNothing) {
  const std::string path = fixture.dir.File("notes.avi");
  testing::WriteFileBytes(path, "these are notes, not a video");
  const int video = fixture.AddVideo(path, 10, 25, kFrame);
  const int test = fixture.AddTest(protocol, video, DarkAnimalSettings(), "Notes");
  const BatchSummary summary = Run({test});
  ASSERT_EQ(summary.outcomes.size(), 1u);
  EXPECT_EQ(summary.outcomes[0].kind, TestOutcomeKind::kVideoUnreadable);
  EXPECT_EQ(fixture.Value(Format("select DateAnalyse from Tests where Id=%d", test)), "0");
}

// 50 frames, the animal out of sight in 10 of them: no settings do better than 80.05 %.
std::shared_ptr<RenderedScript> PartlyHidden() {
  auto script = RenderedScript::Regular(Scene(), testing::SmallMouse(), Lap(50), 25.0);
  for (int i = 20; i < 30; ++i) script->poses[i].reset();
  return script;
}

TEST_F(BatchAnalysisTest, BelowTheMinimumTheOtherTestsOfTheVideoAreTriedAndTheBestKept) {
  const int video = AddRenderedVideo("hidden.avi", PartlyHidden());
  const std::string blind = DarkAnimalSettings(10);  // sees nothing: the animal is grey 35
  const int first = fixture.AddTest(protocol, video, blind, "First");
  const int good = fixture.AddTest(protocol, video, DarkAnimalSettings(), "Good");
  fixture.AddTest(protocol, video, blind, "Blind too");
  options.minimumRate = 90;

  const BatchSummary summary = Run({first});
  ASSERT_EQ(summary.outcomes.size(), 1u);
  const TestOutcome& outcome = summary.outcomes[0];
  ASSERT_EQ(outcome.kind, TestOutcomeKind::kAnalysed);
  // The last test of the video first, then the one before it: none reaches 90.
  EXPECT_EQ(std::tuple(outcome.attempts, outcome.keptAttempt, outcome.settingsFrom, outcome.rate),
            std::tuple(3, 2, good, 80.05f));
  const std::string stored =
      fixture.Value(Format("select ParamsDetection from Tests where Id=%d", first));
  EXPECT_EQ(stored.substr(0, 12), DarkAnimalSettings().substr(0, 12));
  EXPECT_NE(outcome.log.end(), std::find(outcome.log.begin(), outcome.log.end(),
                                         "New attempt with the detection settings of the test 'Good'."));
}

TEST_F(BatchAnalysisTest, TheAlternativeSettingsAreTriedFirstAndTryingStopsAtTheMinimum) {
  const int video = AddRenderedVideo("lap.avi", RenderedScript::Regular(Scene(), testing::SmallMouse(), Lap(40), 25.0));
  const int first = fixture.AddTest(protocol, video, DarkAnimalSettings(10), "First");
  fixture.AddTest(protocol, video, DarkAnimalSettings(10), "Other");
  options.minimumRate = 90;
  options.alternativeSettings = DarkAnimalSettings();
  const BatchSummary summary = Run({first});
  ASSERT_EQ(summary.outcomes.size(), 1u);
  EXPECT_EQ(std::tuple(summary.outcomes[0].attempts, summary.outcomes[0].settingsFrom, summary.outcomes[0].rate),
            std::tuple(2, -1, 100.0f));
}

TEST_F(BatchAnalysisTest, ATestWhoseArenaMovedIsTrackedInTheMovedArena) {
  // The protocol's arena covers the left half; in this video the camera saw it 100 pixels to
  // the right, where the animal walks: the protocol's mask would cut the animal out.
  const int halfArena = fixture.AddProtocol(kFrame, {20, 10, 160, 230}, 100, 200);
  const std::vector<AnimalPose> walk = CirclePath({215, 120}, 25, 30, 12.0);
  const int video = AddRenderedVideo("right.avi", RenderedScript::Regular(Scene(), testing::SmallMouse(), walk, 25.0));
  const int plain = fixture.AddTest(halfArena, video, DarkAnimalSettings(), "Protocol's arena");
  const int moved = fixture.AddTest(halfArena, video, DarkAnimalSettings(), "Moved arena");
  testing::ExecuteSql(fixture.path(), Format("update Tests set AdjustArena='2|20|10|160|230|120|10|260|230|0|' "
                                             "where Id=%d", moved));

  const BatchSummary summary = Run({plain, moved});
  ASSERT_EQ(summary.outcomes.size(), 2u);
  EXPECT_EQ(summary.outcomes[0].framesWithAnimal, 0);
  EXPECT_EQ(summary.outcomes[1].rate, 100.0f);
  ASSERT_TRUE(fixture.experiment.LoadAll());
  Trajectory trajectory(ParseSmoothingSettings(fixture.experiment.settings.smooth), kScale);
  ASSERT_TRUE(LoadTestTrajectory(fixture.experiment, *fixture.experiment.FindTest(moved), trajectory));
  ASSERT_EQ(trajectory.size(), walk.size());
  for (size_t i = 0; i < trajectory.size(); ++i) EXPECT_GT(trajectory[i].rawX, 170) << i;  // beyond the protocol's arena
}

// A stream that raises the cancel flag when a given frame is drawn for the n-th time.
struct CancellingScript : RenderedScript {
  std::atomic<bool>* cancel = nullptr;
  int frame = 0;
  mutable int times = 0;
  int at = 1;
  void Render(int index, cv::Mat& image) const override {
    if (index == frame && ++times == at) cancel->store(true);
    RenderedScript::Render(index, image);
  }
};

std::shared_ptr<CancellingScript> CancelAt(std::atomic<bool>& cancel, int frame, int at) {
  auto script = std::make_shared<CancellingScript>();
  static_cast<RenderedScript&>(*script) = *RenderedScript::Regular(Scene(), testing::SmallMouse(), Lap(60), 25.0);
  script->cancel = &cancel;
  script->frame = frame;
  script->at = at;
  return script;
}

TEST_F(BatchAnalysisTest, CancelKeepsTheFinishedTestsAndNothingOfTheCurrentOne) {
  // Frame 45 is drawn once by the first test's run and once by the second's.
  const int video = AddRenderedVideo("lap.avi", CancelAt(cancel, 45, 2));
  const int first = fixture.AddTest(protocol, video, DarkAnimalSettings(), "First");
  const int second = fixture.AddTest(protocol, video, DarkAnimalSettings(), "Second");
  const int third = fixture.AddTest(protocol, video, DarkAnimalSettings(), "Third");
  testing::ExecuteSql(fixture.path(), Format("insert into ReportsData (IdReport, IdTest, Data) values (3, %d, x'01')", second));

  const BatchSummary summary = Run({first, second, third});
  EXPECT_TRUE(summary.cancelled);
  ASSERT_EQ(summary.outcomes.size(), 2u);  // the third never started
  EXPECT_EQ(summary.outcomes[0].kind, TestOutcomeKind::kAnalysed);
  EXPECT_EQ(summary.outcomes[1].kind, TestOutcomeKind::kCancelled);
  EXPECT_NE(fixture.Value(Format("select DateAnalyse from Tests where Id=%d", first)), "0");
  for (int test : {second, third}) {
    EXPECT_EQ(fixture.Value(Format("select DateAnalyse from Tests where Id=%d", test)), "0");
    EXPECT_EQ(fixture.Value(Format("select count(*) from TestsPoints where Id=%d", test)), "0");
    EXPECT_EQ(fixture.Value(Format("select ParamsDetection from Tests where Id=%d", test)), DarkAnimalSettings());
  }
  EXPECT_EQ(fixture.Value(Format("select count(*) from ReportsData where IdTest=%d", second)), "1");
}

// Every column of every test and its points, as text.
std::string Dump(const std::string& path) {
  std::string text;
  for (const char* sql : {"select * from Tests order by Id", "select Id, HeadDetection, hex(PointsAnalyse) from TestsPoints order by Id"}) {
    for (const auto& row : testing::QueryRows(path, sql)) {
      for (const std::string& cell : row) text += cell + "|";
      text += "\n";
    }
  }
  return text;
}

TEST(BatchAnalysisJobs, SeveralTestsAtOnceStoreExactlyWhatOneAtATimeStores) {
  std::vector<std::string> dumps;
  for (int jobs : {1, 2, 3}) {
    AnalysisFixture fixture;
    const int protocol = fixture.AddProtocol(kFrame, kArena, 100, 200);
    std::vector<int> tests;
    for (int v = 0; v < 3; ++v) {
      const std::string path = fixture.dir.File(Format("v%d.avi", v));
      ASSERT_TRUE(WriteSyntheticVideo(path, "MJPG", 25, Scene(), testing::SmallMouse(), CirclePath({160, 120}, 50 + 10 * v, 30 + 5 * v, 4.0), nullptr));
      const int video = fixture.AddVideo(path, 30 + 5 * v, 25, kFrame);
      tests.push_back(fixture.AddTest(protocol, video, DarkAnimalSettings(), Format("T%d", v)));
    }
    BatchOptions options;
    options.jobs = jobs;
    Recorder recorder;
    std::atomic<bool> cancel{false};
    const BatchSummary summary = RunBatchAnalysis(fixture.experiment, tests, options, recorder, cancel);
    ASSERT_EQ(summary.Count(TestOutcomeKind::kAnalysed), 3);
    ASSERT_EQ(recorder.done.size(), 3u);
    for (int i = 0; i < 3; ++i) EXPECT_EQ(recorder.done[i].testId, tests[i]);  // list order
    dumps.push_back(Dump(fixture.path()));
  }
  EXPECT_EQ(dumps[0], dumps[1]);
  EXPECT_EQ(dumps[0], dumps[2]);
}

}  // namespace
}  // namespace vx
