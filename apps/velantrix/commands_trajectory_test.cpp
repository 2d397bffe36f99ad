#include <gtest/gtest.h>

#include <cmath>

#include "base/text.h"
#include "cli_test_run.h"
#include "support/stored_test.h"
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
    const std::vector<tMyPoint> points =
        testing::SyntheticPath({.count = count, .maxGap = 3, .heads = heads, .seed = 5});
    const auto frames = static_cast<uint32_t>(points.back().frame + 1);
    testing::StoreAnalysedTest(fixture, 3, 2, 1, 0.5, points, FrameTimes::Uniform(frames, (frames - 1) * 40), 1000,
                               heads);
    return points;
  }

  testing::ExperimentFixture fixture;
  std::string path;
};

const char* const kHeader =
    "frame,time,x,y,head_x,head_y,left,top,right,bottom,pos_x,pos_y,smooth_x,smooth_y,cum_dist,"
    "cum_raw_dist";

// Every stored point with its derived values. With smoothing on, the raw steps follow the
// detected positions and the others the smoothed ones; each speed is its step over the time
// between the two frames.
TEST_F(TrajectoryCommands, CsvListsEveryStoredPointWithItsStepsFromThePreviousFrame) {
  const std::vector<tMyPoint> points = StorePath(50, true);
  ASSERT_EQ(Run({"smoothing", path, "3", "0", "0"}).status, 0);
  const CliRun run = Run({"trajectory", path, "3", "--csv", "--variables"});
  ASSERT_EQ(run.status, 0) << run.err;
  const std::vector<std::string> lines = Split(run.out, '\n', false);
  ASSERT_EQ(lines.size(), points.size() + 1);
  EXPECT_EQ(lines[0], std::string(kHeader) + ",raw_distance,raw_speed,distance,speed");
  std::vector<std::string> before = Split(lines[1], ',', true);
  EXPECT_EQ(std::vector<std::string>(before.begin() + 14, before.end()),
            (std::vector<std::string>{"0.000000", "0.000000", "0.000000", "0.000000", "0.000000", "0.000000"}));
  double rawDistance = 0, distance = 0;
  for (size_t i = 1; i < points.size(); ++i) {
    const tMyPoint& p = points[i];
    const std::vector<std::string> cells = Split(lines[i + 1], ',', true);
    ASSERT_EQ(cells.size(), 20u);
    EXPECT_EQ(std::vector<int>({ToInt(cells[0]), ToInt(cells[1]), ToInt(cells[2]), ToInt(cells[4]), ToInt(cells[5]),
                                ToInt(cells[9]), ToInt(cells[10])}),
              std::vector<int>({p.frame, p.frame * 40, p.rawX, p.headX, p.headY, p.boxBottom, p.rawX}));  // no filter
    const double ms = (p.frame - points[i - 1].frame) * 40.0;
    const double raw = std::hypot(p.rawX - points[i - 1].rawX, p.rawY - points[i - 1].rawY) * 0.5;
    const double smooth = std::hypot(ToDouble(cells[12]) - ToDouble(before[12]),
                                     ToDouble(cells[13]) - ToDouble(before[13]));
    rawDistance += raw;
    distance += smooth;
    EXPECT_NEAR(ToDouble(cells[16]), raw, 1e-5) << i;
    EXPECT_NEAR(ToDouble(cells[17]), raw * 1000 / ms, 1e-3) << i;
    EXPECT_NEAR(ToDouble(cells[18]), smooth, 1e-5) << i;
    EXPECT_NEAR(ToDouble(cells[19]), smooth * 1000 / ms, 1e-3) << i;
    EXPECT_NEAR(ToDouble(cells[15]), rawDistance, 1e-4) << i;
    EXPECT_NEAR(ToDouble(cells[14]), distance, 1e-4) << i;
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
