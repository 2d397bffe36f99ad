// velantrix analyze and video decode, run in-process on experiments built with the command
// line itself and videos rendered with a known path.
#include <gtest/gtest.h>

#include <map>

#include "base/text.h"
#include "support/cli_experiment.h"
#include "support/ffmpeg_video.h"
#include "support/rendered_capture.h"
#include "video/synthetic_animal.h"

namespace {

using vx::Format;
using vx::cli::testing::RunResult;
using vx::testing::QueryValue;

const char* kSettings = "5|1|0|60|90|127|50|0|179|0|255|0|255|20|-1||0|1|0|1|10|30|1";

class AnalyzeCommand : public vx::cli::testing::CliExperiment {
 protected:
  void SetUp() override {
    CliExperiment::SetUp();
    ASSERT_EQ(Run({"protocol", "add", exp, "--name", "Open field", "--size", "320x240"}).out, "1\n");
    ASSERT_EQ(Run({"zone", "add", exp, "--protocol", "1", "--type", "rect", "--points",
                   "20;10;300;230", "--arena"}).status, 0);
    ASSERT_EQ(Run({"ruler", "set", exp, "--protocol", "1", "--points", "10;235;110;235",
                   "--length", "200", "--unit", "mm"}).status, 0);
  }

  // A video of the animal going round the arena, registered; returns its id.
  std::string AddVideo(const std::string& name, int frames, double radius = 70, double fps = 25,
                       cv::Size size = {320, 240}) {
    WriteVideo(name, frames, radius, fps, size);
    return vx::Trim(Run({"video", "add", exp, dir.File(name)}).out);
  }
  void WriteVideo(const std::string& name, int frames, double radius = 70, double fps = 25,
                  cv::Size size = {320, 240}) {
    vx::SceneLook scene = vx::LightFloorScene(vx::ArenaShape::Rectangle);
    scene.size = size;
    scene.arenaRect = {20, 10, 280, 220};
    EXPECT_TRUE(vx::WriteSyntheticVideo(dir.File(name), "MJPG", fps, scene,
                                        vx::testing::SmallMouse(),
                                        vx::CirclePath({160, 120}, radius, frames, 4.0)));
  }
  std::string AddTest(const std::string& video, const std::string& title,
                      const std::string& settings = kSettings) {
    return vx::Trim(Run({"test", "add", exp, "--protocol", "1", "--video", video, "--title",
                         title, "--detection", settings}).out);
  }

