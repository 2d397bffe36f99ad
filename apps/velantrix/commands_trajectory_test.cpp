#include <gtest/gtest.h>

#include <cmath>

#include "video/frame_times.h"
#include "trajectory/trajectory_blob.h"
#include "base/text.h"
#include "cli_test_run.h"
#include "db/test_analysis_store.h"
#include "support/experiment_fixture.h"
#include "support/schema_history.h"
#include "support/synthetic_trajectory.h"

namespace vx {
namespace {

using CliRun = cli::testing::RunResult;

class TrajectoryCommands : public ::testing::Test {
 protected:
  void SetUp() override {
    ASSERT_TRUE(fixture.created);
    path = fixture.path();
  }

  void Execute(const std::string& sql) { testing::ExecuteSql(path, sql); }

  CliRun Run(const std::vector<std::string>& args) {
    return cli::testing::RunCommand(args, fixture.dir.File("settings.ini"));
  }

  // A test 3 of video 2 (uniform, 25 frames/s) with a stored synthetic path at 0.5 mm/pixel.
  std::vector<tMyPoint> StorePath(int count, bool heads) {
    std::vector<tMyPoint> points =
        testing::SyntheticPath({.count = count, .maxGap = 3, .heads = heads, .seed = 5});
    const int frames = points.back().frame + 1;
    std::string times;
    for (uint8_t b : WriteFrameTimes(FrameTimes::Uniform(static_cast<uint32_t>(frames),
                                                         static_cast<uint32_t>((frames - 1) * 40)))) {
      times += Format("%02X", b);
    }
    Execute(Format("insert into Videos (Id, Name, NbFrames, Duration, ListePoints) "
                   "values (2, 'v', 0, 0, x'%s')", times.c_str()));
    Execute("insert into Tests (Id, Title, IdProtocol, Source, Scale) values (3, 't', 1, 2, 0.5)");
    CInfosTest test;
    test.id = 3;
    test.headDetection = heads;
    test.scale = 0.5;  // the analysis stores its scale with the points
    EXPECT_TRUE(SaveAnalysis(fixture.experiment, test, WritePoints(points, heads), false));
    return points;
  }

