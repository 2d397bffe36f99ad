// report add, list and run on an experiment file built by hand: the shapes scripts read, the
// cache filled and used (inspected with plain SQL), and bad requests that leave the file alone.
#include <gtest/gtest.h>


#include "base/text.h"
#include "support/cli_experiment.h"
#include "support/report_file.h"

namespace vx {
namespace {

using CliRun = cli::testing::RunResult;

constexpr const char* kTimeInZone = "5|12|0||0|-1|0|0|1|-2|0|0|";

class ReportCommands : public ::testing::Test {
 protected:
  CliRun Run(const std::vector<std::string>& args) {
    return cli::testing::RunCommand(args, file.fixture.dir.File("settings.ini"));
  }

  // Adds a report through the command line and returns its id.
  int Add(const std::string& name, const std::string& config, const std::string& protocol = "1") {
    const CliRun run =
        Run({"report", "add", file.path(), "--protocol", protocol, "--name", name, "--config", config});
    EXPECT_EQ(run.status, 0) << run.err;
    return std::stoi(run.out);
  }

  testing::ReportFile file;
};

TEST_F(ReportCommands, ListShowsEveryReportOrOneProtocols) {
  const int time = Add("Time", kTimeInZone);
  const int other = Add("Other", "5|4|0||0|-1|0|0|0|1|-2|0|0|", "2");
  CliRun run = Run({"report", "list", file.path(), "--csv"});
  ASSERT_EQ(run.status, 0) << run.err;
  EXPECT_EQ(run.out, Format("id,protocol,name,measure,measure_name,config\n"
                            "%d,1,Time,12,Time spent in a zone,%s\n"
                            "%d,2,Other,4,Number of entries into a zone,%s\n",
                            time, kTimeInZone, other, "5|4|0||0|-1|0|0|0|1|-2|0|0|"));
  run = Run({"report", "list", file.path(), "--protocol", "2", "--json"});
  ASSERT_EQ(run.status, 0) << run.err;
  EXPECT_NE(run.out.find(Format("\"id\": %d", other)), std::string::npos);
  EXPECT_EQ(run.out.find(Format("\"id\": %d,", time)), std::string::npos);
  EXPECT_EQ(Run({"report", "list", file.path(), "--protocol", "9"}).status, 1);
  file.Sql("insert into Results (IdProtocol, Name, Config) values (2, 'broken', '5|x')");
  run = Run({"report", "list", file.path(), "--protocol", "2", "--csv"});
  EXPECT_NE(run.out.find(",2,broken,-1,unreadable definition,5|x\n"), std::string::npos) << run.out;
}

TEST_F(ReportCommands, RunAsJsonFillsTheCacheThenUsesIt) {
  const int id = Add("Time", kTimeInZone);
  const std::string expected = Format(
      "{\"report\": %d, \"measure\": 12, \"columns\": [\"Arena ( in )\", \"A ( in )\", "
      "\"A ( out )\"], \"rows\": [\n"
      "  {\"test\": 3, \"title\": \"test 3\", \"values\": [0.9, 0.4, 0.5], \"detection_rate\": null, \"frames\": null},\n"
      "  {\"test\": 4, \"title\": \"test 4\", \"values\": [0.9, 0.9, 0], \"detection_rate\": null, \"frames\": null},\n"
      "  {\"test\": 5, \"title\": \"test 5\", \"values\": [0.9, 0.5, 0.4], \"detection_rate\": null, \"frames\": null}\n]}\n",
      id);
  CliRun run = Run({"report", "run", file.path(), std::to_string(id), "--json"});
  ASSERT_EQ(run.status, 0) << run.err;
  EXPECT_EQ(run.out, expected);
  EXPECT_EQ(file.Cell(Format("select count(*) from ReportsData where IdReport=%d", id)), "3");
  // A value changed in the cache behind the program's back shows that the second run reads
  // it (1.5f = 0x3FC00000) instead of computing.
  file.Sql("update ReportsData set Data=x'112700000C0000000000C03F0000C03F0000C03F' where IdTest=4");
  run = Run({"report", "run", file.path(), std::to_string(id), "--json"});
  EXPECT_NE(run.out.find("\"values\": [1.5, 1.5, 1.5]"), std::string::npos) << run.out;
}

TEST_F(ReportCommands, ACorruptStoredTrajectoryIsReportedNotShownAsAResult) {
  const int id = Add("Time", kTimeInZone);
  file.Sql("update TestsPoints set PointsAnalyse=x'0A0B0C' where Id=4");
  const CliRun run = Run({"report", "run", file.path(), std::to_string(id), "--csv"});
  EXPECT_EQ(run.status, 1);
  EXPECT_EQ(run.err, "velantrix: Test 4 (test 4): its stored trajectory is corrupt; its row is "
                     "empty.\n");
  EXPECT_NE(run.out.find("\n3,test 3,0.9,0.4,0.5,,\n"), std::string::npos) << run.out;
  EXPECT_EQ(file.Cell(Format("select count(*) from ReportsData where IdTest=4")), "0");
}

TEST_F(ReportCommands, RunAsCsvLabelsSlicesByPeriod) {
  // Distance by zone in 1 s slices: the 0.9 s tests have one slice.
  const int id = Add("Distance", "5|3|0||0|-1|0|1|2|-2|0|0|");
  const CliRun run = Run({"report", "run", file.path(), std::to_string(id), "--csv"});
  ASSERT_EQ(run.status, 0) << run.err;
  EXPECT_EQ(run.out,
            "test,title,00:00:00 - 00:00:01 / Arena ( in ),00:00:00 - 00:00:01 / A ( in ),"
            "00:00:00 - 00:00:01 / A ( out ),detection_rate,frames\n"
            "3,test 3,90,40,50,,\n4,test 4,0,0,0,,\n5,test 5,90,50,40,,\n");
}

TEST_F(ReportCommands, RunAsTextShowsTheReportsUnits) {
  // Time in zone shown as seconds and milliseconds (duration format 3).
  const int id = Add("Time", "5|12|0||3|-1|0|0|1|-2|0|0|");
  const CliRun run = Run({"report", "run", file.path(), std::to_string(id)});
  ASSERT_EQ(run.status, 0) << run.err;
  EXPECT_EQ(run.out.substr(0, run.out.find('\n')),
            "test  title   Arena ( in )  A ( in )  A ( out )  Detection rate (%)  Frames");
  EXPECT_NE(run.out.find("3     test 3  0.900         0.400     0.500"), std::string::npos)
      << run.out;
}

TEST_F(ReportCommands, EntryEventsCarryTheirText) {
  const int id = Add("Events", "5|13|0||0|-1|0|0|0|1|-2|0|0|");
  CliRun run = Run({"report", "run", file.path(), std::to_string(id), "--json"});
  ASSERT_EQ(run.status, 0) << run.err;
  EXPECT_NE(run.out.find("{\"test\": 3, \"title\": \"test 3\", \"values\": [], \"text\": "
                         "\"0:1;0:-2;0:2;\", \"detection_rate\": null, \"frames\": null}"),
            std::string::npos)
      << run.out;
  run = Run({"report", "run", file.path(), std::to_string(id), "--csv"});
  EXPECT_EQ(run.out.substr(0, run.out.find('\n')), "test,title,text,detection_rate,frames");
}

TEST_F(ReportCommands, BadRequestsFailAndLeaveTheFileAlone) {
  const int id = Add("Time", kTimeInZone);
  file.Sql("insert into Results (IdProtocol, Name, Config) values (1, 'broken', 'nonsense')");
  const std::string broken = file.Cell("select Id from Results where Name='broken'");
  const std::string exp = file.path();
  cli::testing::ExpectRefused(
      [this](const auto& args) { return Run(args); }, exp,
      {{{"report", "add", exp, "--protocol", "1", "--name", "x", "--config", "nonsense"}, 2,
        "is not a measure definition"},
       {{"report", "add", exp, "--protocol", "1", "--name", " ", "--config", kTimeInZone}, 2, "Please, enter a name."},
       {{"report", "add", exp, "--protocol", "9", "--name", "x", "--config", kTimeInZone}, 1, "There is no protocol 9"},
       {{"report", "add", exp, "--protocol", "1", "--name", "x", "--config", "5|1|0||0|-1|0|0|1|-2|0|0|"}, 2,
        "The range period can not be zero"},
       {{"report", "add", exp, "--name", "x", "--config", kTimeInZone}, 2, "--protocol"},
       {{"report", "run", exp, "99"}, 1, "There is no report 99"},
       {{"report", "run", exp, broken}, 1, "cannot be read"},
       {{"report", "run", exp, std::to_string(id), "--filter", "1"}, 1, "There is no filter 1"},
       {{"report", "run", exp, std::to_string(id), "--csv", "--json"}, 2, ""},
       {{"report"}, 2, ""}});
}

}  // namespace
}  // namespace vx
