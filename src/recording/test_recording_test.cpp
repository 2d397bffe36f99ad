// Recording a test from a stand-in camera (a rendered video file played through the capture
// interface), read back with plain SQL and by reading the recorded file itself.
#include "recording/test_recording.h"

#include <gtest/gtest.h>

#include <opencv2/core/utility.hpp>
#include <opencv2/videoio.hpp>

#include <signal.h>
#include <sys/wait.h>
#include <unistd.h>

#include <chrono>
#include <cmath>
#include <filesystem>
#include <thread>
#include <tuple>

#include "analysis/batch_analysis.h"
#include "db/animal_store.h"
#include "db/frame_times.h"
#include "support/analysis_fixture.h"
#include "support/rendered_capture.h"
#include "trajectory/trajectory_store.h"
#include "video/synthetic_animal.h"

namespace vx {
namespace {

using testing::AnalysisFixture;

const cv::Size kFrame(320, 240);
const PixelRect kArena{20, 10, 300, 230};
constexpr double kFps = 25.0;

SceneLook Scene(double noise = 0.0) {
  SceneLook scene = LightFloorScene(ArenaShape::Rectangle);
  scene.noise = noise;
  scene.size = kFrame;
  scene.arenaRect = {20, 10, 280, 220};
  return scene;
}

// A program that takes its time on every frame: the processing falls behind the camera.
class SlowProgram : public FrameProgram {
 public:
  void Start() override {}
  std::vector<FrameAction> Evaluate(const tMyPoint&, int) override {
    std::this_thread::sleep_for(std::chrono::milliseconds(25));
    return {};
  }
};

// A live display: keeps every picture it is given.
class PictureTaker : public RecordingObserver {
 public:
  bool WantsPictures() const override { return true; }
  void Picture(const LivePicture& picture) override { pictures.push_back(picture); }
  std::vector<LivePicture> pictures;
};

class RecordTestTest : public ::testing::Test {
 protected:
  void SetUp() override {
    protocol = fixture.AddProtocol(kFrame, kArena, 100, 200);
    CInfosTest test;
    test.title = "Mouse 1";
    test.idProtocol = protocol;
    test.paramsDetection = testing::DarkAnimalSettings();
    ASSERT_TRUE(SaveTest(fixture.experiment, test, false));
    testId = test.id;
  }

  // The stand-in: the animal round the arena, `frames` frames at `fps`.
  std::string StandIn(int frames, double fps = kFps, double noise = 0.0) {
    const std::string path = fixture.dir.File("camera.avi");
    EXPECT_TRUE(WriteSyntheticVideo(path, "MJPG", fps, Scene(noise), testing::SmallMouse(),
                                    CirclePath({160, 120}, 70, frames, 3.0), &truths));
    return path;
  }

  RecordOutcome Record(RecordRequest request, const ProgramFactory& programs = {}) {
    request.testId = testId;
    return RecordTest(fixture.experiment, request, observer, programs);
  }

  std::vector<uint32_t> StoredTimes(int videoId) {
    SQLite::Database db;
    std::vector<uint8_t> blob;
    EXPECT_EQ(db.Open(fixture.path()), SQLite::kOk);
    db.ReadBlob(Format("select ListePoints from Videos where Id=%d", videoId), blob);
    FrameTimes times;
    EXPECT_TRUE(ReadFrameTimes(blob, times));
    return times.times;
  }

  std::vector<tMyPoint> StoredPoints() {
    EXPECT_TRUE(fixture.experiment.LoadAll());
    const CInfosTest& test = fixture.experiment.tests.at(testId);
    Trajectory trajectory(SmoothingSettings{}, test.scale);
    EXPECT_TRUE(LoadTestTrajectory(fixture.experiment, test, trajectory));
    return trajectory.points();
  }

