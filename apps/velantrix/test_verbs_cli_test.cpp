// test add / set / show / delete with detection settings by name: what reaches the file (read
// with plain SQL), what show prints back, and refusals that leave the file as it was.
#include <gtest/gtest.h>

#include <opencv2/videoio.hpp>

#include "support/cli_experiment.h"

namespace {

using vx::testing::ExecuteSql;
using vx::testing::QueryValue;
using vx::testing::ReadFileBytes;
using Result = vx::cli::testing::RunResult;
using vx::cli::testing::Args;

// The default settings with a zero stamp: named flags on top of it give exact stored texts.
const char* kBase = "5|0|0|255|90|127|50|0|179|0|255|0|255|20|-1||0|1|0|1|10|30|1";

class TestVerbsCli : public vx::cli::testing::CliExperiment {
 protected:
  void SetUp() override {
    CliExperiment::SetUp();
    const std::string video = dir.File("v.avi");
    cv::VideoWriter writer(video, cv::VideoWriter::fourcc('M', 'J', 'P', 'G'), 10.0, cv::Size(80, 60));
    for (int i = 0; i < 20; ++i) writer.write(cv::Mat(60, 80, CV_8UC3, cv::Scalar::all(i)));
    writer.release();
    ASSERT_EQ(Run({"protocol", "add", exp, "--name", "Open field"}).status, 0);
    ASSERT_EQ(Run({"animal", "add", exp, "--name", "M1"}).status, 0);
    ASSERT_EQ(Run({"video", "add", exp, video}).status, 0);
  }
  Result AddTest(const Args& flags) {
    Args args{"test", "add", exp, "--protocol", "1", "--video", "1", "--detection", kBase};
    args.insert(args.end(), flags.begin(), flags.end());
    return Run(args);
  }
};

// Every method from named flags: the stored text field by field, and show gives both.
TEST_F(TestVerbsCli, NamedDetectionFlagsRoundTrip) {
  const struct {
    Args flags;
    std::string stored, shown;
  } cases[] = {
      {{"--method", "auto", "--reference", "background", "--size-filter", "2,200"},
       "5|0|0|255|90|127|50|0|179|0|255|0|255|20|-1||0|1|0|2|2|200|1",
       "\"reference\": \"background\", \"size_filter\": [2, 200]"},
      {{"--method", "grey", "--grey", "10,60", "--size-filter", "none"},
       "5|1|10|60|90|127|50|0|179|0|255|0|255|20|-1||0|1|0|0|10|30|1", "\"grey\": [10, 60]"},
      {{"--method", "colour", "--hue", "20", "--saturation", "200", "--tolerance", "30"},
       "5|2|0|255|20|200|30|0|179|0|255|0|255|20|-1||0|1|0|1|10|30|1",
       "\"hue\": 20, \"saturation\": 200, \"tolerance\": 30"},
      {{"--method", "colour-full", "--hue-band", "170,10", "--saturation-band", "40,200",
        "--value-band", "0,80"},
       "5|3|0|255|90|127|50|170|10|40|200|0|80|20|-1||0|1|0|1|10|30|1",
       "\"hue_band\": [170, 10], \"saturation_band\": [40, 200], \"value_band\": [0, 80]"},
      {{"--method", "subtract", "--threshold", "auto", "--reference", "3"},
       "5|4|0|255|90|127|50|0|179|0|255|0|255|20|3||0|1|1|1|10|30|0",
       "\"threshold\": \"auto\", \"channel\": \"all\", \"reference\": 3"},
      {{"--method", "subtract-advanced", "--threshold", "35", "--channel", "red", "--reference",
        "recipe:10;250,40,30,60,50;"},
       "5|5|0|255|90|127|50|0|179|0|255|0|255|35|0|10;250,40,30,60,50;|0|2|0|1|10|30|0",
       "\"threshold\": 35, \"channel\": \"red\", \"reference\": \"recipe:10;250,40,30,60,50;\""},
  };
  int id = 0;
  for (const auto& c : cases) {
    const Result added = AddTest(c.flags);
    ASSERT_EQ(added.status, 0) << added.err;
    ++id;
    EXPECT_EQ(QueryValue(exp, "select ParamsDetection from Tests where Id=" + std::to_string(id)), c.stored);
    const Result show = Run({"test", "show", exp, std::to_string(id), "--json"});
    ASSERT_EQ(show.status, 0) << show.err;
    EXPECT_NE(show.out.find(c.shown), std::string::npos) << show.out;
    EXPECT_NE(show.out.find("\"text\": \"" + c.stored + "\"}"), std::string::npos) << show.out;
    // The readable form ends with the stored text.
    const Result text = Run({"test", "show", exp, std::to_string(id)});
    EXPECT_NE(text.out.find("  text: " + c.stored + "\n"), std::string::npos) << text.out;
  }
}

TEST_F(TestVerbsCli, BadDetectionValuesExitTwoAndWriteNothing) {
  ASSERT_EQ(AddTest({}).status, 0);
  const std::string before = ReadFileBytes(exp);
  const Args bad[] = {
      {"--detection", "garbage"},  {"--detection", "5|1|0|90|"}, {"--detection", ""},
      {"--hue", "180"},            {"--hue", "nan"},             {"--grey", "90,10"},
      {"--grey", "0,inf"},         {"--method", "Automatic"},    {"--threshold", "-1"},
      {"--size-filter", "5,1e400"}, {"--reference", "recipe:x"}, {"--channel", "rgb"},
      {"--method", "subtract"},  // no reference image: every frame would differ from nothing
  };
  for (const Args& flags : bad) {
    const Result added = AddTest(flags);
    EXPECT_EQ(added.status, 2) << flags[0] << " " << flags[1];
    EXPECT_NE(added.err.find(flags[0]), std::string::npos) << added.err;
    Args set{"test", "set", exp, "1"};
    set.insert(set.end(), flags.begin(), flags.end());
    EXPECT_EQ(Run(set).status, 2) << flags[0] << " " << flags[1];
  }
  EXPECT_EQ(Run({"test", "set", exp, "1"}).status, 2);  // nothing to change
  EXPECT_EQ(ReadFileBytes(exp), before);
}

TEST_F(TestVerbsCli, SetAndDeleteDropWhatTheyInvalidate) {
  ASSERT_EQ(AddTest({}).status, 0);
  ASSERT_EQ(AddTest({}).status, 0);
  // An analysis of test 1 over the 20 frames, the animal in 15, times from the frame rate.
  ExecuteSql(exp, "update Tests set DateAnalyse=5, Distance=1234.5, Duration=2, InfosAnalyse="
                  "'5|0|0|1900|19|-1|20|0|-1|0|0|15|1900|1|0|0|19|0|0|0' where Id=1;"
                  "insert into TestsPoints (Id, HeadDetection) values (1, 0), (2, 0);"
                  "insert into Results (Name, Config, IdProtocol) values ('R', '', 1);"
                  "insert into ReportsData (IdReport, IdTest, Data) values (1, 1, x'00'), (1, 2, x'00')");
  const Result show = Run({"test", "show", exp, "1", "--json"});
  EXPECT_NE(show.out.find("\"analysis\": {\"frames\": 20, \"video_frames\": 20, "
                          "\"frames_with_animal\": 15, \"detection_rate\": 75, \"timing\": \"Fps\""),
            std::string::npos)
      << show.out;
  EXPECT_NE(show.out.find("\"summary\": {\"duration\": 2, \"distance\": 1234.500"), std::string::npos);
  EXPECT_NE(Run({"test", "show", exp, "1"}).out.find("  Distance: 1234.500 mm\n"), std::string::npos);
  ExecuteSql(exp, "update Tests set Duration=80, Inactive=20 where Id=1");  // activity shares
  EXPECT_NE(Run({"test", "show", exp, "1", "--json"})
                .out.find("\"inactive\": 20, \"active\": 60, \"active_percent\": 75.00, "
                          "\"inactive_percent\": 25.00"),
            std::string::npos);

  // New settings keep the analysis and its cache (they act through a new analysis), and say so.
  const Result retuned = Run({"test", "set", exp, "1", "--method", "grey", "--title", "T1"});
  ASSERT_EQ(retuned.status, 0) << retuned.err;
  EXPECT_NE(retuned.err.find("velantrix analyze"), std::string::npos);
  EXPECT_EQ(QueryValue(exp, "select Title || ' ' || substr(ParamsDetection, 1, 4) from Tests where Id=1"), "T1 5|1|");
  EXPECT_EQ(QueryValue(exp, "select count(*) from ReportsData where IdTest=1"), "1");
  // Leaving a test out of the results drops its cached results.
  ASSERT_EQ(Run({"test", "set", exp, "1", "--exclude"}).status, 0);
  EXPECT_EQ(QueryValue(exp, "select Status from Tests where Id=1"), "1");
  EXPECT_EQ(QueryValue(exp, "select count(*) from ReportsData where IdTest=1"), "0");
  EXPECT_EQ(Run({"test", "set", exp, "1", "--animal", "9"}).status, 1);

  // An unknown id among those to delete deletes nothing.
  const std::string before = ReadFileBytes(exp);
  EXPECT_EQ(Run({"test", "delete", exp, "2", "99"}).status, 1);
  EXPECT_EQ(ReadFileBytes(exp), before);
  ASSERT_EQ(Run({"test", "delete", exp, "2"}).status, 0);
  EXPECT_EQ(QueryValue(exp, "select (select count(*) from Tests where Id=2) + (select count(*) from "
                            "TestsPoints where Id=2) + (select count(*) from ReportsData where IdTest=2)"),
            "0");
  EXPECT_EQ(Run({"test", "show", exp, "2"}).status, 1);
}

}  // namespace
