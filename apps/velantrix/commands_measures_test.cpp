#include <gtest/gtest.h>


#include "base/text.h"
#include "support/cli_experiment.h"
#include "support/stored_test.h"
#include "support/trajectory_builder.h"

namespace vx {
namespace {

using CliRun = cli::testing::RunResult;

// Protocol 1 (arena 1000 x 100, zone A from x = 100), video 2 with ten frames every 100 ms,
// test 3 analysed at 0.5 mm per pixel: the animal runs along y = 20 from x = 0 to 180 and
// enters A at 500 ms.
class MeasureCommands : public ::testing::Test {
 protected:
  void SetUp() override {
    ASSERT_TRUE(fixture.created);
    path = fixture.path();
    Sql("insert into Protocols (Id, Name, Width, Height, InactivityDelay, InactivityUnit) values "
        "(1, 'p', 1000, 100, 0, 0)");
    Sql("insert into Zones (Id, IdProtocol, Name, bArena, TypeRect, Points) values "
        "(1, 1, 'Arena', 1, 0, '0;0;999;99'), (2, 1, 'A', 0, 0, '100;0;999;99')");
    std::vector<uint32_t> times;
    for (uint32_t k = 0; k < 10; ++k) times.push_back(100 * k);
    points = testing::EvenPath(testing::Line({0, 20}, {180, 20}, 10), 100);
    testing::StoreAnalysedTest(fixture, 3, 2, 1, 0.5, points, FrameTimes::FromList(times));
    testing::StoreAnalysedTest(fixture, 4, 2, 1, 0.5, points, FrameTimes::FromList(times), 0);
    ASSERT_EQ(Run({"smoothing", path, "0", "0", "0"}).status, 0);
  }

  void Sql(const std::string& sql) { testing::ExecuteSql(path, sql); }
  std::string Cell(const std::string& sql) { return testing::QueryValue(path, sql); }

  CliRun Run(const std::vector<std::string>& args) {
    return cli::testing::RunCommand(args, fixture.dir.File("settings.ini"));
  }

