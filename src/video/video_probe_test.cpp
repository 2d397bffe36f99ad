// Reading a video's frame count, duration and size, on videos written here with known facts.
#include "video/video_probe.h"

#include <gtest/gtest.h>

#include <filesystem>
#include <opencv2/imgproc.hpp>
#include <opencv2/videoio.hpp>

#include "support/temp_dir.h"

namespace {

using vx::testing::TempDir;

// Writes frames of size width x height at fps with a moving square, as MJPG in an AVI file.
bool WriteVideo(const std::string& path, int frames, double fps, int width, int height) {
  cv::VideoWriter writer(path, cv::VideoWriter::fourcc('M', 'J', 'P', 'G'), fps,
                         cv::Size(width, height));
  if (!writer.isOpened()) return false;
  for (int i = 0; i < frames; ++i) {
    cv::Mat frame(height, width, CV_8UC3, cv::Scalar(200, 200, 200));
    cv::rectangle(frame, cv::Rect(i % (width - 8), height / 2, 8, 8), cv::Scalar(0, 0, 0),
                  cv::FILLED);
    writer.write(frame);
  }
  return true;
}

TEST(VideoProbe, ReadsFramesRoundedDurationAndSize) {
  TempDir dir;
  const struct {
    int frames;
    double fps;
    int width, height;
    int durationMs;
  } cases[] = {{30, 25.0, 96, 64, 1160}, {7, 30.0, 32, 32, 200}};  // the last frame's time
  for (const auto& c : cases) {
    const std::string path = dir.File("clip" + std::to_string(c.frames) + ".avi");
    ASSERT_TRUE(WriteVideo(path, c.frames, c.fps, c.width, c.height));
    vx::VideoFileFacts facts;
    ASSERT_TRUE(vx::ProbeVideoFile(path, facts));
    EXPECT_EQ(std::make_tuple(facts.frameCount, facts.durationMs, facts.width, facts.height, facts.backend),
              std::make_tuple(c.frames, c.durationMs, c.width, c.height, 1900));
    EXPECT_DOUBLE_EQ(facts.fps, c.fps);
  }
  // The program's own recordings carry their own extension: the content decides.
  std::filesystem::rename(dir.File("clip30.avi"), dir.File("Test_5.vxf"));
  vx::VideoFileFacts facts;
  ASSERT_TRUE(vx::ProbeVideoFile(dir.File("Test_5.vxf"), facts));
  EXPECT_EQ(facts.frameCount, 30);
}

TEST(VideoProbe, UnreadableFilesAreRefused) {
  TempDir dir;
  vx::VideoFileFacts facts;
  facts.frameCount = 77;
  EXPECT_FALSE(vx::ProbeVideoFile(dir.File("missing.avi"), facts));
  EXPECT_FALSE(vx::ProbeVideoFile("", facts));
  EXPECT_FALSE(vx::ProbeVideoFile(dir.path(), facts));  // a folder
  const std::string text = dir.File("notes.avi");
  vx::testing::WriteFileBytes(text, "RIFF but not really a video file at all");
  EXPECT_FALSE(vx::ProbeVideoFile(text, facts));
  EXPECT_EQ(facts.frameCount, 77);
}

TEST(VideoProbe, SampleVideoWhenPresent) {
  const std::string folder = vx::testing::SampleVideoFolder();
  if (folder.empty()) GTEST_SKIP() << "no sample videos";
  vx::VideoFileFacts facts;
  ASSERT_TRUE(vx::ProbeVideoFile(folder + "/openfield-round-dark-mouse.mp4", facts));
  EXPECT_EQ(facts.width, 640);
  EXPECT_EQ(facts.height, 480);
  EXPECT_EQ(facts.frameCount, 10000);
  EXPECT_EQ(facts.durationMs, 333300);  // frame 9999 at 30 fps
}

}  // namespace
