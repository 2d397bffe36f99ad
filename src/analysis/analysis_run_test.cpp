// The frame loop and one attempt of a batch analysis, on rendered streams whose every frame
// and time is known.
#include "analysis/analysis_run.h"

#include <gtest/gtest.h>

#include <cmath>
#include <functional>
#include <optional>
#include <tuple>

#include "trajectory/trajectory_blob.h"
#include "support/fakes.h"
#include "support/rendered_capture.h"

namespace vx {
namespace {

using testing::RenderedCaptureFactory;
using testing::RenderedScript;

SceneLook Scene() {
  SceneLook scene = LightFloorScene(ArenaShape::Rectangle);
  scene.size = {200, 150};
  scene.arenaRect = {10, 10, 180, 130};
  return scene;
}

// A dark animal found by its grey level, with no size filter.
DetectionSettings GreySettings() {
  DetectionSettings settings;
  settings.method = kMethodGrayscale;
  settings.greyLow = 0;
  settings.greyHigh = 60;  // the animal is 35, the floor 205, the border 90
  settings.sizeMode = kSizeNone;
  return settings;
}

// Back and forth along a line, 3 pixels a frame, for `frames` frames.
std::vector<AnimalPose> Shuttle(int frames) {
  std::vector<AnimalPose> poses;
  for (int i = 0; i < frames; ++i) {
    const int step = i % 60;
    const double x = 40 + 3.0 * (step < 30 ? step : 60 - step);
    poses.push_back({{x, 75.0}, step < 30 ? 0.0 : 180.0});
  }
  return poses;
}

// A stage program scripted by time: starts recording at startMs and stops at stopMs (-1:
// never); stopId -1 stands for the protocol's maximum duration.
class TimedProgram : public FrameProgram {
 public:
  TimedProgram(int startMs, int stopMs, int stopId = 9) : startMs_(startMs), stopMs_(stopMs), stopId_(stopId) {}
  void Start() override {
    started_ = stopped_ = false;
    ++starts;
  }
  std::vector<FrameAction> Evaluate(const tMyPoint&, int timeMs) override {
    times.push_back(timeMs);
    std::vector<FrameAction> actions;
    if (!started_ && timeMs >= startMs_) {
      started_ = true;
      actions.push_back({FrameAction::kStart, 4});
    }
    if (!stopped_ && stopMs_ >= 0 && timeMs >= stopMs_) {
      stopped_ = true;
      actions.push_back({FrameAction::kStop, stopId_});
    }
    return actions;
  }
  std::vector<int> times;
  int starts = 0;

 private:
  int startMs_, stopMs_, stopId_;
  bool started_ = false, stopped_ = false;
};

// Cancels once the run has reported a given progress.
class CancellingObserver : public RunObserver {
 public:
  explicit CancellingObserver(int atPercent) : atPercent_(atPercent) {}
  void Progress(int percent) override {
    if (percent >= atPercent_) cancelled_ = true;
    progress.push_back(percent);
  }
  void Log(const std::string& line) override { lines.push_back(line); }
  bool Cancelled() const override { return cancelled_; }
  std::vector<int> progress;
  std::vector<std::string> lines;

 private:
  int atPercent_;
  bool cancelled_ = false;
};

class AnalysisRunTest : public ::testing::Test {
 protected:
  void Use(std::shared_ptr<RenderedScript> rendered) {
    script = std::move(rendered);
    source = std::make_unique<AnalysisSource>(RenderedCaptureFactory(script));
    job.videoPath = "rendered.avi";
    job.smoothing = SmoothingSettings{kNoSmoothing, 0, kThresholdPixels};
    zones.SetImageSize(script->scene.size.width, script->scene.size.height, false, false);
  }

  // Runs the frame loop with settings over the whole stream.
  RunOutcome Run(FrameProgram& program, RunObserver& observer, const std::string& path = "v.avi") {
    PrepareSource(*source, job, zones, GreySettings());
    return RunFrames(*source, path, job.openOptions, program, observer);
  }