  testing::ExperimentFixture fixture;
  std::string path;
  std::vector<tMyPoint> points;
};

TEST_F(MeasureCommands, TimeInZonesAsJson) {
  const CliRun run = Run({"measure", path, "3", "--config", "5|12|0||0|-1|0|0|1|-2|0|0|", "--json"});
  ASSERT_EQ(run.status, 0) << run.err;
  EXPECT_EQ(run.out,
            "{\"test\": 3, \"measure\": 12, \"periods\": [\"Total\"], \"cells\": [\"Arena ( in )\", "
            "\"A ( in )\", \"A ( out )\"], \"values\": [[0.9, 0.4, 0.5]]}\n");
}

TEST_F(MeasureCommands, LatencyNeverReachedIsPrintedAsStored) {
  Sql("insert into Zones (Id, IdProtocol, Name, TypeRect, Points) values (5, 1, 'Far', 0, "
      "'900;80;999;99')");
  const CliRun run = Run({"measure", path, "3", "--config", "5|9|0|,5,|0|-1|0|0|0|1|-2|0|0|", "--json"});
  ASSERT_EQ(run.status, 0) << run.err;
  EXPECT_NE(run.out.find("\"values\": [[-1]]"), std::string::npos);
}

TEST_F(MeasureCommands, BadRequestsFailAndLeaveTheFileAlone) {
  const std::string good = "5|12|0||0|-1|0|0|1|-2|0|0|";
  cli::testing::ExpectRefused(
      [this](const auto& args) { return Run(args); }, path,
      {{{"measure", path, "3", "--config", "nonsense"}, 2, "is not a measure definition"},
       {{"measure", path, "3", "--config", "5|1|0||0|-1|0|0|1|-2|0|0|"}, 2, "The range period can not be zero"},
       {{"measure", path, "3", "--config", "5|26|0||0|0|0|0|0|1|-2|0|0|"}, 2, "is an image"},
       {{"measure", path, "9", "--config", good}, 1, "There is no test 9"},
       {{"measure", path, "4", "--config", good}, 1, "Test 4 is not analysed."},
       {{"measure", path, "3"}, 2, "--config"},
       {{"measure", path, "3", "--config", good, "--csv", "--json"}, 2, ""}});
}

TEST_F(MeasureCommands, CorruptTrajectoryAndMissingProtocolFail) {
  Sql("update TestsPoints set PointsAnalyse=x'0A0B0C' where Id=3");
  const CliRun corrupt = Run({"measure", path, "3", "--config", "5|12|0||0|-1|0|0|1|-2|0|0|"});
  EXPECT_EQ(corrupt.status, 1);
  EXPECT_EQ(corrupt.err, "velantrix: The stored trajectory of test 3 is corrupt.\n");
  Sql("update Tests set IdProtocol=7 where Id=3");
  EXPECT_NE(Run({"measure", path, "3", "--config", "5|12|0||0|-1|0|0|1|-2|0|0|"})
                .err.find("protocol of test 3"),
            std::string::npos);
}

TEST_F(MeasureCommands, SettingTheSmoothingRecomputesEveryAnalysedTest) {
  Sql("update Tests set Distance=999 where Id=3");
  ASSERT_EQ(Run({"smoothing", path, "1", "0", "0"}).status, 0);
  const double lowess = ToDouble(Cell("select Distance from Tests where Id=3"));
  EXPECT_NE(lowess, 999);
  ASSERT_EQ(Run({"smoothing", path, "0", "0", "0"}).status, 0);
  EXPECT_NEAR(ToDouble(Cell("select Distance from Tests where Id=3")),
              testing::PathLength(points, 0.5), 1e-5);
  EXPECT_NEAR(ToDouble(Cell("select MaxSpeed from Tests where Id=3")), 100, 1e-5);
  EXPECT_EQ(Cell("select Distance from Tests where Id=4"), "0.0");  // not analysed
}

TEST_F(MeasureCommands, ProgramCheckListsEventsAndActions) {
  Sql("update Protocols set MaxDuration=5, MaxTypeDuration=1, Diagram='uml_startstop,1,2,Start;"
      "uml_event,1,2,3,4,2|1|6|2|0|2|2|-1|0|0|;uml_event,1,2,3,4,2|2|2|-1|30|2|1|1|0|0|;"
      "uml_action,1,2,3,4,0|7|0|0|877677894|1|-1|1|;uml_action,1,2,3,4,0|8|1|1|877677894|2|-1|1|' "
      "where Id=1");
  const CliRun text = Run({"program", "check", path, "--protocol", "1"});
  ASSERT_EQ(text.status, 0) << text.err;
  EXPECT_NE(text.out.find("The animal enters 'A' 2 time(s)."), std::string::npos) << text.out;
  EXPECT_NE(text.out.find("After 30 seconde(s)."), std::string::npos);
  EXPECT_NE(text.out.find("Maximum duration: 300 s"), std::string::npos);
  const CliRun json = Run({"program", "check", path, "--protocol", "1", "--json"});
  ASSERT_EQ(json.status, 0);
  EXPECT_EQ(json.out.rfind("{\"protocol\": 1, \"max_duration_s\": 300, \"events\": [", 0), 0u);
  EXPECT_NE(json.out.find("{\"id\": 8, \"kind\": \"stop\", \"source_event\": 2, \"video\": true"),
            std::string::npos)
      << json.out;
  EXPECT_EQ(Run({"program", "check", path, "--protocol", "9"}).status, 1);
  EXPECT_EQ(Run({"program", "check", path}).status, 2);
}

TEST_F(MeasureCommands, ANewProtocolStartsTrackingOnTheFirstFrame) {
  const CliRun added = Run({"protocol", "add", path, "--name", "Fresh"});
  ASSERT_EQ(added.status, 0) << added.err;
  const CliRun check = Run({"program", "check", path, "--protocol", Trim(added.out), "--json"});
  ASSERT_EQ(check.status, 0) << check.err;
  EXPECT_NE(check.out.find("{\"id\": 1, \"type\": 1, \"description\": \"Immediatly\", "
                           "\"zone\": -1, \"armed_by\": -1}"),
            std::string::npos)
      << check.out;
  EXPECT_NE(check.out.find("{\"id\": 2, \"kind\": \"start\", \"source_event\": 1"),
            std::string::npos);
}

}  // namespace
}  // namespace vx
