// The video source's rules, on scripted streams: back-end order, rate checks, start offset,
// timing probe, frame access and timing, cameras and the acquisition threads.
#include "video/video_source.h"

#include <gtest/gtest.h>

#include <atomic>

#include "support/fake_capture.h"
#include "support/fakes.h"

namespace vx {
namespace {

using testing::CaptureScript;
using testing::FakeCaptureFactory;
using testing::FrameNumberOf;

struct OpenedSource {
  std::shared_ptr<CaptureScript> script;
  std::unique_ptr<VideoSource> source;
  VideoStatus status;
};

OpenedSource Open(std::shared_ptr<CaptureScript> script, const std::string& path = "test.mp4",
                  const FileOpenOptions& options = {}) {
  auto source = std::make_unique<VideoSource>(FakeCaptureFactory(script), nullptr);
  const VideoStatus status = source->OpenFile(path, options);
  return {script, std::move(source), status};
}

TEST(VideoSourceOpen, TriesTheBackEndsInOrderUntilOneOpens) {
  auto opened = Open(CaptureScript::Regular(50, 25.0));
  ASSERT_EQ(opened.status, VideoStatus::kOk);
  EXPECT_EQ(opened.script->openAttempts, (std::vector<int>{kBackendMsmf, kBackendFfmpeg}));
  EXPECT_EQ(opened.source->backend(), kBackendFfmpeg);
  EXPECT_EQ(opened.source->currentFrame(), -1);
}

TEST(VideoSourceOpen, AVideoAnalysedWithFfmpegTriesFfmpegFirst) {
  auto script = CaptureScript::Regular(50, 25.0);
  script->backends = {kBackendMsmf, kBackendFfmpeg};
  auto opened = Open(script, "a.mp4", {.analysedWithFfmpeg = true});
  ASSERT_EQ(opened.status, VideoStatus::kOk);
  EXPECT_EQ(opened.script->openAttempts, (std::vector<int>{kBackendFfmpeg}));
}

TEST(VideoSourceOpen, AForcedBackEndIsTheOnlyOneTried) {
  auto script = CaptureScript::Regular(50, 25.0);
  VideoSource source(FakeCaptureFactory(script), nullptr);
  source.setPreferredBackend(kBackendMsmf);
  EXPECT_EQ(source.OpenFile("a.mp4"), VideoStatus::kCannotOpen);
  EXPECT_EQ(script->openAttempts, (std::vector<int>{kBackendMsmf}));
  EXPECT_FALSE(source.IsFileOpen());
}

TEST(VideoSourceOpen, NoBackEndMeansTheFileCannotBeOpened) {
  auto script = CaptureScript::Regular(50, 25.0);
  script->backends = {};
  auto opened = Open(script);
  EXPECT_EQ(opened.status, VideoStatus::kCannotOpen);
  EXPECT_EQ(opened.script->openAttempts.size(), 3u);
  EXPECT_EQ(opened.source->GoToFrame(0), VideoStatus::kNotOpen);
}

TEST(VideoSourceOpen, RefusesAbsentOrAbsurdFrameRates) {
  for (double fps : {0.0, -5.0, 200.0, 1000.0}) {
    auto script = CaptureScript::Regular(50, 25.0);
    script->fps = fps;
    EXPECT_EQ(Open(script).status, VideoStatus::kBadFrameRate) << fps;
  }
  auto script = CaptureScript::Regular(50, 25.0);
  script->fps = 199.0;
  script->times = {};
  for (int i = 0; i < 50; ++i) script->times.push_back(i * 1000.0 / 199.0);
  EXPECT_EQ(Open(script).status, VideoStatus::kOk);
}

TEST(VideoSourceOpen, FfmpegRatesAreRoundedUpToATenth) {
  auto opened = Open(CaptureScript::Regular(50, 29.97));
  ASSERT_EQ(opened.status, VideoStatus::kOk);
  EXPECT_DOUBLE_EQ(opened.source->fps(), 30.0);
  auto whole = Open(CaptureScript::Regular(50, 25.0));
  EXPECT_DOUBLE_EQ(whole.source->fps(), 25.0);
}

TEST(VideoSourceOpen, OwnRecordingsAreSoughtByIndexWhateverTheCase) {
  for (const char* path : {"Test_12.vxf", "TEST_12.VXF", "x.VxF"}) {
    auto opened = Open(CaptureScript::Regular(50, 29.97), path);
    ASSERT_EQ(opened.status, VideoStatus::kOk) << path;
    EXPECT_EQ(opened.source->seekByTime(), 0) << path;
    EXPECT_DOUBLE_EQ(opened.source->fps(), 29.97) << path;  // no rounding, no probe
  }
  auto temporary = Open(CaptureScript::Regular(50, 25.0), "Video_tmp.mp4", {.ownRecording = true});
  EXPECT_EQ(temporary.source->seekByTime(), 0);
}

TEST(VideoSourceOpen, TheTimingProbeDecidesHowToSeek) {
  auto regular = Open(CaptureScript::Regular(100, 25.0));
  EXPECT_EQ(regular.source->seekByTime(), 1);

  auto irregular = CaptureScript::Regular(100, 25.0);
  for (size_t i = 0; i < irregular->times.size(); ++i) irregular->times[i] += (i % 2) * 12.0;
  EXPECT_EQ(Open(irregular).source->seekByTime(), 2);

  auto shortFile = Open(CaptureScript::Regular(5, 25.0));
  ASSERT_EQ(shortFile.status, VideoStatus::kOk);
  EXPECT_EQ(shortFile.source->seekByTime(), 2);
}

TEST(VideoSourceOpen, RefusesTimesGoingBackwardsAndRatesThatLie) {
  auto backwards = CaptureScript::Regular(60, 25.0);
  backwards->times[12] = 100.0;
  EXPECT_EQ(Open(backwards).status, VideoStatus::kTimesBackwards);

  auto liar = CaptureScript::Regular(60, 50.0);
  liar->fps = 10.0;  // frames come every 20 ms
  auto opened = Open(liar);
  EXPECT_EQ(opened.status, VideoStatus::kRateMismatch);
  EXPECT_FALSE(opened.source->IsFileOpen());
}

TEST(VideoSourceOpen, RefusesAFileWhoseFirstFrameCannotBeRead) {
  auto empty = CaptureScript::Regular(0, 25.0);
  EXPECT_EQ(Open(empty).status, VideoStatus::kFirstGrabFailed);
  auto negative = CaptureScript::Regular(10, 25.0);
  negative->times[0] = -40.0;
  EXPECT_EQ(Open(negative).status, VideoStatus::kNegativeTime);
}

TEST(VideoSourceOpen, TheStartOffsetFollowsTheFirstFrameTime) {
  auto script = CaptureScript::Regular(60, 25.0);
  for (double& t : script->times) t += 200.0;  // the stream starts at frame 5
  auto opened = Open(script);
  ASSERT_EQ(opened.status, VideoStatus::kOk);
  EXPECT_EQ(opened.source->startFrame(), 5);
  EXPECT_EQ(opened.source->startTimeMs(), 200);

  auto msmf = CaptureScript::Regular(60, 25.0);
  msmf->backends = {kBackendMsmf};
  auto msmfOpened = Open(msmf);
  ASSERT_EQ(msmfOpened.status, VideoStatus::kOk);
  EXPECT_EQ(msmfOpened.source->startFrame(), 1);  // the position after the first grab
}

TEST(VideoSourceOpen, LastFrameIsTheCountMinusOneAndAtLeastOne) {
  auto script = CaptureScript::Regular(50, 25.0);
  EXPECT_EQ(Open(script).source->lastFrame(), 49);
  auto one = CaptureScript::Regular(1, 25.0);
  EXPECT_EQ(Open(one).source->lastFrame(), 1);
}

class VideoSourceFrames : public ::testing::Test {
 protected:
  void SetUp() override {
    script = CaptureScript::Regular(50, 25.0);
    script->size = {10, 8};
    source = std::make_unique<VideoSource>(FakeCaptureFactory(script), nullptr);
    ASSERT_EQ(source->OpenFile("movie.mp4"), VideoStatus::kOk);
  }
  std::shared_ptr<CaptureScript> script;
  std::unique_ptr<VideoSource> source;
};

TEST_F(VideoSourceFrames, MinusOneRewindsToABlackFrameOfTheFileSize) {
  ASSERT_EQ(source->GoToFrame(7), VideoStatus::kOk);
  ASSERT_EQ(source->GoToFrame(-1), VideoStatus::kOk);
  EXPECT_EQ(source->currentFrame(), -1);
  const cv::Mat& image = source->CurrentImage();
  EXPECT_EQ(image.size(), cv::Size(10, 8));
  EXPECT_EQ(image.type(), CV_8UC3);
  EXPECT_EQ(cv::countNonZero(image.reshape(1)), 0);
  ASSERT_EQ(source->GoToFrame(0), VideoStatus::kOk);
  EXPECT_EQ(FrameNumberOf(source->CurrentImage()), 0);
  EXPECT_EQ(source->currentFrame(), 0);
}

TEST_F(VideoSourceFrames, SeeksAnywhereAndReadsOnWithoutSeeking) {
  for (int n : {17, 3, 42, 0}) {
    ASSERT_EQ(source->GoToFrame(n), VideoStatus::kOk);
    EXPECT_EQ(FrameNumberOf(source->CurrentImage()), n);
    EXPECT_EQ(source->currentFrame(), n);
  }
  const int seeks = script->seeks;
  for (int n = 1; n <= 10; ++n) {
    ASSERT_EQ(source->GoToFrame(n), VideoStatus::kOk);
    EXPECT_EQ(FrameNumberOf(source->CurrentImage()), n);
  }
  EXPECT_EQ(script->seeks, seeks);  // the next frame is simply read
}

TEST_F(VideoSourceFrames, BeyondTheEndClampsToTheLastFrame) {
  ASSERT_EQ(source->GoToFrame(500), VideoStatus::kOk);
  EXPECT_EQ(FrameNumberOf(source->CurrentImage()), 49);
  EXPECT_EQ(source->currentFrame(), 49);
}

TEST_F(VideoSourceFrames, FramesDrainedAtTheEndWithoutAPositionFollowOnAtTheRate) {
  // The H.264 reader's last two frames come out of the decoder's delay with position 0.
  script->times[48] = 0;
  script->times[49] = 0;
  ASSERT_EQ(source->OpenFile("movie.mp4"), VideoStatus::kOk);
  ASSERT_EQ(source->GoToFrame(-1), VideoStatus::kOk);
  cv::Mat image;
  double position = -1;
  std::vector<double> positions;
  while (source->ReadNextFrame(image, position)) positions.push_back(position);
  ASSERT_EQ(positions.size(), 50u);
  EXPECT_EQ(positions[0], 0.0);  // the first frame's own 0 stands
  EXPECT_EQ(positions[47], 1880.0);
  EXPECT_EQ(positions[48], 1920.0);
  EXPECT_EQ(positions[49], 1960.0);
  EXPECT_EQ(source->currentFrame(), 49);
  // Sought directly, such a frame is the one asked for.
  ASSERT_EQ(source->GoToFrame(48), VideoStatus::kOk);
  EXPECT_EQ(source->currentFrame(), 48);
}

TEST_F(VideoSourceFrames, CaptureErrorsKeepThePreviousImage) {
  ASSERT_EQ(source->GoToFrame(5), VideoStatus::kOk);
  script->failSeek = true;
  EXPECT_EQ(source->GoToFrame(20), VideoStatus::kCaptureError);
  EXPECT_EQ(FrameNumberOf(source->CurrentImage()), 5);
  script->failSeek = false;
  script->failRead = true;
  EXPECT_EQ(source->GoToFrame(6), VideoStatus::kCaptureError);
  EXPECT_EQ(FrameNumberOf(source->CurrentImage()), 5);
  EXPECT_EQ(source->currentFrame(), 5);
}

TEST_F(VideoSourceFrames, AMissingFrameReadsAsBlack) {
  script->frameCount = 80;  // the header promises more frames than there are
  ASSERT_EQ(source->OpenFile("movie.mp4"), VideoStatus::kOk);
  ASSERT_EQ(source->GoToFrame(70), VideoStatus::kOk);
  EXPECT_EQ(cv::countNonZero(source->CurrentImage().reshape(1)), 0);
}

TEST_F(VideoSourceFrames, FrameTimesComeFromTheRateOrTheRecordedList) {
  EXPECT_EQ(source->FrameTimeMs(3), 120);
  EXPECT_EQ(source->FrameTimeMs(-2), 0);
  EXPECT_EQ(source->FrameTimeMs(50), 0);  // past the last frame
  ASSERT_EQ(source->GoToFrame(4), VideoStatus::kOk);
  EXPECT_EQ(source->FrameTimeMs(-1), 160);

  FileOpenOptions options;
  options.frameTimes = {0, 41, 79, 122, 160};
  ASSERT_EQ(source->OpenFile("movie.mp4", options), VideoStatus::kOk);
  EXPECT_EQ(source->FrameTimeMs(3), 122);
  EXPECT_EQ(source->FrameTimeMs(6), 240);  // beyond the list: the rate
}

TEST_F(VideoSourceFrames, FramesAreSoughtByIndexInOwnRecordings) {
  ASSERT_EQ(source->OpenFile("Test_3.vxf"), VideoStatus::kOk);
  script->sets.clear();
  ASSERT_EQ(source->GoToFrame(12), VideoStatus::kOk);
  ASSERT_FALSE(script->sets.empty());
  EXPECT_EQ(script->sets.back().first, CaptureProperty::PosFrames);
  EXPECT_EQ(script->sets.back().second, 12.0);
  EXPECT_EQ(FrameNumberOf(source->CurrentImage()), 12);
}

TEST_F(VideoSourceFrames, EveryOpenStartsTheMemoriesAgain) {
  const uint64_t before = source->OpenCount();
  ASSERT_EQ(source->OpenFile("movie.mp4"), VideoStatus::kOk);
  EXPECT_EQ(source->OpenCount(), before + 1);
  source->CloseSource();
  EXPECT_FALSE(source->IsFileOpen());
  EXPECT_EQ(source->GoToFrame(0), VideoStatus::kNotOpen);
}

TEST(VideoSourceInfo, CarriesTheVideoFieldsAndTheProgramVersion) {
  auto opened = Open(CaptureScript::Regular(250, 25.0));
  const VideoInfoFields fields = opened.source->InfoFields();
  EXPECT_EQ(fields.backend, kBackendFfmpeg);
  EXPECT_EQ(fields.timing, 1);
  EXPECT_EQ(fields.startFrame, 0);
  EXPECT_EQ(fields.lastFrame, 249);
  EXPECT_EQ(fields.correction, 0);
  EXPECT_EQ(fields.version, PackedProgramVersion());
}

}  // namespace
}  // namespace vx
