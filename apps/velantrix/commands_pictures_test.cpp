// velantrix frame, arena suggest and overlay on experiments built with the command line and on
// videos rendered with a known arena and path; the pictures are decoded back and checked.
#include <gtest/gtest.h>

#include <opencv2/imgcodecs.hpp>
#include <opencv2/videoio.hpp>

#include <cstdio>

#include "base/text.h"
#include "support/cli_experiment.h"
#include "support/rendered_capture.h"
#include "video/synthetic_animal.h"

namespace {

using vx::cli::testing::RunCommand;
using vx::cli::testing::RunResult;

// The bounds of an "arena suggest --json" answer; false when they are not there.
bool ReadBounds(const std::string& json, int& left, int& top, int& right, int& bottom) {
  const size_t at = json.find("\"left\"");
  return at != std::string::npos &&
         std::sscanf(json.c_str() + at, "\"left\": %d, \"top\": %d, \"right\": %d, \"bottom\": %d",
                     &left, &top, &right, &bottom) == 4;
}

const char* kSettings = "5|1|0|60|90|127|50|0|179|0|255|0|255|20|-1||0|1|0|1|10|30|1";
constexpr int kFrames = 40;

class PictureCommands : public vx::cli::testing::CliExperiment {
 protected:
  void SetUp() override {
    CliExperiment::SetUp();
    video = dir.File("lap.avi");
    vx::SceneLook scene = vx::LightFloorScene(vx::ArenaShape::Circle);
    scene.size = {320, 240};
    scene.arenaRect = {40, 10, 240, 220};
    ASSERT_TRUE(vx::WriteSyntheticVideo(video, "MJPG", 25, scene, vx::testing::SmallMouse(),
                                        vx::CirclePath({160, 120}, 60, kFrames, 6.0)));
    ASSERT_EQ(Run({"protocol", "add", exp, "--name", "Round", "--size", "320x240"}).status, 0);
    ASSERT_EQ(Run({"zone", "add", exp, "--protocol", "1", "--type", "ellipse", "--points",
                   "40;10;279;229", "--arena"}).status, 0);
    ASSERT_EQ(Run({"ruler", "set", exp, "--protocol", "1", "--points", "10;235;110;235",
                   "--length", "200", "--unit", "mm"}).status, 0);
    ASSERT_EQ(Run({"video", "add", exp, video}).out, "1\n");
    ASSERT_EQ(Run({"test", "add", exp, "--protocol", "1", "--video", "1", "--detection", kSettings}).out, "1\n");
  }

