// The video source on real files written in the test: containers and codecs, seeking, a
// variable frame rate, times that go backwards, and broken files.
#include <gtest/gtest.h>

#include <opencv2/imgcodecs.hpp>
#include <opencv2/imgproc.hpp>
#include <opencv2/videoio.hpp>

#include <cstdlib>
#include <filesystem>

#include "support/temp_dir.h"
#include "video/video_source.h"

namespace vx {
namespace {

// A frame spells its index in six bars, white for a set bit: readable through lossy codecs.
constexpr int kBits = 6;
constexpr int kBarWidth = 160 / kBits;

cv::Mat IndexFrame(int index) {
  cv::Mat frame(cv::Size(160, 120), CV_8UC3, cv::Scalar::all(20));
  for (int bit = 0; bit < kBits; ++bit) {
    if (index & (1 << bit)) {
      frame(cv::Rect(bit * kBarWidth, 0, kBarWidth, 120)).setTo(cv::Scalar::all(235));
    }
  }
  return frame;
}

int IndexOf(const cv::Mat& frame) {
  if (frame.empty()) return -1;
  int index = 0;
  for (int bit = 0; bit < kBits; ++bit) {
    const cv::Rect middle(bit * kBarWidth + 6, 20, kBarWidth - 12, 80);
    if (cv::mean(frame(middle))[0] > 128) index |= 1 << bit;
  }
  return index;
}

bool WriteIndexVideo(const std::string& path, const char* fourcc, double fps, int frames) {
  cv::VideoWriter writer(path, cv::CAP_FFMPEG,
                         cv::VideoWriter::fourcc(fourcc[0], fourcc[1], fourcc[2], fourcc[3]), fps,
                         cv::Size(160, 120), true);
  if (!writer.isOpened()) return false;
  for (int i = 0; i < frames; ++i) writer.write(IndexFrame(i));
  return true;
}

bool HaveFfmpegTool() { return std::system("ffmpeg -version >/dev/null 2>&1") == 0; }

// Runs the ffmpeg tool quietly in folder; true on success.
bool Ffmpeg(const std::string& folder, const std::string& arguments) {
  const std::string command =
      "cd '" + folder + "' && ffmpeg -hide_banner -loglevel error -y " + arguments + " >/dev/null 2>&1";
  return std::system(command.c_str()) == 0;
}

void WriteIndexImages(const std::string& folder, int frames) {
  for (int i = 0; i < frames; ++i) {
    char name[32];
    std::snprintf(name, sizeof name, "/f%03d.png", i);
    ASSERT_TRUE(cv::imwrite(folder + name, IndexFrame(i)));
  }
}

struct Container {
  const char* fourcc;
  const char* extension;
};

class VideoFiles : public ::testing::TestWithParam<Container> {};

TEST_P(VideoFiles, OpenSeekAndReadOnFindTheRightFrames) {
  testing::TempDir dir;
  const std::string path = dir.File(std::string("clip.") + GetParam().extension);
  ASSERT_TRUE(WriteIndexVideo(path, GetParam().fourcc, 25.0, 60));
  VideoSource source;
  ASSERT_EQ(source.OpenFile(path), VideoStatus::kOk);
  EXPECT_EQ(std::make_tuple(source.backend(), source.fps(), source.seekByTime(), source.lastFrame(),
                            source.frameWidth(), source.frameHeight()),
            std::make_tuple(kBackendFfmpeg, 25.0, 1, 59, 160, 120));
  for (int n : {0, 1, 2, 3, 37, 12, 59, 58, 30, 31, 32}) {
    ASSERT_EQ(source.GoToFrame(n), VideoStatus::kOk);
    EXPECT_EQ(IndexOf(source.CurrentImage()), n) << "frame " << n;
    EXPECT_EQ(source.currentFrame(), n);
  }
  ASSERT_EQ(source.GoToFrame(-1), VideoStatus::kOk);
  ASSERT_EQ(source.GoToFrame(0), VideoStatus::kOk);
  EXPECT_EQ(IndexOf(source.CurrentImage()), 0);
}

INSTANTIATE_TEST_SUITE_P(Codecs, VideoFiles,
                         ::testing::Values(Container{"MJPG", "avi"}, Container{"mp4v", "mp4"}),
                         [](const auto& info) { return std::string(info.param.extension); });

TEST(VideoFile, AnOwnRecordingIsSoughtByIndex) {
  testing::TempDir dir;
  const std::string avi = dir.File("Test_1.avi");
  ASSERT_TRUE(WriteIndexVideo(avi, "MJPG", 25.0, 30));
  const std::string vxf = dir.File("Test_1.VXF");
  std::filesystem::rename(avi, vxf);
  VideoSource source;
  ASSERT_EQ(source.OpenFile(vxf), VideoStatus::kOk);
  EXPECT_EQ(source.seekByTime(), 0);
  for (int n : {20, 4, 5, 29}) {
    ASSERT_EQ(source.GoToFrame(n), VideoStatus::kOk);
    EXPECT_EQ(IndexOf(source.CurrentImage()), n);
  }
}

TEST(VideoFile, AVariableFrameRateIsReadWithTheBackendTimes) {
  if (!HaveFfmpegTool()) GTEST_SKIP() << "the ffmpeg tool is not installed";
  testing::TempDir dir;
  WriteIndexImages(dir.path(), 40);
  // Every other frame comes 12 ms late.
  ASSERT_TRUE(Ffmpeg(dir.path(),
                     "-framerate 25 -i f%03d.png -vf \"settb=1/1000,setpts=N*40+12*mod(N\\,2)\" "
                     "-fps_mode passthrough -enc_time_base 1:1000 -c:v mjpeg -q:v 3 vfr.mkv"));
  VideoSource source;
  ASSERT_EQ(source.OpenFile(dir.File("vfr.mkv")), VideoStatus::kOk);
  EXPECT_EQ(source.seekByTime(), 2);
  ASSERT_EQ(source.GoToFrame(0), VideoStatus::kOk);
  for (int n = 1; n < 10; ++n) {
    ASSERT_EQ(source.GoToFrame(n), VideoStatus::kOk);
    EXPECT_EQ(IndexOf(source.CurrentImage()), n);
  }
}

TEST(VideoFile, TimesGoingBackwardsAreRefused) {
  if (!HaveFfmpegTool()) GTEST_SKIP() << "the ffmpeg tool is not installed";
  testing::TempDir dir;
  WriteIndexImages(dir.path(), 30);
  // Two transport-stream pieces glued together: the second starts 180 ms before the first ends.
  ASSERT_TRUE(Ffmpeg(dir.path(), "-framerate 25 -i f%03d.png -frames:v 8 -output_ts_offset 2 "
                                 "-c:v mpeg2video a.ts"));
  ASSERT_TRUE(Ffmpeg(dir.path(), "-framerate 25 -i f%03d.png -output_ts_offset 2.1 "
                                 "-c:v mpeg2video b.ts"));
  const std::string glued = dir.File("glued.ts");
  testing::WriteFileBytes(glued, testing::ReadFileBytes(dir.File("a.ts")) +
                                     testing::ReadFileBytes(dir.File("b.ts")));
  VideoSource source;
  EXPECT_EQ(source.OpenFile(glued), VideoStatus::kTimesBackwards);
  EXPECT_FALSE(source.IsFileOpen());
}

TEST(VideoFile, MissingAndUnreadableFilesAreRefusedClearly) {
  testing::TempDir dir;
  VideoSource source;
  EXPECT_EQ(source.OpenFile(dir.File("missing.mp4")), VideoStatus::kCannotOpen);
  testing::WriteFileBytes(dir.File("notes.mp4"), "this is not a video at all\n");
  EXPECT_EQ(source.OpenFile(dir.File("notes.mp4")), VideoStatus::kCannotOpen);
  testing::WriteFileBytes(dir.File("empty.avi"), "");
  EXPECT_EQ(source.OpenFile(dir.File("empty.avi")), VideoStatus::kCannotOpen);
  EXPECT_STRNE(VideoStatusText(VideoStatus::kCannotOpen), "");
}

TEST(VideoFile, TruncatedFilesNeverCrash) {
  testing::TempDir dir;
  for (const Container& c : {Container{"MJPG", "avi"}, Container{"mp4v", "mp4"}}) {
    const std::string whole = dir.File(std::string("whole.") + c.extension);
    ASSERT_TRUE(WriteIndexVideo(whole, c.fourcc, 25.0, 50));
    const std::string bytes = testing::ReadFileBytes(whole);
    const std::string cut = dir.File(std::string("cut.") + c.extension);
    testing::WriteFileBytes(cut, bytes.substr(0, bytes.size() / 2));
    VideoSource source;
    const VideoStatus status = source.OpenFile(cut);
    if (status != VideoStatus::kOk) continue;  // refused clearly: fine
    for (int n : {0, 10, 40, 49, 5}) {
      EXPECT_EQ(source.GoToFrame(n), VideoStatus::kOk) << c.extension << " frame " << n;
      EXPECT_EQ(source.CurrentImage().size(), cv::Size(160, 120));
    }
  }
}

}  // namespace
}  // namespace vx
