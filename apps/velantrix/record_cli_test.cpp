// camera list and record, run in-process with a rendered video standing in for the camera.
#include <gtest/gtest.h>

#include "cli_test_run.h"
#include "support/experiment_fixture.h"
#include "support/temp_dir.h"
#include "video/synthetic_animal.h"

namespace vx::cli {
namespace {

using testing::RunCommand;
using testing::RunResult;

class RecordCli : public ::testing::Test {
 protected:
  void SetUp() override {
    exp = dir.File("exp.vxdb");
    camera = dir.File("camera.avi");
    SceneLook scene = LightFloorScene();
    scene.size = {320, 240};
    scene.arenaRect = {20, 10, 280, 220};
    ASSERT_TRUE(WriteSyntheticVideo(camera, "MJPG", 25, scene, DarkAnimal(),
                                    CirclePath({160, 120}, 60, 20, 4.0)));
    ASSERT_EQ(Run({"new", exp}).status, 0);
    ASSERT_EQ(Run({"protocol", "add", exp, "--name", "Open field", "--size", "320x240"}).out, "1\n");
    ASSERT_EQ(Run({"animal", "add", exp, "--name", "M1"}).out, "1\n");
  }
  RunResult Run(const std::vector<std::string>& args) {
    return RunCommand(args, dir.File("settings.ini"));
  }
  std::string Value(const std::string& sql) { return vx::testing::QueryValue(exp, sql); }

  vx::testing::TempDir dir;
  std::string exp, camera;
};

TEST_F(RecordCli, RecordsATestCreatedForIt) {
  const RunResult recorded = Run({"record", exp, "--protocol", "1", "--animal", "1", "--source", camera,
                                  "--fast", "--json"});
  ASSERT_EQ(recorded.status, 0) << recorded.err;
  EXPECT_NE(recorded.out.find("\"test\": 1, \"video\": 1"), std::string::npos) << recorded.out;
  EXPECT_NE(recorded.out.find("\"frames\": 20"), std::string::npos) << recorded.out;
  EXPECT_EQ(Value("select Source||' '||IdAnimal from Tests"), "1 1");
  EXPECT_EQ(Value("select File||' '||NbFrames from Videos"), "Test_1.vxf 20");

  // Recorded again: a second file, the first video kept.
  ASSERT_EQ(Run({"record", exp, "1", "--source", camera, "--fast", "--duration", "200ms"}).status, 0);
  EXPECT_EQ(Value("select group_concat(File||' '||NbFrames, ', ') from Videos"),
            "Test_1.vxf 20, Test_1_2.vxf 5");
  EXPECT_EQ(Value("select Source from Tests"), "2");
}

TEST_F(RecordCli, BadRequestsLeaveTheExperimentAsItWas) {
  ASSERT_EQ(Run({"test", "add", exp, "--protocol", "1"}).out, "1\n");
  const std::string before = vx::testing::ReadFileBytes(exp);
  struct Case {
    std::vector<std::string> args;
    int status;
  };
  for (const Case& c : {Case{{"record", exp, "9", "--source", camera}, 1},
                        Case{{"record", exp, "1", "--source", dir.File("none.avi")}, 1},
                        Case{{"record", exp, "1", "--source", camera, "--duration", "ten"}, 2},
                        Case{{"record", exp, "1", "--source", camera, "--format", "divx"}, 2},
                        Case{{"record", exp, "--protocol", "1", "--source", camera}, 2},
                        Case{{"record", exp, "--protocol", "1", "--animal", "7", "--source", camera}, 1}}) {
    const RunResult result = Run(c.args);
    EXPECT_EQ(result.status, c.status) << c.args[2] << c.args[3] << ": " << result.err;
    EXPECT_FALSE(result.err.empty());
  }
  EXPECT_EQ(vx::testing::ReadFileBytes(exp), before);
}

TEST_F(RecordCli, CameraListIsAListEvenWithoutCameras) {
  const RunResult listed = Run({"camera", "list", "--json"});
  EXPECT_EQ(listed.status, 0);
  EXPECT_EQ(listed.out.substr(0, 1), "[");
}

}  // namespace
}  // namespace vx::cli