  std::string video;
};

TEST_F(PictureCommands, OverlayVideoHoldsEveryFrameOfThePeriod) {
  ASSERT_EQ(Run({"analyze", exp, "1"}).status, 0);
  const std::string out = dir.File("overlay.mp4");
  const RunResult whole = Run({"overlay", exp, "1", "--out", out});
  ASSERT_EQ(whole.status, 0) << whole.err;
  EXPECT_EQ(whole.out, vx::Format("%d frames written to %s\n", kFrames, out.c_str()));
  cv::VideoCapture decoded(out, cv::CAP_FFMPEG);
  cv::Mat frame;
  int frames = 0;
  while (decoded.read(frame)) {
    EXPECT_EQ(frame.size(), cv::Size(320, 240));
    ++frames;
  }
  EXPECT_EQ(frames, kFrames);

  const RunResult part = Run({"overlay", exp, "1", "--out", out, "--from", "10", "--to", "800ms"});
  EXPECT_EQ(part.out, vx::Format("11 frames written to %s\n", out.c_str())) << part.err;  // frames 10 to 20

  const std::string png = dir.File("track.png");
  ASSERT_EQ(Run({"overlay", exp, "1", "--out", png}).status, 0);
  EXPECT_EQ(cv::imread(png).size(), cv::Size(320, 240));
}

TEST_F(PictureCommands, ArenaSuggestFindsTheRenderedFloor) {
  const RunResult found = Run({"arena", "suggest", exp, "1", "--json"});
  ASSERT_EQ(found.status, 0) << found.err;
  // The ellipse of the floor is inscribed in (40, 10) .. (279, 229).
  int left = -1, top = -1, right = -1, bottom = -1;
  ASSERT_TRUE(ReadBounds(found.out, left, top, right, bottom)) << found.out;
  EXPECT_NEAR(left, 40, 3);
  EXPECT_NEAR(top, 10, 3);
  EXPECT_NEAR(right, 279, 3);
  EXPECT_NEAR(bottom, 229, 3);
  EXPECT_NE(found.out.find(vx::Format("velantrix zone add \\\"%s\\\" --protocol 1 --ellipse %d,%d,%d,%d", exp.c_str(),
                                      left, top, right, bottom)),
            std::string::npos) << found.out;
}

TEST_F(PictureCommands, FrameDrawsTheChosenFrame) {
  const std::string png = dir.File("frame.png");
  const RunResult result = Run({"frame", exp, "1", "--at", "1s", "--out", png});
  ASSERT_EQ(result.status, 0) << result.err;
  EXPECT_EQ(result.out.substr(0, 24), "Frame 25 (1000 ms), 320x") << result.out;
  const RunResult bare = Run({"frame", video, "--at", "3", "--zones", exp, "--protocol", "1", "--out", png});
  EXPECT_EQ(bare.status, 0) << bare.err;
  EXPECT_EQ(cv::imread(png).size(), cv::Size(320, 240));
}

TEST_F(PictureCommands, BadRequestsFailWithTheReason) {
  vx::testing::WriteFileBytes(dir.File("notes.txt"), "not a video");
  ExpectRefused(
      {{{"frame", dir.File("none.avi"), "--out", dir.File("a.png")}, 1, "does not exist"},
       {{"frame", dir.File("notes.txt"), "--out", dir.File("a.png")}, 1, "Cannot open the video"},
       {{"frame", video, "--at", "12x", "--out", dir.File("a.png")}, 2, "--at wants"},
       {{"frame", video, "--at", "10min", "--out", dir.File("a.png")}, 2, "past the end"},
       {{"frame", video, "--out", dir.File("a.gif")}, 2, ".png"},
       {{"frame", exp, "7", "--out", dir.File("a.png")}, 1, "no test 7"},
       {{"frame", video, "--zones", exp, "--out", dir.File("a.png")}, 2, "--protocol"},
       {{"overlay", exp, "1", "--out", dir.File("a.mp4")}, 1, "not been analysed"},
       {{"overlay", exp, "1", "--out", dir.File("a.gif")}, 2, ".mp4"},
       {{"overlay", dir.File("notes.txt"), "1", "--out", dir.File("a.mp4")}, 1, "notes.txt"},
       {{"arena", "suggest", dir.File("notes.txt")}, 1, "Cannot open the video"}});
  EXPECT_FALSE(vx::testing::ReadFileBytes(dir.File("a.mp4")).size());
}

// Edges measured on frame 200 of each sample video: the floor's outermost pixels brighter than
// half-way between the floor and its surroundings, along rows and columns.
TEST(ArenaSuggestOnSampleVideos, FindsTheFloorWithinFivePixels) {
  const std::string folder = vx::testing::SampleVideoFolder();
  if (folder.empty()) GTEST_SKIP() << "no sample videos";
  vx::testing::TempDir dir;
  const struct {
    const char* file;
    const char* type;
    int left, top, right, bottom;
  } videos[] = {
      {"openfield-round-dark-mouse.mp4", "ellipse", 99, 24, 518, 444},
      // The floor's edge at the bottom, below the lights' glare on the wall.
      {"openfield-rect-black-mouse-444.mp4", "rect", 12, 51, 617, 468},
  };
  for (const auto& v : videos) {
    const RunResult result = RunCommand({"arena", "suggest", folder + "/" + v.file, "--json"}, dir.File("s.ini"));
    ASSERT_EQ(result.status, 0) << result.err;
    int left = -1, top = -1, right = -1, bottom = -1;
    ASSERT_TRUE(ReadBounds(result.out, left, top, right, bottom)) << result.out;
    EXPECT_NE(result.out.find(v.type), std::string::npos) << result.out;
    EXPECT_NEAR(left, v.left, 5) << v.file;
    EXPECT_NEAR(top, v.top, 5) << v.file;
    EXPECT_NEAR(right, v.right, 5) << v.file;
    EXPECT_NEAR(bottom, v.bottom, 5) << v.file;
  }
}

}  // namespace