  // Value `value` (1 to 17) of a test's analysis information; the stamp sits after value 8.
  std::string InfoValue(const std::string& test, int value) {
    const std::vector<std::string> fields = vx::Split(
        QueryValue(exp, Format("select InfosAnalyse from Tests where Id=%s", test.c_str())), '|',
        true);
    const size_t at = value <= 8 ? value : value + 1;
    return at < fields.size() ? fields[at] : "";
  }
};

TEST_F(AnalyzeCommand, AnalysesTheNamedTestsWithOneLinePerTest) {
  const std::string video = AddVideo("lap.avi", 50);
  const std::string a = AddTest(video, "Lap A");
  const std::string b = AddTest(video, "Lap B");
  const RunResult result = Run({"analyze", exp, a});
  ASSERT_EQ(result.status, 0) << result.err;
  // The elapsed seconds depend on the machine's load: only the rest of the line is checked.
  const std::string line = result.out.substr(0, result.out.find('\n') + 1);
  EXPECT_EQ(line.rfind("Test 1 \"Lap A\": detection rate 100.00 %, ", 0), 0u) << line;
  EXPECT_EQ(line.substr(line.size() - 3), " s\n") << line;
  EXPECT_NE(result.out.find("1 test analysed: 50 frames in "), std::string::npos) << result.out;
  EXPECT_EQ(QueryValue(exp, "select DateAnalyse <> 0 from Tests where Id=1"), "1");
  EXPECT_EQ(QueryValue(exp, "select DateAnalyse from Tests where Id=2"), "0");
  // The stored trajectory is there for the other verbs.
  const RunResult csv = Run({"trajectory", exp, a, "--csv"});
  EXPECT_EQ(std::count(csv.out.begin(), csv.out.end(), '\n'), 51);
  const RunResult list = Run({"test", "list", exp, "--csv"});
  EXPECT_NE(list.out.find("1,Lap A,-1,1,1,true,2,"), std::string::npos) << list.out;
  (void)b;
}

TEST_F(AnalyzeCommand, AllTakesEveryTestNotAnalysedYet) {
  const std::string video = AddVideo("lap.avi", 20);
  AddTest(video, "One");
  AddTest(video, "Two");
  ASSERT_EQ(Run({"analyze", exp, "1"}).status, 0);
  const RunResult all = Run({"analyze", exp, "--all", "--json"});
  ASSERT_EQ(all.status, 0) << all.err;
  EXPECT_NE(all.out.find("{\"tests\": [{\"id\": 2, \"title\": \"Two\", \"status\": \"analysed\", "
                         "\"rate\": 100, \"frames\": 20, \"frames_expected\": 20, \"warnings\": [], "
                         "\"attempts\": 1, \"settings_from\": -1, "),
            std::string::npos) << all.out;
  EXPECT_NE(all.out.find("\"analysed\": 1, \"failed\": 0, \"cancelled\": false"), std::string::npos);
  const RunResult none = Run({"analyze", exp, "--all"});
  EXPECT_EQ(none.status, 0);
  EXPECT_EQ(none.out, "No test to analyse.\n");
}

TEST_F(AnalyzeCommand, AFailedTestIsReportedAndTheOthersAnalysed) {
  const std::string moved = AddVideo("moved.avi", 20);
  const std::string kept = AddVideo("kept.avi", 20);
  AddTest(moved, "Moved");
  AddTest(kept, "Kept");
  ASSERT_EQ(std::remove(dir.File("moved.avi").c_str()), 0);
  const RunResult result = Run({"analyze", exp, "1", "2", "7"});
  EXPECT_EQ(result.status, 1);
  EXPECT_NE(result.err.find("Test 1 \"Moved\": the video file cannot be found (" + dir.File("moved.avi") + ")"),
            std::string::npos) << result.err;
  EXPECT_NE(result.err.find("Test 7: no such test"), std::string::npos) << result.err;
  EXPECT_NE(result.out.find("Test 2 \"Kept\": detection rate 100.00 %"), std::string::npos);
  EXPECT_NE(result.out.find("1 test analysed, 2 failed"), std::string::npos) << result.out;
  EXPECT_EQ(QueryValue(exp, "select DateAnalyse from Tests where Id=1"), "0");
}

TEST_F(AnalyzeCommand, ARetryKeepsTheSettingsThatFoundTheAnimal) {
  const std::string video = AddVideo("lap.avi", 20);
  AddTest(video, "Blind", "5|1|0|10|90|127|50|0|179|0|255|0|255|20|-1||0|1|0|1|10|30|1");
  AddTest(video, "Good");
  const RunResult result = Run({"analyze", exp, "1", "--min-rate", "90"});
  ASSERT_EQ(result.status, 0) << result.err;
  EXPECT_NE(result.out.find("Test 1 \"Blind\": detection rate 100.00 %, "), std::string::npos)
      << result.out;
  EXPECT_NE(result.out.find(" s (attempt 2 of 2, settings of test 2)"), std::string::npos)
      << result.out;
  EXPECT_EQ(QueryValue(exp, "select substr(ParamsDetection, 1, 9) from Tests where Id=1"), "5|1|0|60|");
}

TEST_F(AnalyzeCommand, BadRequestsChangeNothing) {
  const std::string video = AddVideo("lap.avi", 20);
  AddTest(video, "T");
  ExpectRefused({{{"analyze", exp}, 2, "--all"},  // no test named
                 {{"analyze", exp, "1", "--jobs", "0"}, 2, "--jobs"},
                 {{"analyze", exp, "1", "--min-rate", "120"}, 2, "--min-rate"},
                 {{"analyze", exp, "x"}, 2, "x"}});
}

// The animal is drawn in every other frame only; the rest of the time it is off the image.
TEST_F(AnalyzeCommand, ATestUnderTheMinimumRateIsStoredWithAWarning) {
  vx::SceneLook scene = vx::LightFloorScene(vx::ArenaShape::Rectangle);
  scene.size = {320, 240};
  scene.arenaRect = {20, 10, 280, 220};
  std::vector<vx::AnimalPose> poses = vx::CirclePath({160, 120}, 70, 40, 4.0);
  for (size_t i = 1; i < poses.size(); i += 2) poses[i].centre = {-1000, -1000};
  ASSERT_TRUE(vx::WriteSyntheticVideo(dir.File("half.avi"), "MJPG", 25, scene,
                                      vx::testing::SmallMouse(), poses));
  const std::string video = vx::Trim(Run({"video", "add", exp, dir.File("half.avi")}).out);
  AddTest(video, "Half");
  const RunResult result = Run({"analyze", exp, "1"});
  EXPECT_EQ(result.status, 4) << result.err;  // done, with warnings
  EXPECT_NE(result.err.find("velantrix: warning: test 1: detection rate 50.00 % is under the "
                            "minimum of 90 % over 40 frames"),
            std::string::npos) << result.err;
  EXPECT_EQ(QueryValue(exp, "select DateAnalyse <> 0 from Tests where Id=1"), "1");
  EXPECT_NE(Run({"test", "list", exp, "--csv"}).out.find(",50.00,40\n"), std::string::npos);
  // The run's own minimum decides; 0 never warns.
  EXPECT_EQ(Run({"analyze", exp, "1", "--min-rate", "50"}).status, 0);
  EXPECT_EQ(Run({"analyze", exp, "1", "--min-rate", "0"}).status, 0);
  // A size filter the animal never passes: the warning names it.
  ASSERT_EQ(Run({"test", "set", exp, "1", "--size-filter", "500,900"}).status, 0);
  const RunResult filtered = Run({"analyze", exp, "1"});
  EXPECT_EQ(filtered.status, 4);
  EXPECT_NE(filtered.err.find("the largest blob found was too small for the size filter in "),
            std::string::npos) << filtered.err;
}

TEST_F(AnalyzeCommand, VideoDecodeCountsTheFrames) {
  AddVideo("lap.avi", 30);
  const RunResult result = Run({"video", "decode", dir.File("lap.avi")});
  ASSERT_EQ(result.status, 0) << result.err;
  EXPECT_EQ(result.out.substr(0, 13), "30 frames in ");
  EXPECT_EQ(Run({"video", "decode", dir.File("none.avi")}).status, 1);
}

// Times of a stored trajectory, by frame, as `trajectory --csv` gives them back.
std::map<int, int> StoredTimes(const std::string& csv) {
  std::map<int, int> times;
  const std::vector<std::string> lines = vx::Split(csv, '\n', true);
  for (size_t i = 1; i < lines.size(); ++i) {
    const std::vector<std::string> cells = vx::Split(lines[i], ',', true);
    if (cells.size() > 2) times[std::stoi(cells[0])] = std::stoi(cells[1]);
  }
  return times;
}

TEST_F(AnalyzeCommand, StoredTimesAreTheTimesOfTheFramesNotStretched) {
  // 25 fps: the compact form holds them (frame 100 of 101 at 4000 ms); 29.97 fps: every
  // time is listed, each within half a millisecond of the frame's true time.
  const struct {
    double fps;
    int frames;
    const char* blobStart;  // hex of the stored frame times
  } cases[] = {{25.0, 101, "65A01F"}, {29.97, 120, "7821"}};
  for (const auto& c : cases) {
    const std::string name = Format("lap%d.avi", c.frames);
    const std::string video = AddVideo(name, c.frames, 70, c.fps);
    const std::string test = AddTest(video, name);
    const int last = vx::RoundHalfEven((c.frames - 1) * 1000.0 / c.fps);
    EXPECT_EQ(QueryValue(exp, Format("select NbFrames || ' ' || Duration || ' ' || "
                                     "substr(hex(ListePoints), 1, 4) from Videos where Id=%s",
                                     video.c_str())),
              Format("%d %d %s", c.frames, last, std::string(c.blobStart).substr(0, 4).c_str()));
    ASSERT_EQ(Run({"analyze", exp, test}).status, 0);
    const std::map<int, int> times = StoredTimes(Run({"trajectory", exp, test, "--csv"}).out);
    ASSERT_EQ(times.size(), static_cast<size_t>(c.frames));
    for (const auto& [frame, time] : times) {
      EXPECT_NEAR(time, frame * 1000.0 / c.fps, 0.5) << c.fps << " frame " << frame;
    }
    EXPECT_EQ(times.at(c.frames - 1), last);
    // What detect writes for the same video is what the analysis stored.
    const RunResult detect = Run({"detect", dir.File(name), "--settings", kSettings, "--csv", "-"});
    EXPECT_EQ(StoredTimes(detect.out), times);
  }
}

TEST_F(AnalyzeCommand, AVideoShortenedAfterItWasAddedIsStoredWithAWarning) {
  const std::string video = AddVideo("lap.avi", 50);
  const std::string test = AddTest(video, "Lap");
  WriteVideo("lap.avi", 20);  // replaced by a shorter one
  const RunResult result = Run({"analyze", exp, test, "--json"});
  EXPECT_EQ(result.status, 4) << result.err;
  EXPECT_NE(result.out.find("\"frames\": 20, \"frames_expected\": 50, \"warnings\": "
                            "[{\"kind\": \"frames_missing\""),
            std::string::npos)
      << result.out;
  EXPECT_EQ(QueryValue(exp, "select DateAnalyse <> 0 from Tests where Id=1"), "1");
  EXPECT_EQ(InfoValue(test, 6) + " " + InfoValue(test, 9), "20 50");  // analysed, expected
  const RunResult text = Run({"analyze", exp, test});
  EXPECT_EQ(text.status, 4);
  EXPECT_NE(text.err.find("warning: test 1: only 20 of the video's 50 frames were "
                          "analysed"),
            std::string::npos)
      << text.err;
  // The whole video again: no warning.
  WriteVideo("lap.avi", 50);
  EXPECT_EQ(Run({"analyze", exp, test}).status, 0);
  EXPECT_EQ(InfoValue(test, 6) + " " + InfoValue(test, 9), "50 50");
}

TEST_F(AnalyzeCommand, AVideoOfAnotherSizeThanTheProtocolIsRefused) {
  // test add refuses such a video; this one was replaced by a larger one after it was added.
  const std::string test = AddTest(AddVideo("big.avi", 10), "Big");
  WriteVideo("big.avi", 10, 70, 25, {640, 480});
  const RunResult result = Run({"analyze", exp, test});
  EXPECT_EQ(result.status, 1);
  EXPECT_NE(result.err.find("640x480 pixels, the protocol's image is 320x240"), std::string::npos)
      << result.err;
  EXPECT_EQ(QueryValue(exp, "select DateAnalyse from Tests where Id=1"), "0");
}

TEST_F(AnalyzeCommand, AFileCorruptedInTheMiddleIsStoredWithAWarning) {
  if (!vx::testing::HaveFfmpeg()) GTEST_SKIP() << "ffmpeg is not installed";
  const std::string path = dir.File("damaged.mp4");
  ASSERT_TRUE(vx::testing::Ffmpeg("-f lavfi -i testsrc=size=320x240:rate=25 -frames:v 100 -c:v "
                                  "libx264 -g 10 -pix_fmt yuv420p -movflags +faststart " + path));
  std::string bytes = vx::testing::ReadFileBytes(path);
  bytes.replace(bytes.size() / 2, 3000, std::string(3000, '\0'));
  vx::testing::WriteFileBytes(path, bytes);
  const std::string test = AddTest(vx::Trim(Run({"video", "add", exp, path}).out), "Damaged");
  const RunResult result = Run({"analyze", exp, test});
  EXPECT_EQ(result.status, 4) << result.err;
  EXPECT_NE(result.err.find("of the video's 100 frames were analysed"), std::string::npos)
      << result.err;
  EXPECT_EQ(InfoValue(test, 9), "100");
  EXPECT_LT(std::stoi(InfoValue(test, 6)), 90);
}

}  // namespace