  std::shared_ptr<RenderedScript> script;
  std::unique_ptr<AnalysisSource> source;
  TestJob job;
  ZoneSet zones;
  testing::TestServices services;
};

TEST_F(AnalysisRunTest, FramesWithoutTheAnimalAreNotRecordedAndCountAgainstTheRate) {
  // 100 frames; the animal is out of sight in frames 40 to 59.
  auto rendered = RenderedScript::Regular(Scene(), DarkAnimal(), Shuttle(100), 25.0);
  for (int i = 40; i < 60; ++i) rendered->poses[i].reset();
  Use(rendered);
  RecordEverythingProgram program;
  RunObserver observer;
  const AttemptResult result = AnalyseTestBatch(*source, job, zones, GreySettings(), 0, 0.0f,
                                                program, observer, services.Bundle());
  ASSERT_FALSE(result.cancelled);
  EXPECT_EQ(result.framesWithAnimal, 80);
  EXPECT_EQ(result.framesInPeriod, 100);
  EXPECT_FLOAT_EQ(result.rate, 80.05f);
  ASSERT_EQ(result.trajectory.size(), 80u);
  // Every recorded point lies on the drawn animal's centre of mass, at its frame's time.
  for (const tMyPoint& p : result.trajectory.points()) {
    AnimalTruth truth;
    ASSERT_TRUE(script->Truth(p.frame, truth)) << p.frame;
    EXPECT_LE(std::abs(p.rawX - truth.centreOfMass.x), 1.0) << p.frame;
    EXPECT_LE(std::abs(p.rawY - truth.centreOfMass.y), 1.0) << p.frame;
    EXPECT_EQ(p.time, p.frame * 40);
    EXPECT_GE(p.smoothX, 0.0);  // finished
  }
  const AnalysisInfo& info = result.info;
  EXPECT_EQ(std::tuple(info[run_info::kPeriodFrames], info[run_info::kAnimalFrames], info[run_info::kStartFrame],
                       info[run_info::kLastFrame], info[run_info::kEndTime], info[AnalysisInfo::kBackend]),
            std::tuple(100, 80, 0, 99, 99 * 40, kBackendFfmpeg));
}

// Where the frame loop stops, and the times it gives the points on the way.
TEST_F(AnalysisRunTest, TheRunEndsWithTheVideoItsListedTimesOrThePeriod) {
  const struct {
    const char* why;
    int frames;
    std::function<void(RenderedScript&, TestJob&, AnalysisSource&)> change;
    int processed, first, last, firstTime, step;  // the frames recorded and their times
  } cases[] = {
      {"times listed for every frame", 20,
       [](RenderedScript&, TestJob& job, AnalysisSource&) {
         for (int i = 0; i < 20; ++i) job.openOptions.frameTimes.push_back(1000 + 41 * i);
       },
       20, 0, 19, 1000, 41},
      {"fewer times listed than frames", 20,
       [](RenderedScript&, TestJob& job, AnalysisSource&) {
         for (int i = 0; i < 12; ++i) job.openOptions.frameTimes.push_back(40 * i);
       },
       12, 0, 11, 0, 40},
      {"a time that does not advance (a repeated frame)", 30,
       [](RenderedScript& script, TestJob&, AnalysisSource&) { script.times[10] = script.times[9]; },
       10, 0, 9, 0, 40},
      {"a period of frames 10 to 19", 50,
       [](RenderedScript&, TestJob&, AnalysisSource& source) { source.period = {10, 19}; }, 10, 10,
       19, 0, 40},
  };
  for (const auto& c : cases) {
    job = TestJob();
    Use(RenderedScript::Regular(Scene(), DarkAnimal(), Shuttle(c.frames), 25.0));
    c.change(*script, job, *source);
    RecordEverythingProgram program;
    RunObserver observer;
    const RunOutcome outcome = Run(program, observer);
    EXPECT_EQ(outcome.framesProcessed, c.processed) << c.why;
    // A time that does not advance ends the video there: nothing usable follows.
    const bool stuck = std::string(c.why).find("does not advance") != std::string::npos;
    EXPECT_EQ(outcome.videoEnded, c.processed == c.frames || stuck) << c.why;
    const Trajectory trajectory = source->CopyTrajectory();
    ASSERT_EQ(trajectory.size(), static_cast<size_t>(c.processed)) << c.why;
    EXPECT_EQ(std::pair(trajectory.points().front().frame, trajectory.points().back().frame),
              std::pair(c.first, c.last)) << c.why;
    for (const tMyPoint& p : trajectory.points()) EXPECT_EQ(p.time, c.firstTime + c.step * p.frame) << c.why;
  }
}

TEST_F(AnalysisRunTest, OwnRecordingsCountFramesAndSkipRepeatedOnes) {
  auto rendered = RenderedScript::Regular(Scene(), DarkAnimal(), Shuttle(30), 25.0);
  rendered->times[10] = rendered->times[9];
  Use(rendered);
  for (int i = 0; i < 30; ++i) job.openOptions.frameTimes.push_back(i == 10 ? 9 * 40 : 40 * i);
  RecordEverythingProgram program;
  RunObserver observer;
  const RunOutcome outcome = Run(program, observer, "Test_1.VXF");
  EXPECT_TRUE(outcome.videoEnded);
  EXPECT_EQ(outcome.framesProcessed, 29);  // frame 10 repeats frame 9's time: skipped
  const Trajectory trajectory = source->CopyTrajectory();
  ASSERT_EQ(trajectory.size(), 29u);
  EXPECT_EQ(trajectory[9].frame, 9);
  EXPECT_EQ(trajectory[10].frame, 11);
  EXPECT_EQ(trajectory[10].time, 440);
}

TEST_F(AnalysisRunTest, TheStageProgramStartsAndStopsTheRecording) {
  Use(RenderedScript::Regular(Scene(), DarkAnimal(), Shuttle(100), 25.0));
  TimedProgram program(1000, 2000);
  RunObserver observer;
  const RunOutcome outcome = Run(program, observer);
  EXPECT_EQ(outcome.ending, RunEnding::kStopAction);
  EXPECT_FALSE(outcome.videoEnded);
  EXPECT_EQ(program.starts, 1);
  EXPECT_EQ(program.times.front(), 0);
  const Trajectory trajectory = source->CopyTrajectory();
  ASSERT_FALSE(trajectory.empty());
  EXPECT_EQ(trajectory.points().front().frame, 25);  // 1000 ms
  EXPECT_EQ(trajectory.points().back().frame, 50);   // the stop frame is still recorded
  const AnalysisInfo& info = source->info;
  EXPECT_EQ(std::tuple(info[run_info::kStartFrame], info[run_info::kStartTime], info[run_info::kStartAction],
                       info[run_info::kStopAction], info[run_info::kEnding], info[run_info::kEndTime]),
            std::tuple(25, 1000, 4, 9, 1, 2000));
  // The period is the whole video: the rate counts every frame.
  EXPECT_EQ(source->period.FrameCount(), 100);
}

TEST_F(AnalysisRunTest, TheMaximumDurationIsToldApartFromAStopAction) {
  Use(RenderedScript::Regular(Scene(), DarkAnimal(), Shuttle(40), 25.0));
  TimedProgram program(0, 400, -1);
  RunObserver observer;
  EXPECT_EQ(Run(program, observer).ending, RunEnding::kMaximumDuration);
  EXPECT_EQ(source->info[run_info::kEnding], 2);
  EXPECT_EQ(source->info[run_info::kStopAction], -1);
}

TEST_F(AnalysisRunTest, AVideoShorterThanItsHeaderEndsThePeriodWhereItEnds) {
  auto rendered = RenderedScript::Regular(Scene(), DarkAnimal(), Shuttle(50), 25.0);
  rendered->frameCount = 80;
  Use(rendered);
  RecordEverythingProgram program;
  RunObserver observer;
  const AttemptResult result = AnalyseTestBatch(*source, job, zones, GreySettings(), 0, 0.0f,
                                                program, observer, services.Bundle());
  EXPECT_EQ(source->period.last, 49);
  EXPECT_EQ(result.framesInPeriod, 50);
  EXPECT_FLOAT_EQ(result.rate, 100.0f);
}

TEST_F(AnalysisRunTest, ProgressIsReportedWhenItChangesAndCancelStopsTheRun) {
  Use(RenderedScript::Regular(Scene(), DarkAnimal(), Shuttle(100), 25.0));
  RecordEverythingProgram program;
  CancellingObserver observer(30);
  const AttemptResult result = AnalyseTestBatch(*source, job, zones, GreySettings(), 0, 0.0f,
                                                program, observer, services.Bundle());
  EXPECT_TRUE(result.cancelled);
  EXPECT_TRUE(result.trajectory.empty());
  ASSERT_FALSE(observer.progress.empty());
  EXPECT_EQ(observer.progress.front(), 1);  // frame 0 of 0..99: (0 + 1 + 0) / 99
  EXPECT_EQ(observer.progress.back(), 30);
  for (size_t i = 1; i < observer.progress.size(); ++i) {
    EXPECT_GT(observer.progress[i], observer.progress[i - 1]);
  }
  EXPECT_LT(script->reads, 60);  // stopped long before the end
}

TEST_F(AnalysisRunTest, AnUnreadableVideoRunsNothing) {
  auto rendered = RenderedScript::Regular(Scene(), DarkAnimal(), Shuttle(10), 0.0);  // no rate
  Use(rendered);
  RecordEverythingProgram program;
  RunObserver observer;
  const AttemptResult result = AnalyseTestBatch(*source, job, zones, GreySettings(), 0, 0.0f,
                                                program, observer, services.Bundle());
  EXPECT_EQ(result.videoStatus, VideoStatus::kBadFrameRate);
  EXPECT_TRUE(result.trajectory.empty());
}

TEST_F(AnalysisRunTest, AReferenceThatCannotBePreparedRunsNoDetection) {
  Use(RenderedScript::Regular(Scene(), DarkAnimal(), Shuttle(10), 25.0));
  DetectionSettings settings;
  settings.method = kMethodSubtraction;
  settings.referenceImageId = 0;
  settings.referenceRecipe = "0;";
  job.videoPath = "/no/such/video.avi";
  RecordEverythingProgram program;
  CancellingObserver observer(1000);
  const AttemptResult result = AnalyseTestBatch(*source, job, zones, settings, 1, 0.0f, program,
                                                observer, services.Bundle());
  EXPECT_TRUE(result.referenceFailed);
  EXPECT_EQ(program.Evaluate(tMyPoint(), 0).size(), 1u);  // never started by the run
  ASSERT_EQ(observer.lines.size(), 1u);
  EXPECT_NE(observer.lines[0].find("Attempt 2"), std::string::npos);
}

TEST_F(AnalysisRunTest, TheLogNamesTheTestItsRateAndTheAttemptOfARetry) {
  Use(RenderedScript::Regular(Scene(), DarkAnimal(), Shuttle(20), 25.0));
  job.test.title = "Mouse 12";
  RecordEverythingProgram program;
  CancellingObserver observer(1000);
  AnalyseTestBatch(*source, job, zones, GreySettings(), 0, 0.0f, program, observer, services.Bundle());
  ASSERT_EQ(observer.lines.size(), 3u);
  EXPECT_NE(observer.lines[0].find("Mouse 12"), std::string::npos);
  EXPECT_NE(observer.lines[1].find("100.00"), std::string::npos);
  EXPECT_NE(observer.lines[2].find("0 s"), std::string::npos);
  observer.lines.clear();
  AnalyseTestBatch(*source, job, zones, GreySettings(), 2, 0.0f, program, observer, services.Bundle());
  ASSERT_EQ(observer.lines.size(), 4u);
  EXPECT_NE(observer.lines[3].find("3"), std::string::npos);
}

}  // namespace
}  // namespace vx
