// video info and detect, run in-process on videos rendered in the test (and on the real sample
// videos when they are there).
#include <gtest/gtest.h>

#include <opencv2/imgcodecs.hpp>
#include <opencv2/imgproc.hpp>

#include <fstream>
#include <sstream>

#include "base/text.h"
#include "support/cli_experiment.h"
#include "video/synthetic_animal.h"

namespace vx::cli {
namespace {

using Outcome = testing::RunResult;
using testing::RunCommand;

// The detect CSV as rows of ten integers.
std::vector<std::vector<int>> CsvRows(const std::string& text, std::string* header = nullptr) {
  std::vector<std::vector<int>> rows;
  std::istringstream lines(text);
  std::string line;
  bool first = true;
  while (std::getline(lines, line)) {
    if (first) {
      if (header) *header = line;
      first = false;
      continue;
    }
    std::vector<int> row;
    for (const std::string& cell : Split(line, ',', true)) row.push_back(ToInt(cell));
    rows.push_back(row);
  }
  return rows;
}

class CliVideo : public ::testing::Test {
 protected:
  void SetUp() override {
    video = dir.File("walk.avi");
    poses = CirclePath({320, 240}, 130, 40, 4.0);
    ASSERT_TRUE(WriteSyntheticVideo(video, "MJPG", 25.0, LightFloorScene(), DarkAnimal(), poses, &truths));
  }
  Outcome Run(std::vector<std::string> args) { return RunCommand(args, dir.File("settings.ini")); }

