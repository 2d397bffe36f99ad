// Registering a video: the frames that really decode and the times the analysis will give
// them, stored in a form that reads back exactly; on scripted streams and on files made by
// ffmpeg (cuts with an edit list, B-frames, a truncated file).
#include "video/video_scan.h"

#include <gtest/gtest.h>

#include "base/text.h"
#include "support/fake_capture.h"
#include "support/ffmpeg_video.h"

namespace vx {
namespace {

using testing::CaptureScript;
using testing::FakeCaptureFactory;

std::vector<uint32_t> RateTimes(int frames, double fps) {
  std::vector<uint32_t> times;
  for (int k = 0; k < frames; ++k) times.push_back(RoundHalfEven(k * 1000.0 / fps));
  return times;
}

TEST(RegisteredFrameTimes, ReadBackExactlyAsTheTimesGiven) {
  const struct {
    double fps;
    int frames;
    bool uniform;
  } cases[] = {{25.0, 101, true}, {30.0, 10000, true}, {29.97, 3000, false},
               {1000000.0 / 33333.0, 2330, false}, {25.0, 1, true}};
  for (const auto& c : cases) {
    const std::vector<uint32_t> times = RateTimes(c.frames, c.fps);
    const FrameTimes stored = RegisteredFrameTimes(times);
    EXPECT_EQ(stored.Listed(), !c.uniform) << c.fps;
    EXPECT_EQ(stored.durationMs, times.back()) << c.fps;  // the last frame's time
    FrameTimes read;
    ASSERT_TRUE(ReadFrameTimes(WriteFrameTimes(stored), read)) << c.fps;
    if (c.frames > 1) {
      EXPECT_EQ(ExpandFrameTimes(read), times) << c.fps;
    }
  }
  // The example of a 25 fps video of 101 frames: frame 100 is at 4000 ms, not 4040.
  FrameTimes read;
  ASSERT_TRUE(ReadFrameTimes(WriteFrameTimes(RegisteredFrameTimes(RateTimes(101, 25.0))), read));
  int time = 0;
  ASSERT_TRUE(TimeOfFrame(read, 100, time));
  EXPECT_EQ(time, 4000);
  // A damaged count is not expanded into billions of times.
  EXPECT_TRUE(ExpandFrameTimes(FrameTimes::Uniform(2000000000u, 1000)).empty());
}

TEST(VideoScan, ScriptedStreamsTable) {
  using Change = std::function<void(CaptureScript&)>;
  const struct {
    const char* name;
    Change change;
    int frames;
    bool counted;
    uint32_t lastTime;
  } cases[] = {
      {"trusted count", [](CaptureScript&) {}, 50, false, 1960},
      {"header counts more frames than decode", [](CaptureScript& s) { s.frameCount = 80; }, 50,
       true, 1960},
      {"header counts fewer", [](CaptureScript& s) { s.frameCount = 30; }, 50, true, 1960},
      {"no count", [](CaptureScript& s) { s.frameCount = 0; }, 50, true, 1960},
      {"negative first time (edit list)",
       [](CaptureScript& s) {
         for (double& t : s.times) t -= 80.0;
       },
       50, true, 1960},
      {"drained frames of a 29.97 file follow its own rate",
       [](CaptureScript& s) {
         s = *CaptureScript::Regular(50, 29.97);
         s.frameCount = 60;
         s.times[48] = s.times[49] = 0.0;
       },
       50, true, 1635},
  };
  for (const auto& c : cases) {
    auto script = CaptureScript::Regular(50, 25.0);
    c.change(*script);
    VideoScan scan;
    ASSERT_EQ(ScanVideoFile("clip.mp4", scan, {}, FakeCaptureFactory(script)), VideoStatus::kOk)
        << c.name;
    EXPECT_EQ(std::make_tuple(scan.frameCount, scan.counted, scan.times.front(), scan.times.back()),
              std::make_tuple(c.frames, c.counted, 0u, c.lastTime))
        << c.name;
  }
  auto empty = CaptureScript::Regular(0, 25.0);
  VideoScan scan;
  EXPECT_NE(ScanVideoFile("clip.mp4", scan, {}, FakeCaptureFactory(empty)), VideoStatus::kOk);
}

class FfmpegScan : public ::testing::Test {
 protected:
  void SetUp() override {
    if (!testing::HaveFfmpeg()) GTEST_SKIP() << "ffmpeg is not installed";
  }
  VideoScan Scan(const std::string& path) {
    VideoScan scan;
    EXPECT_EQ(ScanVideoFile(path, scan), VideoStatus::kOk) << path;
    return scan;
  }
  testing::TempDir dir;
};

TEST_F(FfmpegScan, ACutWithAnEditListRegistersTheFramesThatDecode) {
  const std::string whole = dir.File("whole.mp4"), cut = dir.File("cut.mp4");
  ASSERT_TRUE(testing::MakeH264(whole, 55));
  ASSERT_TRUE(testing::CutWithEditList(whole, cut, 0.6));
  const VideoScan trusted = Scan(whole);
  EXPECT_EQ(std::make_tuple(trusted.frameCount, trusted.counted, trusted.times.back()),
            std::make_tuple(55, false, 2160u));
  const VideoScan scan = Scan(cut);
  EXPECT_EQ(scan.announcedCount, 55);
  EXPECT_EQ(std::make_tuple(scan.frameCount, scan.counted), std::make_tuple(40, true));
  EXPECT_EQ(scan.times, RateTimes(40, 25.0));
  EXPECT_FALSE(RegisteredFrameTimes(scan.times).Listed());
}

TEST_F(FfmpegScan, ATruncatedFileCountsOnlyWhatIsLeft) {
  const std::string whole = dir.File("whole.mp4"), cut = dir.File("short.mp4");
  ASSERT_TRUE(testing::Ffmpeg("-f lavfi -i testsrc=size=160x120:rate=25 -frames:v 100 -c:v "
                              "libx264 -g 10 -pix_fmt yuv420p -movflags +faststart " + whole));
  const std::string bytes = testing::ReadFileBytes(whole);
  testing::WriteFileBytes(cut, bytes.substr(0, bytes.size() / 2));
  const VideoScan scan = Scan(cut);
  EXPECT_TRUE(scan.counted);
  EXPECT_GT(scan.frameCount, 10);
  EXPECT_LT(scan.frameCount, 90);
  EXPECT_EQ(scan.times.back(), 40u * (scan.frameCount - 1));
}

}  // namespace
}  // namespace vx