  AnalysisFixture fixture;
  RecordingObserver observer;
  int protocol = -1;
  int testId = -1;
  std::vector<AnimalTruth> truths;
};

TEST_F(RecordTestTest, FastStandInIsRecordedWholeWithTheFileTimes) {
  RecordRequest request;
  request.standIn = StandIn(30);
  request.pace = StreamPace::kFast;
  request.format = "ffv1";
  const RecordOutcome outcome = Record(request);
  ASSERT_EQ(outcome.status, RecordStatus::kRecorded) << outcome.detail;
  EXPECT_EQ(outcome.recording.end, RecordingEnd::kStreamEnded);
  EXPECT_EQ(outcome.recording.dropped, 0);

  const std::string row = Format("%d|%d|%d", outcome.videoId, testId, protocol);
  EXPECT_EQ(fixture.Value(Format("select Source||'|'||Id||'|'||IdProtocol from Tests where Id=%d", testId)), row);
  EXPECT_EQ(fixture.Value("select File||' '||NbFrames||' '||Width||'x'||Height||' '||Duration from Videos"),
            "Test_1.vxf 30 320x240 1160");
  EXPECT_FALSE(std::filesystem::exists(outcome.temporaryPath));
  std::vector<uint32_t> expected;
  for (int i = 0; i < 30; ++i) expected.push_back(static_cast<uint32_t>(i * 40));
  EXPECT_EQ(StoredTimes(outcome.videoId), expected);

  // The stored file is a video of every frame, whatever its extension says.
  cv::VideoCapture stored(outcome.storedPath, cv::CAP_FFMPEG);
  int frames = 0;
  for (cv::Mat frame; stored.read(frame);) ++frames;
  EXPECT_EQ(frames, 30);
}

TEST_F(RecordTestTest, LiveTrackingFindsWhatTheOfflineAnalysisOfTheRecordingFinds) {
  RecordRequest request;
  request.standIn = StandIn(40);
  request.pace = StreamPace::kFast;
  request.format = "ffv1";  // lossless: both read the same pixels
  request.track = true;
  const RecordOutcome outcome = Record(request);
  ASSERT_EQ(outcome.status, RecordStatus::kRecorded) << outcome.detail;
  ASSERT_TRUE(outcome.tracked);
  const std::vector<tMyPoint> live = StoredPoints();
  ASSERT_EQ(live.size(), 40u);
  for (size_t i = 0; i < live.size(); ++i) {
    EXPECT_NEAR(live[i].rawX, truths[i].centreOfMass.x, 2.0) << i;
    EXPECT_NEAR(live[i].rawY, truths[i].centreOfMass.y, 2.0) << i;
  }

  std::atomic<bool> cancel{false};
  BatchObserver quiet;
  const BatchSummary offline = RunBatchAnalysis(fixture.experiment, {testId}, {}, quiet, cancel);
  ASSERT_EQ(offline.Count(TestOutcomeKind::kAnalysed), 1);
  const std::vector<tMyPoint> again = StoredPoints();
  ASSERT_EQ(again.size(), live.size());
  for (size_t i = 0; i < live.size(); ++i) {
    EXPECT_EQ(std::make_tuple(again[i].frame, again[i].time), std::make_tuple(live[i].frame, live[i].time));
    EXPECT_LE(std::hypot(again[i].rawX - live[i].rawX, again[i].rawY - live[i].rawY), 1.0) << i;
  }
}

TEST_F(RecordTestTest, RealTimeStandInKeepsItsClockAndItsDuration) {
  RecordRequest request;
  request.standIn = StandIn(50);
  request.durationMs = 600;  // frames 0..14 (0 to 560 ms); the frame at 600 ends it
  const auto start = std::chrono::steady_clock::now();
  const RecordOutcome outcome = Record(request);
  const double seconds = std::chrono::duration<double>(std::chrono::steady_clock::now() - start).count();
  ASSERT_EQ(outcome.status, RecordStatus::kRecorded) << outcome.detail;
  EXPECT_EQ(outcome.recording.end, RecordingEnd::kDuration);
  EXPECT_GE(seconds, 0.55);  // played at the file's rate, not faster
  std::vector<uint32_t> expected;
  for (int i = 0; i < 15; ++i) expected.push_back(static_cast<uint32_t>(i * 40));
  EXPECT_EQ(StoredTimes(outcome.videoId), expected);
}

TEST_F(RecordTestTest, LivePicturesAreFramesOfTheRecordingWithWhatTrackingFoundInThem) {
  RecordRequest request;
  request.standIn = StandIn(20);  // 0.8 s in real time
  request.track = true;
  request.testId = testId;
  PictureTaker display;
  const RecordOutcome outcome = RecordTest(fixture.experiment, request, display, {});
  ASSERT_EQ(outcome.status, RecordStatus::kRecorded) << outcome.detail;
  ASSERT_GE(display.pictures.size(), 3u);
  int last = -1;
  for (const LivePicture& p : display.pictures) {
    ASSERT_GT(p.index, last) << "a frame given twice";
    last = p.index;
    ASSERT_TRUE(p.tracked);
    ASSERT_EQ(p.frame.size(), kFrame);
    const AnimalTruth& truth = truths[p.index];
    EXPECT_NEAR(p.point.rawX, truth.centreOfMass.x, 2.0) << p.index;
    EXPECT_NEAR(p.point.rawY, truth.centreOfMass.y, 2.0) << p.index;
    // The pixels are still those of that frame (the dark animal at its place), not of a later one.
    const cv::Vec3b centre = p.frame.at<cv::Vec3b>(cv::Point(truth.centreOfMass));
    EXPECT_LT(centre[1], 100) << p.index;
  }
}

TEST_F(RecordTestTest, FramesTheProcessingMissesAreCountedAsDropped) {
  RecordRequest request;
  request.standIn = StandIn(60, 100.0);  // a frame every 10 ms, processed in 25
  const RecordOutcome outcome = Record(request, [](const TestJob&, const ZoneSet&) {
    return std::unique_ptr<FrameProgram>(new SlowProgram);
  });
  ASSERT_EQ(outcome.status, RecordStatus::kRecorded) << outcome.detail;
  const RecordingResult& r = outcome.recording;
  const std::vector<uint32_t> times = StoredTimes(outcome.videoId);
  EXPECT_GT(r.dropped, 0);
  EXPECT_EQ(r.grabbed, 60);
  EXPECT_EQ(static_cast<int>(times.size()) + r.dropped, r.grabbed);
  for (size_t i = 1; i < times.size(); ++i) {
    EXPECT_GT(times[i], times[i - 1]);
    EXPECT_EQ(times[i] % 10, 0u) << "a time of the file's frames";
  }
}

TEST_F(RecordTestTest, KilledRecordingLeavesAPlayableFileAndNoHalfStoredTest) {
  // 6 s in real time, with a camera's noise: frames of a realistic size, so that the writer's
  // buffers reach the file as they would with a camera.
  const std::string standIn = StandIn(150, kFps, 4.0);
  const std::string temporary = fixture.experiment.file.CompanionFolder() + "Video_tmp.mkv";
  const pid_t child = fork();
  if (child == 0) {
    // The parent's worker pool did not survive the fork: the child works on its own thread.
    cv::setNumThreads(0);
    RecordRequest request;
    request.standIn = standIn;
    request.format = "mpeg4";
    Record(request);
    _exit(0);
  }
  ASSERT_GT(child, 0);
  std::this_thread::sleep_for(std::chrono::milliseconds(2500));
  kill(child, SIGKILL);
  int status = 0;
  ASSERT_EQ(waitpid(child, &status, 0), child);
  ASSERT_TRUE(WIFSIGNALED(status)) << "the recording ended before it was killed";

  cv::VideoCapture cut(temporary, cv::CAP_FFMPEG);
  int frames = 0;
  for (cv::Mat frame; cut.read(frame);) ++frames;
  EXPECT_GT(frames, 10) << "the frames recorded before the kill play";
  EXPECT_EQ(fixture.Value("select count(*) from Videos"), "0");
  EXPECT_EQ(fixture.Value(Format("select Source from Tests where Id=%d", testId)), "-1");
}

TEST_F(RecordTestTest, BadRequestsRecordNothing) {
  struct Case {
    const char* what;
    std::string standIn;
    int test;
    const char* format;
    bool track;
    std::string settings;
    RecordStatus status;
  };
  const std::string good = StandIn(5);
  const std::string notVideo = fixture.dir.File("notes.avi");
  testing::WriteFileBytes(notVideo, "not a video");
  const std::string wrongSize = fixture.dir.File("small.avi");
  SceneLook small = Scene();
  small.size = {160, 120};
  ASSERT_TRUE(WriteSyntheticVideo(wrongSize, "MJPG", kFps, small, testing::SmallMouse(),
                                  CirclePath({80, 60}, 30, 5, 3.0)));
  const std::string subtraction = "5|4|0|60|90|127|50|0|179|0|255|0|255|20|0||0|1|0|1|10|30|1";
  for (const Case& c : {Case{"no such test", good, 99, "", false, "", RecordStatus::kNoTest},
                        Case{"unknown format", good, 0, "divx", false, "", RecordStatus::kBadFormat},
                        Case{"not a video", notVideo, 0, "", false, "", RecordStatus::kStreamUnavailable},
                        Case{"wrong size", wrongSize, 0, "", false, "", RecordStatus::kSizeMismatch},
                        Case{"reference to come from the video", good, 0, "", true, subtraction,
                             RecordStatus::kNeedsReference}}) {
    if (!c.settings.empty()) {
      testing::ExecuteSql(fixture.path(), Format("update Tests set ParamsDetection='%s'", c.settings.c_str()));
    }
    RecordRequest request;
    request.standIn = c.standIn;
    request.pace = StreamPace::kFast;
    request.format = c.format;
    request.track = c.track;
    request.testId = c.test == 0 ? testId : c.test;
    EXPECT_EQ(RecordTest(fixture.experiment, request, observer, {}).status, c.status) << c.what;
  }
  // A new test asked for is removed again when nothing is recorded.
  RecordRequest unrecorded;
  unrecorded.standIn = notVideo;
  unrecorded.newProtocol = protocol;
  CAnimal animal;
  animal.name = "M1";
  ASSERT_TRUE(SaveAnimal(fixture.experiment, animal));
  unrecorded.newAnimal = animal.id;
  EXPECT_EQ(RecordTest(fixture.experiment, unrecorded, observer, {}).status, RecordStatus::kStreamUnavailable);
  EXPECT_EQ(fixture.Value("select count(*) from Videos"), "0");
  EXPECT_EQ(fixture.Value("select group_concat(Id||':'||Source) from Tests"), Format("%d:-1", testId));
}

}  // namespace
}  // namespace vx