  vx::testing::TempDir dir;
  std::string video;
  std::vector<AnimalPose> poses;
  std::vector<AnimalTruth> truths;
  const std::string greyBand = "5|1|0|70|90|127|50|0|179|0|255|0|255|20|-1||0|1|0|1|10|30|1";
};

TEST_F(CliVideo, InfoTellsWhatTheFileIs) {
  const Outcome text = Run({"video", "info", video});
  ASSERT_EQ(text.status, kExitOk) << text.err;
  EXPECT_NE(text.out.find("Frames: 40"), std::string::npos);
  const Outcome json = Run({"video", "info", video, "--json"});
  ASSERT_EQ(json.status, kExitOk);
  EXPECT_EQ(json.out,
            "{\"backend\": \"FFMPEG\", \"fps\": 25, \"frames\": 40, \"frames_announced\": 40, "
            "\"duration_ms\": 1560, "
            "\"width\": 640, \"height\": 480, \"timing\": \"Fps\"}\n");
}

TEST_F(CliVideo, EveryFramesPointGoesToTheCsv) {
  const std::string csv = dir.File("points.csv");
  const Outcome run = Run({"detect", video, "--settings", greyBand, "--csv", csv, "--scale", "1.5",
                           "--arena", "40,20,600,460"});
  ASSERT_EQ(run.status, kExitOk) << run.err;
  EXPECT_NE(run.out.find("40 frames, animal found in 40"), std::string::npos) << run.out;
  std::string header;
  const auto rows = CsvRows(vx::testing::ReadFileBytes(csv), &header);
  EXPECT_EQ(header, "frame,time,x,y,head_x,head_y,left,top,right,bottom");
  ASSERT_EQ(rows.size(), truths.size());
  for (size_t i = 0; i < rows.size(); ++i) {
    ASSERT_EQ(rows[i].size(), 10u);
    EXPECT_EQ(rows[i][0], static_cast<int>(i));
    EXPECT_EQ(rows[i][1], static_cast<int>(i) * 40);
    // MJPG blurs the edges a little: within 1.5 pixels of the drawn centre of mass.
    EXPECT_NEAR(rows[i][2], truths[i].centreOfMass.x, 1.5) << i;
    EXPECT_NEAR(rows[i][3], truths[i].centreOfMass.y, 1.5) << i;
    EXPECT_EQ(rows[i][4], -1);  // no --head
    EXPECT_LE(rows[i][6], truths[i].bodyBox.x + 2);
    EXPECT_GE(rows[i][8], truths[i].bodyBox.x + truths[i].bodyBox.width - 2);
  }
}

TEST_F(CliVideo, OneFrameIsDrawnIntoAnImage) {
  const std::string image = dir.File("frame.png");
  const Outcome run = Run({"detect", video, "--settings", greyBand, "--frame", "7", "--out", image, "--head"});
  ASSERT_EQ(run.status, kExitOk) << run.err;
  const auto rows = CsvRows(run.out);
  ASSERT_EQ(rows.size(), 1u);
  EXPECT_EQ(rows[0][0], 7);
  EXPECT_EQ(rows[0][1], 280);
  EXPECT_NEAR(rows[0][2], truths[7].centreOfMass.x, 1.5);
  const cv::Mat drawn = cv::imread(image);
  ASSERT_EQ(drawn.size(), cv::Size(640, 480));
  const cv::Vec3b centre = drawn.at<cv::Vec3b>(rows[0][3], rows[0][2]);
  EXPECT_EQ(centre, cv::Vec3b(0, 0, 255));  // the red cross
}

TEST_F(CliVideo, SubtractionWantsAReferenceOfTheRightSize) {
  const std::string subtraction = "5|4|0|255|90|127|50|0|179|0|255|0|255|40|-1||0|1|0|1|10|30|1";
  const std::string wrong = dir.File("small.png");
  cv::imwrite(wrong, cv::Mat(50, 50, CV_8UC3, cv::Scalar::all(200)));
  testing::ExpectRefused([this](const testing::Args& args) { return Run(args); }, video,
                         {{{"detect", video, "--settings", subtraction}, kExitFailed, "reference"},
                          {{"detect", video, "--method", "auto"}, kExitFailed, "--reference"},
                          {{"detect", video, "--settings", subtraction, "--reference", wrong}, kExitFailed, "50x50"},
                          {{"detect", video, "--settings", subtraction, "--reference", dir.File("none.png")},
                           kExitFailed, "none.png"}});

  const std::string empty = dir.File("empty.png");
  cv::imwrite(empty, RenderScene(LightFloorScene()));
  const Outcome run = Run({"detect", video, "--settings", subtraction, "--reference", empty,
                           "--arena", "40,20,600,460", "--csv", "-", "--count", "10"});
  ASSERT_EQ(run.status, kExitOk) << run.err;
  const auto rows = CsvRows(run.out);
  ASSERT_EQ(rows.size(), 10u);
  for (size_t i = 0; i < rows.size(); ++i) EXPECT_NEAR(rows[i][2], truths[i].centreOfMass.x, 1.5);
}

TEST_F(CliVideo, BadVideosAndBadFlagsFailClearly) {
  vx::testing::WriteFileBytes(dir.File("text.mp4"), "not a video");
  testing::ExpectRefused([this](const testing::Args& args) { return Run(args); }, video,
                         {{{"detect", dir.File("nothing.mp4"), "--settings", greyBand}, kExitFailed, "does not exist"},
                          {{"video", "info", dir.File("text.mp4")}, kExitFailed, "cannot be read as a video"},
                          {{"detect", video, "--settings", greyBand, "--arena", "5,5,1,1"}, kExitUsage, "--arena"},
                          {{"detect", video, "--settings", greyBand, "--arena", "a,b,c,d"}, kExitUsage, "--arena"},
                          {{"detect", video}, kExitUsage, "--settings"},
                          {{"detect", video, "--settings", greyBand, "--scale", "-1"}, kExitUsage, "--scale"},
                          {{"video", "info"}, kExitUsage, ""}});
  const std::string bytes = vx::testing::ReadFileBytes(video);
  vx::testing::WriteFileBytes(dir.File("cut.avi"), bytes.substr(0, bytes.size() / 3));
  // A shortened file: rows stop at the last frame that decodes, whatever the header counts
  // (never the black stand-in frame "detected" as one huge animal), timed like the others.
  const Outcome cut = Run({"detect", dir.File("cut.avi"), "--settings", greyBand, "--csv", "-",
                           "--scale", "1.5"});
  ASSERT_EQ(cut.status, kExitOk) << cut.err;
  const auto rows = CsvRows(cut.out);
  EXPECT_GT(rows.size(), 3u);
  EXPECT_LT(rows.size(), 40u);
  for (size_t i = 0; i < rows.size(); ++i) {
    EXPECT_EQ(rows[i][1], static_cast<int>(i) * 40);
    EXPECT_LT(rows[i][8] - rows[i][6], 200) << i;  // an animal, not the whole frame
    // The last frame may be cut through its middle: the others are whole.
    if (i + 1 < rows.size()) {
      EXPECT_NEAR(rows[i][2], truths[i].centreOfMass.x, 1.5) << i;
    }
  }
}

// The whole analysis of the mouse filmed from below, set up with named flags only: a reference
// composed from frame 300 with the animal's place taken from frame 0, a low fixed threshold
// (its body is barely brighter than the floor) and a mouse's size.
TEST(CliRealVideos, TheMouseFromBelowIsFoundWithAComposedReference) {
  const std::string folder = vx::testing::SampleVideoFolder();
  const std::string video = folder + "/round-grey-mouse-from-below.mp4";
  if (folder.empty() || !std::ifstream(video)) GTEST_SKIP() << "no sample videos on this machine";
  vx::testing::TempDir dir;
  const std::string exp = dir.File("below.vxdb"), ini = dir.File("settings.ini");
  const std::vector<std::vector<std::string>> setup = {
      {"new", exp},
      {"protocol", "add", exp, "--name", "From below", "--size", "1064x1070"},
      {"zone", "add", exp, "--protocol", "1", "--type", "ellipse", "--points", "40;35;1030;1040",
       "--arena"},
      {"ruler", "set", exp, "--protocol", "1", "--points", "0;535;1064;535", "--length", "600",
       "--unit", "mm"},
      {"video", "add", exp, video},
      {"test", "add", exp, "--protocol", "1", "--video", "1", "--method", "subtract",
       "--threshold", "10", "--reference", "recipe:300;0,740,640,300,330;", "--size-filter",
       "5,100"},
  };
  for (const auto& args : setup) ASSERT_EQ(RunCommand(args, ini).status, kExitOk) << args[0];
  const Outcome run = RunCommand({"analyze", exp, "1", "--min-rate", "95"}, ini);
  EXPECT_EQ(run.status, kExitOk) << run.out << run.err;
}

}  // namespace
}  // namespace vx::cli
