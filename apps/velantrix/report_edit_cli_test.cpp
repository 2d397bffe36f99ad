// Reports set up by name through the command line: the Config text that reaches the file (read
// with plain SQL), what show prints back, edits that drop the cache, refusals that write nothing.
#include <gtest/gtest.h>

#include "support/cli_experiment.h"

namespace {

using vx::testing::ExecuteSql;
using vx::testing::QueryValue;
using vx::testing::ReadFileBytes;
using Result = vx::cli::testing::RunResult;
using vx::cli::testing::Args;

class ReportEditCli : public vx::cli::testing::CliExperiment {
 protected:
  void SetUp() override {
    CliExperiment::SetUp();
    ASSERT_EQ(Run({"protocol", "add", exp, "--name", "Open field", "--size", "640x480"}).status, 0);
    ASSERT_EQ(Run({"zone", "add", exp, "--protocol", "1", "--type", "rect", "--points",
                   "100;100;300;300", "--name", "Centre"}).status, 0);
    centre = QueryValue(exp, "select Id from Zones where Name='Centre'");
  }
  std::string centre;
};

TEST_F(ReportEditCli, AddShowSetDeleteByName) {
  const Result added = Run({"report", "add", exp, "--protocol", "1", "--name", "Centre time",
                            "--measure", "time-in-zone", "--zones", "Centre", "--unit", "s",
                            "--periods", "slices:1min"});
  ASSERT_EQ(added.status, 0) << added.err;
  const std::string id = added.out.substr(0, added.out.size() - 1);
  const std::string config = "5|12|0|," + centre + ",|2|-1|0|1|1|-2|0|0|";
  EXPECT_EQ(QueryValue(exp, "select Config from Results where Id=" + id), config);
  const Result show = Run({"report", "show", exp, id, "--json"});
  EXPECT_NE(show.out.find("\"measure\": \"time-in-zone\", \"value\": \"duration\", \"unit\": \"s\", "
                          "\"zones\": \"Centre\", \"periods\": \"slices:1min\", \"precision\": \"auto\", "
                          "\"config\": \"" + config + "\""),
            std::string::npos)
      << show.out;

  // A new unit rewrites the definition and drops the report's cached results only.
  ExecuteSql(exp, "insert into ReportsData (IdReport, IdTest, Data) values (" + id + ", 1, x'00'), (99, 1, x'00')");
  ASSERT_EQ(Run({"report", "set", exp, id, "--unit", "hh:mm:ss"}).status, 0);
  EXPECT_EQ(QueryValue(exp, "select Config from Results where Id=" + id), "5|12|0|," + centre + ",|0|-1|0|1|1|-2|0|0|");
  EXPECT_EQ(QueryValue(exp, "select group_concat(IdReport) from ReportsData"), "99");
  ASSERT_EQ(Run({"report", "delete", exp, id}).status, 0);
  EXPECT_EQ(QueryValue(exp, "select count(*) from Results"), "0");
  EXPECT_EQ(Run({"report", "show", exp, id}).status, 1);
}

TEST_F(ReportEditCli, BadDefinitionsExitTwoAndWriteNothing) {
  ASSERT_EQ(Run({"report", "add", exp, "--protocol", "1", "--name", "R", "--measure", "entries"}).status, 0);
  const std::string before = ReadFileBytes(exp);
  const Args bad[] = {
      {"--measure", "nope"},       {"--measure", "entries", "--unit", "cm"},
      {"--measure", "distance", "--zones", "Nowhere"}, {"--measure", "entries", "--periods", "slices:0"},
      {"--measure", "entries", "--precision", "nan"},  {"--config", "garbage"},
      {"--config", "5|12|0|"},     {"--zones", "Centre"},  // add without a measure
  };
  for (const Args& flags : bad) {
    Args add{"report", "add", exp, "--protocol", "1", "--name", "R2"};
    add.insert(add.end(), flags.begin(), flags.end());
    const Result refused = Run(add);
    EXPECT_EQ(refused.status, 2) << flags[0] << " " << flags[1] << ": " << refused.err;
  }
  EXPECT_EQ(Run({"report", "set", exp, "1", "--unit", "cm"}).status, 2);
  EXPECT_EQ(Run({"report", "set", exp, "1"}).status, 2);
  EXPECT_EQ(ReadFileBytes(exp), before);
}

TEST(CatalogueCli, MeasuresAndVariablesNameTheirChoices) {
  vx::testing::TempDir dir;
  const Result measures = vx::cli::testing::RunCommand({"measures", "--json"}, dir.File("s.ini"));
  ASSERT_EQ(measures.status, 0);
  EXPECT_NE(measures.out.find("{\"number\": 3, \"name\": \"distance\", \"label\": \"Distance by zone\", "
                              "\"description\": \"Distance travelled in each zone\", \"value_kinds\": "
                              "[\"distance\", \"percent-of-distance\", \"percent-of-zones\", \"per-area\", "
                              "\"area-weighted\"], \"units\": [\"mm\", \"cm\", \"m\", \"mm/mm2\""),
            std::string::npos)
      << measures.out;
  const Result variables = vx::cli::testing::RunCommand({"variables", "--json"}, dir.File("s.ini"));
  EXPECT_NE(variables.out.find("{\"number\": 24, \"name\": \"speed\", \"label\": \"Speed\""), std::string::npos);
  // English everywhere: no accented letter is left in either catalogue.
  for (const std::string& out : {measures.out, variables.out}) {
    EXPECT_EQ(out.find('\xC3'), std::string::npos);
  }
}

}  // namespace