  testing::ExperimentFixture fixture;
  std::string path;
};

const char* const kHeader =
    "frame,time,x,y,head_x,head_y,left,top,right,bottom,pos_x,pos_y,smooth_x,smooth_y,cum_dist,"
    "cum_raw_dist";

TEST_F(TrajectoryCommands, CsvListsEveryStoredPointWithItsDerivedValues) {
  const std::vector<tMyPoint> points = StorePath(50, true);
  ASSERT_EQ(Run({"smoothing", path, "0", "0", "0"}).status, 0);
  const CliRun run = Run({"trajectory", path, "3", "--csv"});
  ASSERT_EQ(run.status, 0) << run.err;
  const std::vector<std::string> lines = Split(run.out, '\n', false);
  ASSERT_EQ(lines.size(), points.size() + 1);
  EXPECT_EQ(lines[0], kHeader);
  double rawDistance = 0;
  for (size_t i = 0; i < points.size(); ++i) {
    const tMyPoint& p = points[i];
    const std::vector<std::string> cells = Split(lines[i + 1], ',', true);
    ASSERT_EQ(cells.size(), 16u);
    if (i > 0) rawDistance += std::hypot(p.rawX - points[i - 1].rawX, p.rawY - points[i - 1].rawY) * 0.5;
    EXPECT_EQ(ToInt(cells[0]), p.frame);
    EXPECT_EQ(ToInt(cells[1]), p.frame * 40);
    EXPECT_EQ(ToInt(cells[2]), p.rawX);
    EXPECT_EQ(ToInt(cells[4]), p.headX);
    EXPECT_EQ(ToInt(cells[5]), p.headY);
    EXPECT_EQ(ToInt(cells[9]), p.boxBottom);
    EXPECT_EQ(ToInt(cells[10]), p.rawX);  // no filter
    EXPECT_NEAR(ToDouble(cells[12]), p.rawX * 0.5, 1e-6);
    EXPECT_NEAR(ToDouble(cells[13]), p.rawY * 0.5, 1e-6);
    EXPECT_NEAR(ToDouble(cells[15]), rawDistance, 1e-5);
    EXPECT_NEAR(ToDouble(cells[14]), rawDistance, 1e-5);  // unsmoothed: the same path
  }
}

// With smoothing on, the raw steps follow the detected positions and the others the smoothed
// ones; each speed is its step over the time between the two frames.
TEST_F(TrajectoryCommands, VariablesAddTheStepsFromThePreviousFrame) {
  const std::vector<tMyPoint> points = StorePath(30, false);
  ASSERT_EQ(Run({"smoothing", path, "3", "0", "0"}).status, 0);
  const CliRun run = Run({"trajectory", path, "3", "--csv", "--variables"});
  ASSERT_EQ(run.status, 0) << run.err;
  const std::vector<std::string> lines = Split(run.out, '\n', false);
  ASSERT_EQ(lines.size(), points.size() + 1);
  EXPECT_EQ(lines[0], std::string(kHeader) + ",raw_distance,raw_speed,distance,speed");
  std::vector<std::string> before = Split(lines[1], ',', true);
  EXPECT_EQ(std::vector<std::string>(before.begin() + 16, before.end()),
            (std::vector<std::string>{"0.000000", "0.000000", "0.000000", "0.000000"}));
  for (size_t i = 1; i < points.size(); ++i) {
    const std::vector<std::string> cells = Split(lines[i + 1], ',', true);
    ASSERT_EQ(cells.size(), 20u);
    const double ms = (points[i].frame - points[i - 1].frame) * 40.0;
    const double raw = std::hypot(points[i].rawX - points[i - 1].rawX,
                                  points[i].rawY - points[i - 1].rawY) * 0.5;
    const double smooth = std::hypot(ToDouble(cells[12]) - ToDouble(before[12]),
                                     ToDouble(cells[13]) - ToDouble(before[13]));
    EXPECT_NEAR(ToDouble(cells[16]), raw, 1e-5) << i;
    EXPECT_NEAR(ToDouble(cells[17]), raw * 1000 / ms, 1e-3) << i;
    EXPECT_NEAR(ToDouble(cells[18]), smooth, 1e-5) << i;
    EXPECT_NEAR(ToDouble(cells[19]), smooth * 1000 / ms, 1e-3) << i;
    before = cells;
  }
  EXPECT_EQ(Split(Run({"trajectory", path, "3", "--csv"}).out, '\n', false)[0], kHeader);
}

TEST_F(TrajectoryCommands, JsonAndTextShapes) {
  StorePath(3, false);
  const CliRun json = Run({"trajectory", path, "3", "--json"});
  ASSERT_EQ(json.status, 0) << json.err;
  EXPECT_EQ(json.out.front(), '[');
  EXPECT_EQ(json.out.find("{\"frame\": "), 4u);
  EXPECT_NE(json.out.find("\"head_x\": -1, \"head_y\": -1"), std::string::npos);
  EXPECT_NE(json.out.find("\"cum_raw_dist\": "), std::string::npos);
  size_t objects = 0;
  for (char c : json.out) objects += c == '{' ? 1 : 0;
  EXPECT_EQ(objects, 3u);

  const CliRun text = Run({"trajectory", path, "3"});
  ASSERT_EQ(text.status, 0);
  EXPECT_EQ(text.out.rfind("frame  time", 0), 0u);
  EXPECT_EQ(Split(text.out, '\n', false).size(), 4u);
}

TEST_F(TrajectoryCommands, TestWithoutPointsPrintsOnlyTheHeader) {
  Execute("insert into Tests (Id, Title, Source) values (8, 't', -1)");
  const CliRun run = Run({"trajectory", path, "8", "--csv"});
  ASSERT_EQ(run.status, 0) << run.err;
  EXPECT_EQ(run.out, std::string(kHeader) + "\n");
}

TEST_F(TrajectoryCommands, ErrorsNameTheProblem) {
  EXPECT_EQ(Run({"trajectory", path, "3"}).err, "velantrix: There is no test 3 in '" + path + "'.\n");
  const CliRun missing = Run({"trajectory", fixture.dir.File("none.vxdb"), "3"});
  EXPECT_EQ(missing.status, 1);
  EXPECT_NE(missing.err.find("does not exist"), std::string::npos);
  testing::WriteFileBytes(fixture.dir.File("text.vxdb"), "not a database at all, really not");
  EXPECT_EQ(Run({"trajectory", fixture.dir.File("text.vxdb"), "3"}).status, 1);
  EXPECT_EQ(Run({"trajectory", path}).status, 2);
  EXPECT_EQ(Run({"trajectory", path, "3", "--csv", "--json"}).status, 2);
}

TEST_F(TrajectoryCommands, CorruptPointsFail) {
  StorePath(5, false);
  Execute("update TestsPoints set PointsAnalyse=x'0A0B0C' where Id=3");
  const CliRun run = Run({"trajectory", path, "3", "--csv"});
  EXPECT_EQ(run.status, 1);
  EXPECT_EQ(run.err, "velantrix: The stored trajectory of test 3 is corrupt.\n");
  EXPECT_EQ(run.out, "");
}

TEST_F(TrajectoryCommands, SmoothingIsStoredAsThreeNumbers) {
  const CliRun run = Run({"smoothing", path, "savitzky-golay", "12", "cm"});
  ASSERT_EQ(run.status, 0) << run.err;
  EXPECT_EQ(run.out, "");
  EXPECT_NE(run.err.find("recomputed"), std::string::npos);
  EXPECT_EQ(testing::QueryValue(path, "select Value from Infos where Name='Smooth'"), "4|12|2");
  ASSERT_EQ(Run({"smoothing", path, "1", "0", "0"}).status, 0);
  EXPECT_EQ(testing::QueryValue(path, "select Value from Infos where Name='Smooth'"), "1|0|0");
  const CliRun same = Run({"smoothing", path, "1", "0", "px"});
  EXPECT_EQ(same.status, 0);
  EXPECT_NE(same.err.find("unchanged"), std::string::npos);
  EXPECT_EQ(Run({"--quiet", "smoothing", path, "2", "3", "mm"}).err, "");
}

TEST_F(TrajectoryCommands, BadSmoothingValuesLeaveTheFileAlone) {
  const std::string before = testing::ReadFileBytes(path);
  const std::vector<std::vector<std::string>> bad = {
      {"smoothing", path, "5", "3", "mm"},   {"smoothing", path, "1", "x", "mm"},
      {"smoothing", path, "1", "3", "inch"}, {"smoothing", path, "1", "3"},
      {"smoothing", path, "1"},              {"smoothing", path, "1", "3", "3"},
  };
  for (const auto& args : bad) {
    const CliRun run = Run(args);
    EXPECT_EQ(run.status, 2) << args.size() << " " << run.err;
    EXPECT_FALSE(run.err.empty());
  }
  EXPECT_EQ(testing::ReadFileBytes(path), before);
  EXPECT_EQ(Run({"smoothing", fixture.dir.File("none.vxdb"), "1", "3", "mm"}).status, 1);
  EXPECT_FALSE(fixture.services.files.Exists(fixture.dir.File("none.vxdb")));
}

TEST_F(TrajectoryCommands, SmoothingChangesTheTrajectoryPrinted) {
  StorePath(40, false);
  ASSERT_EQ(Run({"smoothing", path, "0", "0", "0"}).status, 0);
  const std::string raw = Run({"trajectory", path, "3", "--csv"}).out;
  ASSERT_EQ(Run({"smoothing", path, "1", "0", "0"}).status, 0);
  const std::string smoothed = Run({"trajectory", path, "3", "--csv"}).out;
  EXPECT_NE(raw, smoothed);
  EXPECT_EQ(Run({"trajectory", path, "3", "--csv"}).out, smoothed);  // same numbers every time
}

}  // namespace
}  // namespace vx
