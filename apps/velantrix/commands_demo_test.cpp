// velantrix demo, run in-process on a short sample video: the experiment it leaves behind is
// checked with plain SQL against the rendered path.
#include <gtest/gtest.h>

#include <cmath>

#include "base/text.h"
#include "cli_test_run.h"
#include "shell/demo_scene.h"
#include "support/experiment_fixture.h"
#include "support/temp_dir.h"

namespace {

using vx::cli::testing::RunCommand;
using vx::cli::testing::RunResult;
using vx::testing::QueryValue;

// Six seconds: a two-second pause in the top-left corner, then the walk to the middle of the
// arena, and a pause there.
constexpr double kSeconds = 6;

// Length of the rendered walk in millimetres, from the poses and the ruler.
double RenderedPathMm() {
  const vx::DemoLayout layout = vx::DemoArena();
  const std::vector<vx::AnimalPose> poses = vx::DemoPath(layout, kSeconds);
  double pixels = 0;
  for (size_t i = 1; i < poses.size(); ++i) {
    pixels += std::hypot(poses[i].centre.x - poses[i - 1].centre.x,
                         poses[i].centre.y - poses[i - 1].centre.y);
  }
  const double mmPerPixel = layout.rulerMm / std::hypot(layout.rulerTo.x - layout.rulerFrom.x,
                                                        layout.rulerTo.y - layout.rulerFrom.y);
  return pixels * mmPerPixel;
}

TEST(DemoCommand, RendersBuildsAndAnalysesTheSampleExperiment) {
  vx::testing::TempDir dir;
  const std::string folder = dir.File("demo");
  const RunResult result = RunCommand({"demo", folder, "--seconds", "6"}, dir.File("s.ini"));
  ASSERT_EQ(result.status, 0) << result.err << result.out;
  EXPECT_NE(result.out.find("Test 1 \"Mouse 1, day 1\": detection rate "), std::string::npos)
      << result.out;
  EXPECT_NE(result.out.find("Centre ( in )"), std::string::npos) << result.out;
  // The behaviours scored at fixed shares of the 6 s: grooming from 8 % to 28 % of the video,
  // rearing from 44 % to 54 % and from 80 % to 90 %, three sniffs of one frame each.
  EXPECT_NE(result.out.find("Grooming  Rearing  Sniffing"), std::string::npos) << result.out;
  EXPECT_NE(result.out.find("1.200     1.200    0.120"), std::string::npos) << result.out;

  const std::string exp = folder + "/demo.vxdb";
  // The ruler, the arena, the centre and the four corners.
  EXPECT_EQ(QueryValue(exp, "select count(*) from Zones"), "7");
  EXPECT_EQ(QueryValue(exp, "select DateAnalyse <> 0 from Tests where Id=1"), "1");
  EXPECT_EQ(QueryValue(exp, "select Duration from Tests where Id=1"), "6");
  // Nearly every frame has the animal, and the stored distance is the rendered walk's.
  const double distance = vx::ToDouble(QueryValue(exp, "select Distance from Tests where Id=1"));
  EXPECT_NEAR(distance, RenderedPathMm(), 0.05 * RenderedPathMm());

  // The walk enters the centre zone on its 38th frame (from (150,70) to (320,240) in 67
  // frames, the zone starting at x=245, y=165) and stays there: frames 87 to 149.
  const RunResult centre = RunCommand(
      {"measure", exp, "1", "--config", "5|12|0||0|-1|0|0|1|-2|0|0|", "--csv"}, dir.File("s.ini"));
  ASSERT_EQ(centre.status, 0) << centre.err;
  const std::vector<std::string> rows = vx::Split(centre.out, '\n', false);
  ASSERT_GE(rows.size(), 2u);
  const std::vector<std::string> header = vx::Split(rows[0], ',', true);
  const std::vector<std::string> values = vx::Split(rows[1], ',', true);
  ASSERT_EQ(header.size(), values.size());
  ASSERT_EQ(header[2], "Centre ( in )");
  EXPECT_NEAR(vx::ToDouble(values[2]), (149 - 87) / 25.0, 0.1);
}

TEST(DemoCommand, RefusesAFolderThatHoldsFiles) {
  vx::testing::TempDir dir;
  const std::string kept = dir.File("notes.txt");
  vx::testing::WriteFileBytes(kept, "mine");
  const RunResult result = RunCommand({"demo", dir.path(), "--seconds", "1"}, dir.File("s.ini"));
  EXPECT_EQ(result.status, 1);
  EXPECT_NE(result.err.find("not empty"), std::string::npos) << result.err;
  EXPECT_EQ(vx::testing::ReadFileBytes(kept), "mine");
  EXPECT_EQ(RunCommand({"demo", dir.path(), "--seconds", "0"}, dir.File("s.ini")).status, 2);
}

}  // namespace
