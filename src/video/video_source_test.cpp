// The video source's rules, on scripted streams: back-end order, rate checks, start offset,
// timing probe, frame access and timing, cameras and the acquisition threads.
#include "video/video_source.h"

#include <gtest/gtest.h>

#include <functional>

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

TEST(VideoSourceOpen, BackEndsAreTriedInOrderUntilOneOpens) {
  const struct {
    std::vector<int> accepting;
    FileOpenOptions options;
    int preferred;  // 0: none
    std::vector<int> attempts;
    VideoStatus status;
  } cases[] = {
      {{kBackendFfmpeg}, {}, 0, {kBackendMsmf, kBackendFfmpeg}, VideoStatus::kOk},
      {{kBackendMsmf, kBackendFfmpeg}, {.analysedWithFfmpeg = true}, 0, {kBackendFfmpeg}, VideoStatus::kOk},
      {{kBackendFfmpeg}, {}, kBackendMsmf, {kBackendMsmf}, VideoStatus::kCannotOpen},  // forced: the only one
  };
  for (const auto& c : cases) {
    auto script = CaptureScript::Regular(50, 25.0);
    script->backends = c.accepting;
    VideoSource source(FakeCaptureFactory(script), nullptr);
    if (c.preferred != 0) source.setPreferredBackend(c.preferred);
    EXPECT_EQ(source.OpenFile("a.mp4", c.options), c.status);
    EXPECT_EQ(script->openAttempts, c.attempts);
    EXPECT_EQ(source.IsFileOpen(), c.status == VideoStatus::kOk);
  }
  auto opened = Open(CaptureScript::Regular(50, 25.0));
  EXPECT_EQ(opened.source->backend(), kBackendFfmpeg);
  EXPECT_EQ(opened.source->currentFrame(), -1);
  auto script = CaptureScript::Regular(50, 25.0);
  script->backends = {};
  auto none = Open(script);
  EXPECT_EQ(none.status, VideoStatus::kCannotOpen);
  EXPECT_EQ(none.script->openAttempts.size(), 3u);
  EXPECT_EQ(none.source->GoToFrame(0), VideoStatus::kNotOpen);
}

TEST(VideoSourceOpen, RefusesBrokenStreamsWithTheReason) {
  using Change = std::function<void(CaptureScript&)>;
  const struct {
    Change change;
    VideoStatus status;
  } cases[] = {
      {[](CaptureScript& s) { s.fps = 0.0; }, VideoStatus::kBadFrameRate},
      {[](CaptureScript& s) { s.fps = -5.0; }, VideoStatus::kBadFrameRate},
      {[](CaptureScript& s) { s.fps = 200.0; }, VideoStatus::kBadFrameRate},
      {[](CaptureScript& s) { s.fps = 1000.0; }, VideoStatus::kBadFrameRate},
      {[](CaptureScript& s) {  // 199 is still a rate
         s = *CaptureScript::Regular(50, 199.0);
       },
       VideoStatus::kOk},
      {[](CaptureScript& s) { s.times[12] = 100.0; }, VideoStatus::kTimesBackwards},
      {[](CaptureScript& s) {  // frames come every 20 ms
         s = *CaptureScript::Regular(60, 50.0);
         s.fps = 10.0;
       },
       VideoStatus::kRateMismatch},
      {[](CaptureScript& s) { s.times.clear(); }, VideoStatus::kFirstGrabFailed},
  };
  for (size_t i = 0; i < std::size(cases); ++i) {
    auto script = CaptureScript::Regular(60, 25.0);
    cases[i].change(*script);
    auto opened = Open(script);
    EXPECT_EQ(opened.status, cases[i].status) << "case " << i;
    EXPECT_EQ(opened.source->IsFileOpen(), cases[i].status == VideoStatus::kOk) << "case " << i;
  }
}

TEST(VideoSourceOpen, RatesSeekingStartAndLastFrame) {
  auto ntsc = Open(CaptureScript::Regular(50, 29.97));
  EXPECT_DOUBLE_EQ(ntsc.source->fps(), 30.0);  // rounded up to a tenth
  EXPECT_DOUBLE_EQ(Open(CaptureScript::Regular(50, 25.0)).source->fps(), 25.0);
  // Own recordings are sought by index, without rounding or probe, whatever the case.
  for (const char* path : {"Test_12.vxf", "TEST_12.VXF", "x.VxF"}) {
    auto opened = Open(CaptureScript::Regular(50, 29.97), path);
    ASSERT_EQ(opened.status, VideoStatus::kOk) << path;
    EXPECT_EQ(opened.source->seekByTime(), 0) << path;
    EXPECT_DOUBLE_EQ(opened.source->fps(), 29.97) << path;
  }
  EXPECT_EQ(Open(CaptureScript::Regular(50, 25.0), "Video_tmp.mp4", {.ownRecording = true}).source->seekByTime(), 0);
  // The timing probe: regular frames by the rate, irregular or too few by the back-end times.
  EXPECT_EQ(Open(CaptureScript::Regular(100, 25.0)).source->seekByTime(), 1);
  auto irregular = CaptureScript::Regular(100, 25.0);
  for (size_t i = 0; i < irregular->times.size(); ++i) irregular->times[i] += (i % 2) * 12.0;
  EXPECT_EQ(Open(irregular).source->seekByTime(), 2);
  EXPECT_EQ(Open(CaptureScript::Regular(5, 25.0)).source->seekByTime(), 2);
  // The start offset follows the first frame's time (MSMF: the position after the first grab).
  auto late = CaptureScript::Regular(60, 25.0);
  for (double& t : late->times) t += 200.0;
  auto opened = Open(late);
  EXPECT_EQ(std::make_tuple(opened.source->startFrame(), opened.source->startTimeMs()), std::make_tuple(5, 200));
  auto msmf = CaptureScript::Regular(60, 25.0);
  msmf->backends = {kBackendMsmf};
  EXPECT_EQ(Open(msmf).source->startFrame(), 1);
  // The last frame is the count minus one, and at least one.
  EXPECT_EQ(Open(CaptureScript::Regular(50, 25.0)).source->lastFrame(), 49);
  EXPECT_EQ(Open(CaptureScript::Regular(1, 25.0)).source->lastFrame(), 1);
  const VideoInfoFields fields = Open(CaptureScript::Regular(250, 25.0)).source->InfoFields();
  EXPECT_EQ(std::make_tuple(fields.backend, fields.timing, fields.startFrame, fields.lastFrame, fields.correction),
            std::make_tuple(kBackendFfmpeg, 1, 0, 249, 0));
  EXPECT_EQ(fields.version, PackedProgramVersion());
  EXPECT_GT(fields.version, 0);
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
  ASSERT_EQ(source->GoToFrame(500), VideoStatus::kOk);  // beyond the end: the last frame
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

}  // namespace
}  // namespace vx
