// velantrix field, behaviour, program and settings: what they store, read back with plain SQL,
// and the bad input they refuse without touching the file.
#include <gtest/gtest.h>

#include "base/text.h"
#include "measures/measure_definition.h"
#include "support/cli_experiment.h"

namespace {

using vx::cli::testing::RunResult;
using vx::testing::QueryValue;

class RecordCommands : public vx::cli::testing::CliExperiment {
 protected:
  void SetUp() override {
    CliExperiment::SetUp();
    ASSERT_EQ(Run({"protocol", "add", exp, "--name", "Open field", "--size", "320x240"}).status, 0);
    ASSERT_EQ(Run({"zone", "add", exp, "--protocol", "1", "--type", "rect", "--points", "80;60;240;180",
                   "--name", "Centre"}).out, "2\n");
  }

  // A report of protocol 1 on a measure; returns its id.
  std::string AddReport(int measure) {
    vx::MeasureDefinition definition;
    definition.measure = measure;
    return vx::Trim(Run({"report", "add", exp, "--protocol", "1", "--name", vx::Format("m%d", measure),
                         "--config", vx::FormatMeasureConfig(definition)}).out);
  }
};

TEST_F(RecordCommands, FieldsAreStoredWithTheirChoices) {
  EXPECT_EQ(Run({"field", "add", exp, "--name", "Weight", "--type", "number", "--unit", "g", "--for", "animal"}).out, "1\n");
  EXPECT_EQ(Run({"field", "add", exp, "--name", "Group", "--type", "choice", "--choices", "Control,Treated"}).out, "2\n");
  EXPECT_EQ(QueryValue(exp, "select Name||','||Type||','||Category||','||Unit from Fields where Id=1"), "Weight,1,0,g");
  EXPECT_EQ(QueryValue(exp, "select group_concat(Name||':'||Ordre, ';') from (select * from Choices where IdField=2 order by Ordre)"),
            "Control:0;Treated:1");
  const RunResult list = Run({"field", "list", exp, "--csv"});
  EXPECT_NE(list.out.find("2,Group,test,choice,,-1,-1,\"Control, Treated\""), std::string::npos) << list.out;

  // A test takes a value by the choice's name; a bad value leaves it as it was.
  ASSERT_EQ(Run({"test", "add", exp, "--protocol", "1"}).out, "1\n");
  ASSERT_EQ(Run({"test", "set", exp, "1", "--field", "group=treated"}).status, 0);
  const std::string treated = QueryValue(exp, "select Id from Choices where Name='Treated'");
  EXPECT_EQ(QueryValue(exp, "select Fields from Tests where Id=1"), "2;2;" + treated + "|");
  EXPECT_EQ(Run({"test", "set", exp, "1", "--field", "Group=Sham"}).status, 2);
  EXPECT_EQ(Run({"test", "set", exp, "1", "--field", "Weight=3"}).status, 2);  // an animal field
  EXPECT_EQ(QueryValue(exp, "select Fields from Tests where Id=1"), "2;2;" + treated + "|");
}

TEST_F(RecordCommands, BehavioursAreScoredFromKeyPresses) {
  ASSERT_EQ(Run({"behaviour", "add", exp, "--protocol", "1", "--name", "Grooming", "--key", "g"}).out, "1\n");
  ASSERT_EQ(Run({"behaviour", "add", exp, "--protocol", "1", "--name", "Rearing", "--key", "r"}).out, "2\n");
  const std::string video = dir.File("v.avi");
  vx::testing::WriteFileBytes(video, "");
  // A test with a 60 s video, registered by SQL: scoring needs no decodable video.
  vx::testing::ExecuteSql(exp, "insert into Videos (Name,Notes,File,IdProtocol,Status,DateAcq,NbFrames,Duration,Width,Height,Infos) "
                               "values ('v','','v.avi',1,0,0,1500,60000,320,240,'')");
  ASSERT_EQ(Run({"test", "add", exp, "--protocol", "1", "--video", "1"}).out, "1\n");
  const std::string behaviourReport = AddReport(23);
  const std::string distanceReport = AddReport(0);
  vx::testing::ExecuteSql(exp, vx::Format("insert into ReportsData (IdReport, IdTest, Data) values (%s, 1, x'00'), (%s, 1, x'00')",
                                          behaviourReport.c_str(), distanceReport.c_str()));
  const std::string events = dir.File("events.txt");
  vx::testing::WriteFileBytes(events, "# time key\n1.5 g\n4 g\n0:10 r\n12.25,g\n20 g\n55s r\n59 g\n");
  const RunResult scored = Run({"behaviour", "score", exp, "1", "--events", events});
  ASSERT_EQ(scored.status, 0) << scored.err;
  const RunResult listed = Run({"behaviour", "events", exp, "1", "--csv"});
  EXPECT_EQ(listed.out, "behaviour,name,key,start,end\n1,Grooming,g,1500,4000\n1,Grooming,g,12250,20000\n"
                        "1,Grooming,g,59000,60000\n2,Rearing,r,10000,55000\n");
  // Only the cached results of the behaviour report are dropped.
  EXPECT_EQ(QueryValue(exp, "select group_concat(IdReport) from ReportsData"), distanceReport);

  const std::string before = vx::testing::ReadFileBytes(exp);
  for (const char* bad : {"1 x\n", "5 g\n2 g\n", "61 g\n", "abc g\n", "1 gg\n"}) {
    vx::testing::WriteFileBytes(events, bad);
    EXPECT_EQ(Run({"behaviour", "score", exp, "1", "--events", events}).status, 2) << bad;
  }
  EXPECT_EQ(Run({"behaviour", "add", exp, "--protocol", "1", "--name", "Sniffing", "--key", "g"}).status, 2);
  EXPECT_EQ(Run({"behaviour", "score", exp, "1", "--events", dir.File("none.txt")}).status, 1);
  EXPECT_EQ(vx::testing::ReadFileBytes(exp), before);
}

TEST_F(RecordCommands, ProgramIsWrittenFromRulesAndShownAsSteps) {
  const RunResult set = Run({"program", "set", exp, "--protocol", "1", "--start", "enter:centre", "--stop", "after:5min"});
  ASSERT_EQ(set.status, 0) << set.err;
  const std::string diagram = QueryValue(exp, "select Diagram from Protocols where Id=1");
  // Event texts: version 2, id, type, zone, amount, unit, count, armed by, two flags.
  EXPECT_NE(diagram.find(",2|1|6|2|0|2|1|-1|0|0|;"), std::string::npos) << diagram;
  EXPECT_NE(diagram.find(",2|3|2|-1|5|1|1|1|0|0|;"), std::string::npos) << diagram;
  EXPECT_NE(diagram.find(",0|4|1|0|877677894|3|-1|1|;"), std::string::npos) << diagram;  // stop on event 3
  const RunResult shown = Run({"program", "show", exp, "--protocol", "1"});
  EXPECT_NE(shown.out.find("The animal enters 'Centre' 1 time(s)."), std::string::npos) << shown.out;
  EXPECT_NE(shown.out.find("Action 4: stop tracking when event 3 fires"), std::string::npos) << shown.out;

  const std::string before = vx::testing::ReadFileBytes(exp);
  const std::vector<std::vector<std::string>> bad = {
      {"--start", "enter:Nowhere"}, {"--start", "after:1.5s"}, {"--start", "soon"}, {"--start", "after:-5s"},
      {"--text", "uml_event,1,2,x|y|"}, {"--text", "uml_action,1,0|2|0|0|877677894|9|-1|1|"}, {}};
  for (const auto& flags : bad) {
    std::vector<std::string> args = {"program", "set", exp, "--protocol", "1"};
    args.insert(args.end(), flags.begin(), flags.end());
    EXPECT_EQ(Run(args).status, 2) << (flags.empty() ? "" : flags.back());
  }
  EXPECT_EQ(vx::testing::ReadFileBytes(exp), before);
}

TEST_F(RecordCommands, SettingsAreWrittenTogetherOrNotAtAll) {
  ASSERT_EQ(Run({"settings", "set", exp, "--title", "Anxiety 2026", "--animal-size", "10,30", "--set", "Units=1"}).status, 0);
  EXPECT_EQ(QueryValue(exp, "select Value from Infos where Name='Title'"), "Anxiety 2026");
  EXPECT_EQ(QueryValue(exp, "select Value from Infos where Name='Units'"), "1");
  EXPECT_NE(Run({"settings", "show", exp}).out.find("Default animal size: 10 to 30 cm²"), std::string::npos);

  const std::string before = vx::testing::ReadFileBytes(exp);
  for (const std::vector<std::string>& flags : std::vector<std::vector<std::string>>{
           {"--title", "x", "--animal-size", "30,10"}, {"--animal-size", "nan,4"}, {"--set", "VersionDB=3"},
           {"--set", "Smooth=1|2|0"}, {"--refresh-results", "maybe"}, {}}) {
    std::vector<std::string> args = {"settings", "set", exp};
    args.insert(args.end(), flags.begin(), flags.end());
    EXPECT_EQ(Run(args).status, 2);
  }
  EXPECT_EQ(vx::testing::ReadFileBytes(exp), before);
}

TEST_F(RecordCommands, BadFieldsAreRefusedAndNothingIsWritten) {
  ASSERT_EQ(Run({"field", "add", exp, "--name", "Group", "--type", "choice", "--choices", "A,B"}).status, 0);
  const std::string before = vx::testing::ReadFileBytes(exp);
  const std::vector<std::vector<std::string>> bad = {
      {"--name", "group", "--type", "text"},                       // same name, same family
      {"--name", "Dose", "--type", "choice"},                      // no choices
      {"--name", "Dose", "--type", "number", "--choices", "a"},    // choices on a number
      {"--name", "Side", "--type", "protocol-choice", "--choices", "L,R"},  // no protocol
      {"--name", "A|B"}, {"--name", "Dose", "--type", "date"}, {"--name", "Dose", "--for", "cage"},
      {"--name", "Dose", "--type", "choice", "--choices", "a,a"}, {"--name", "Dose", "--protocol", "9"}};
  for (const auto& flags : bad) {
    std::vector<std::string> args = {"field", "add", exp};
    args.insert(args.end(), flags.begin(), flags.end());
    EXPECT_EQ(Run(args).status, 2) << flags[1];
  }
  EXPECT_EQ(Run({"field", "list", dir.File("none.vxdb")}).status, 1);
  EXPECT_EQ(vx::testing::ReadFileBytes(exp), before);
}

}  // namespace
