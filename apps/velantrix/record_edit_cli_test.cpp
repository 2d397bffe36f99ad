// Zones given by named geometry flags, and zones, protocols and animals changed and deleted:
// the rows read back with plain SQL, the cached results dropped, and bad input refused with the
// file left as it was.
#include <gtest/gtest.h>

#include "base/text.h"
#include "support/cli_experiment.h"

namespace {

using vx::cli::testing::RunResult;
using vx::testing::QueryValue;

class RecordEdit : public vx::cli::testing::CliExperiment {
 protected:
  void SetUp() override {
    CliExperiment::SetUp();
    ASSERT_EQ(Run({"protocol", "add", exp, "--name", "Open field", "--size", "640x480"}).status, 0);
  }
  RunResult Zone(const std::string& verb, std::vector<std::string> args) {
    args.insert(args.begin(), {"zone", verb, exp, "--protocol", "1"});
    return Run(args);
  }
  std::string Row(const std::string& id) {
    return QueryValue(exp, "select bPoly||','||TypeRect||','||Points from Zones where Id=" + id);
  }
};

TEST_F(RecordEdit, NamedGeometryStoresWhatTheStoredFormStores) {
  const std::vector<std::pair<std::vector<std::string>, std::vector<std::string>>> pairs = {
      {{"--rect", "100,50,300,250"}, {"--type", "rect", "--points", "100;50;300;250"}},
      {{"--ellipse", "99,25,518,444"}, {"--type", "ellipse", "--points", "99;25;518;444"}},
      {{"--line", "500,10,20,10"}, {"--type", "line", "--points", "500;10;20;10"}},
      {{"--polygon", "10,10;90,10;50,80"}, {"--type", "polygon", "--points", "0;0;0;0|3|10;10|90;10|50;80|"}},
  };
  for (const auto& [named, stored] : pairs) {
    const std::string a = vx::Trim(Zone("add", named).out);
    const std::string b = vx::Trim(Zone("add", stored).out);
    ASSERT_FALSE(a.empty() || b.empty()) << named[0];
    EXPECT_EQ(Row(a), Row(b)) << named[0];
  }
  const RunResult list = Zone("list", {"--csv"});
  EXPECT_NE(list.out.find(",\"polygon 10,10;90,10;50,80\",10;10;90;80|3|10;10|90;10|50;80|"), std::string::npos) << list.out;
}

TEST_F(RecordEdit, BadGeometryFlagsAreRefusedNamingTheFlag) {
  const std::string before = vx::testing::ReadFileBytes(exp);
  const std::vector<std::pair<std::vector<std::string>, std::string>> bad = {
      {{"--rect", "300,50,100,250"}, "--rect: the corners are not in order"},
      {{"--ellipse", "1,2,3,480"}, "--ellipse: y = 480 is off the image"},
      {{"--polygon", "1,2;3,4"}, "--polygon: a polygon needs at least three vertices"},
      {{"--line", "1,x,3,4"}, "--line: 'x' is not a whole number"},
      {{"--rect", "1,2,3,4", "--points", "1;2;3;4"}, "give the zone one geometry"},
      {{"--type", "ellipse", "--rect", "1,2,3,4"}, "--type: --rect already names the shape"},
      {{"--name", "Nothing"}, "The zone needs a geometry"},
  };
  for (const auto& [args, message] : bad) {
    const RunResult run = Zone("add", args);
    EXPECT_EQ(run.status, 2) << args[0];
    EXPECT_NE(run.err.find(message), std::string::npos) << run.err;
  }
  EXPECT_EQ(vx::testing::ReadFileBytes(exp), before);
}

TEST_F(RecordEdit, SetChangesOnlyWhatIsTypedAndDropsTheProtocolsCachedResults) {
  ASSERT_EQ(Zone("add", {"--ellipse", "20,20,620,460", "--arena"}).out, "2\n");
  ASSERT_EQ(Zone("add", {"--rect", "200,150,440,330", "--name", "Centre", "--detect", "body", "--entry", "80"}).out, "3\n");
  vx::testing::ExecuteSql(exp, "insert into Results (Name, Config, IdProtocol) values ('r', '', 1)");
  vx::testing::ExecuteSql(exp, "insert into ReportsData (IdReport, IdTest, Data) values (1, 1, x'00')");
  const RunResult set = Zone("set", {"3", "--polygon", "200,150;440,150;320,330", "--exit", "30"});
  ASSERT_EQ(set.status, 0) << set.err;
  EXPECT_EQ(Row("3"), "1,6,200;150;440;330|3|200;150|440;150|320;330|");
  EXPECT_EQ(QueryValue(exp, "select Name||','||DetectInZone||','||PercentEntry||','||PercentExit from Zones where Id=3"),
            "Centre,2,80,30");
  EXPECT_EQ(QueryValue(exp, "select count(*) from ReportsData"), "0");
  ASSERT_EQ(Zone("set", {"3", "--points", "1;1;9;9"}).status, 2);  // the stored text of the zone's own kind
  ASSERT_EQ(Zone("set", {"3", "--type", "rect", "--points", "1;1;9;9", "--name", "Corner"}).status, 0);
  EXPECT_EQ(Row("3"), "0,0,1;1;9;9");

  const std::string before = vx::testing::ReadFileBytes(exp);
  EXPECT_EQ(Zone("set", {"2", "--line", "1,1,9,9"}).status, 2);  // the arena needs an area
  EXPECT_EQ(Zone("set", {"1", "--name", "R"}).status, 2);        // the ruler has its own verb
  EXPECT_EQ(Zone("set", {"9", "--name", "R"}).status, 1);
  EXPECT_EQ(Zone("delete", {"2"}).status, 1);
  EXPECT_EQ(vx::testing::ReadFileBytes(exp), before);
  EXPECT_EQ(Zone("delete", {"3"}).status, 0);
  EXPECT_EQ(QueryValue(exp, "select group_concat(Id) from Zones"), "1,2");
}

TEST_F(RecordEdit, ProtocolSetScalesTheZonesAndShowPrintsTheSettings) {
  ASSERT_EQ(Zone("add", {"--rect", "100,50,300,250"}).out, "2\n");
  const RunResult set = Run({"protocol", "set", exp, "1", "--size", "320x240", "--name", "Small", "--head",
                             "--max-duration", "10", "--max-duration-unit", "min", "--record-delay", "5",
                             "--record-delay-unit", "s"});
  ASSERT_EQ(set.status, 0) << set.err;
  EXPECT_EQ(Row("2"), "0,0,50;25;150;125");
  EXPECT_EQ(QueryValue(exp, "select Name||','||Width||','||HeadDetection||','||MaxDuration||','||MaxTypeDuration||','||"
                            "DelayRecordNoA||','||TypeDelayRecordNoA from Protocols"),
            "Small,320,1,10,1,5,2");
  const RunResult show = Run({"protocol", "show", exp, "1"});
  EXPECT_NE(show.out.find("Maximum duration: 10 min\nRecording without analysis: delay 5 s"), std::string::npos)
      << show.out;

  const std::string before = vx::testing::ReadFileBytes(exp);
  EXPECT_EQ(Run({"protocol", "set", exp, "1", "--max-duration", "0"}).status, 2);
  EXPECT_EQ(Run({"protocol", "set", exp, "1", "--name", " "}).status, 2);
  EXPECT_EQ(Run({"protocol", "set", exp, "1", "--head", "--no-head"}).status, 2);
  EXPECT_EQ(Run({"protocol", "set", exp, "9", "--name", "X"}).status, 1);
  EXPECT_EQ(vx::testing::ReadFileBytes(exp), before);
}

TEST_F(RecordEdit, AnimalSetChangesTheSizeOrGivesItBackToTheExperiment) {
  ASSERT_EQ(Run({"animal", "add", exp, "--name", "M1", "--species", "mouse"}).out, "1\n");
  ASSERT_EQ(Run({"animal", "set", exp, "1", "--size", "12,40", "--name", "M2"}).status, 0);
  EXPECT_EQ(QueryValue(exp, "select Name||','||MinSize||','||MaxSize from Animals"), "M2,12,40");
  ASSERT_EQ(Run({"animal", "set", exp, "1", "--size", "experiment"}).status, 0);
  EXPECT_EQ(QueryValue(exp, "select AnimalSize from Animals"), "Exp");
  EXPECT_EQ(Run({"animal", "set", exp, "1", "--size", "40,12"}).status, 2);
  EXPECT_EQ(Run({"animal", "set", exp, "1", "--species", "cat"}).status, 2);
}

}  // namespace
