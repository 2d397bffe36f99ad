// velantrix analyze and video decode, run in-process on experiments built with the command
// line itself and videos rendered with a known path.
#include <gmock/gmock.h>
#include <gtest/gtest.h>

#include "base/text.h"
#include "cli_test_run.h"
#include "support/experiment_fixture.h"
#include "support/rendered_capture.h"
#include "support/temp_dir.h"
#include "video/synthetic_animal.h"

namespace {

using vx::Format;
using vx::cli::testing::RunCommand;
using vx::cli::testing::RunResult;
using vx::testing::QueryValue;

const char* kSettings = "5|1|0|60|90|127|50|0|179|0|255|0|255|20|-1||0|1|0|1|10|30|1";

class AnalyzeCommand : public ::testing::Test {
 protected:
  void SetUp() override {
    exp = dir.File("e.vxdb");
    ASSERT_EQ(Run({"new", exp}).status, 0);
    ASSERT_EQ(Run({"protocol", "add", exp, "--name", "Open field", "--size", "320x240"}).out, "1\n");
    ASSERT_EQ(Run({"zone", "add", exp, "--protocol", "1", "--type", "rect", "--points",
                   "20;10;300;230", "--arena"}).status, 0);
    ASSERT_EQ(Run({"ruler", "set", exp, "--protocol", "1", "--points", "10;235;110;235",
                   "--length", "200", "--unit", "mm"}).status, 0);
  }

  RunResult Run(const std::vector<std::string>& args) {
    return RunCommand(args, dir.File("settings.ini"));
  }

  // A video of the animal going round the arena, registered; returns its id.
  std::string AddVideo(const std::string& name, int frames, double radius = 70) {
    vx::SceneLook scene = vx::LightFloorScene(vx::ArenaShape::Rectangle);
    scene.size = {320, 240};
    scene.arenaRect = {20, 10, 280, 220};
    const std::string path = dir.File(name);
    EXPECT_TRUE(vx::WriteSyntheticVideo(path, "MJPG", 25, scene, vx::testing::SmallMouse(),
                                        vx::CirclePath({160, 120}, radius, frames, 4.0)));
    return vx::Trim(Run({"video", "add", exp, path}).out);
  }

  std::string AddTest(const std::string& video, const std::string& title,
                      const std::string& settings = kSettings) {
    return vx::Trim(Run({"test", "add", exp, "--protocol", "1", "--video", video, "--title",
                         title, "--detection", settings}).out);
  }

  vx::testing::TempDir dir;
  std::string exp;
};

TEST_F(AnalyzeCommand, AnalysesTheNamedTestsWithOneLinePerTest) {
  const std::string video = AddVideo("lap.avi", 50);
  const std::string a = AddTest(video, "Lap A");
  const std::string b = AddTest(video, "Lap B");
  const RunResult result = Run({"analyze", exp, a});
  ASSERT_EQ(result.status, 0) << result.err;
  // The seconds the analysis took depend on the machine.
  EXPECT_THAT(result.out.substr(0, result.out.find('\n') + 1),
              ::testing::MatchesRegex("Test 1 \"Lap A\": detection rate 100\\.00 %, [0-9]+ s\n"));
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
                         "\"rate\": 100, \"frames\": 20, \"attempts\": 1, \"settings_from\": -1, "),
            std::string::npos) << all.out;
  EXPECT_NE(all.out.find("\"analysed\": 1, \"failed\": 0, \"cancelled\": false"), std::string::npos);
  const RunResult none = Run({"analyze", exp, "--all"});
  EXPECT_EQ(none.status, 0);
  EXPECT_EQ(none.out, "No test to analyse.\n");
}

TEST_F(AnalyzeCommand, SeveralJobsGiveTheSameTrajectoriesAsOne) {
  const std::vector<std::string> videos = {AddVideo("a.avi", 30, 60), AddVideo("b.avi", 36, 80),
                                           AddVideo("c.avi", 24, 50)};
  for (const std::string& video : videos) AddTest(video, "T" + video);
  const std::string copy = dir.File("copy.vxdb");
  vx::testing::WriteFileBytes(copy, vx::testing::ReadFileBytes(exp));
  ASSERT_EQ(Run({"analyze", exp, "1", "2", "3", "--jobs", "1"}).status, 0);
  ASSERT_EQ(Run({"analyze", copy, "1", "2", "3", "--jobs", "2"}).status, 0);
  for (const char* id : {"1", "2", "3"}) {
    EXPECT_EQ(Run({"trajectory", exp, id, "--csv"}).out, Run({"trajectory", copy, id, "--csv"}).out);
    const std::string sql = Format("select hex(PointsAnalyse) from TestsPoints where Id=%s", id);
    EXPECT_EQ(QueryValue(exp, sql), QueryValue(copy, sql));
    EXPECT_FALSE(QueryValue(exp, sql).empty());
  }
  EXPECT_EQ(Run({"test", "list", exp, "--csv"}).out, Run({"test", "list", copy, "--csv"}).out);
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
  EXPECT_THAT(result.out, ::testing::ContainsRegex("Test 1 \"Blind\": detection rate 100\\.00 %, [0-9]+ s "
                                                  "\\(attempt 2 of 2, settings of test 2\\)"));
  EXPECT_EQ(QueryValue(exp, "select substr(ParamsDetection, 1, 9) from Tests where Id=1"), "5|1|0|60|");
}

TEST_F(AnalyzeCommand, BadRequestsChangeNothing) {
  const std::string video = AddVideo("lap.avi", 20);
  AddTest(video, "T");
  const std::string before = vx::testing::ReadFileBytes(exp);
  EXPECT_EQ(Run({"analyze", exp}).status, 2);  // no test named
  EXPECT_EQ(Run({"analyze", exp, "1", "--jobs", "0"}).status, 2);
  EXPECT_EQ(Run({"analyze", exp, "1", "--min-rate", "120"}).status, 2);
  EXPECT_EQ(Run({"analyze", exp, "x"}).status, 2);
  EXPECT_EQ(Run({"analyze", dir.File("none.vxdb"), "1"}).status, 1);
  const std::string notes = dir.File("notes.vxdb");
  vx::testing::WriteFileBytes(notes, "not an experiment");
  EXPECT_EQ(Run({"analyze", notes, "1"}).status, 1);
  EXPECT_EQ(vx::testing::ReadFileBytes(notes), "not an experiment");
  EXPECT_TRUE(vx::testing::ReadFileBytes(exp) == before);
}

TEST_F(AnalyzeCommand, VideoDecodeCountsTheFrames) {
  AddVideo("lap.avi", 30);
  const RunResult result = Run({"video", "decode", dir.File("lap.avi")});
  ASSERT_EQ(result.status, 0) << result.err;
  EXPECT_EQ(result.out.substr(0, 13), "30 frames in ");
  EXPECT_EQ(Run({"video", "decode", dir.File("none.avi")}).status, 1);
}

}  // namespace
