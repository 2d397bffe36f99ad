// filter add, list, show, delete, report run --filter and heatmap on the report file: the
// stored rows read with plain SQL, the images read back, bad requests leaving the file alone.
#include <gtest/gtest.h>

#include <opencv2/imgcodecs.hpp>

#include "base/text.h"
#include "support/cli_experiment.h"
#include "support/report_file.h"

namespace vx {
namespace {

using CliRun = cli::testing::RunResult;

class FilterCommands : public ::testing::Test {
 protected:
  CliRun Run(const std::vector<std::string>& args) {
    return cli::testing::RunCommand(args, file.fixture.dir.File("settings.ini"));
  }
  int Add(const std::vector<std::string>& args) {
    std::vector<std::string> all{"filter", "add", file.path()};
    all.insert(all.end(), args.begin(), args.end());
    const CliRun run = Run(all);
    EXPECT_EQ(run.status, 0) << run.err;
    return run.status == 0 ? std::stoi(run.out) : -1;
  }
  testing::ReportFile file;
};

TEST_F(FilterCommands, FiltersAreStoredListedAndNarrowReports) {
  file.Sql("insert into Animals (Id, Name) values (1, 'Rat 1'), (2, 'Rat 2')");
  file.Sql("update Tests set IdAnimal = 2 where Id = 5");
  file.Sql("update Tests set Distance = 90 where Id in (3, 5, 6)");
  const int far = Add({"--protocol", "1", "--name", "Far", "--formula", "[Total dist. ( cm )] > 5"});
  const int rat = Add({"--protocol", "1", "--name", "Rat 2", "--condition", "animal=Rat 2"});
  const int picked = Add({"--protocol", "1", "--name", "Picked", "--tests", "4,5"});
  EXPECT_EQ(file.Cell(Format("select Type || '#' || Formule || '#' || IdProtocol from Filters where Id=%d", far)),
            "0#[vt:u1:7] > 5#1");
  EXPECT_EQ(file.Cell(Format("select Logic from Filters where Id=%d", rat)), "1|-1|,2,|1|-2|");
  EXPECT_EQ(file.Cell(Format("select List from Filters where Id=%d", picked)), ",4,5,");

  CliRun run = Run({"filter", "list", file.path(), "--csv"});
  EXPECT_EQ(run.out, Format("id,protocol,name,type,definition,tests,error\n"
                            "%d,1,Far,formula,[Total dist. ( cm )] > 5,3,\n"
                            "%d,1,Rat 2,condition,animal=Rat 2,1,\n%d,1,Picked,tests,\"4,5\",2,\n",
                            far, rat, picked)) << run.err;
  run = Run({"filter", "show", file.path(), std::to_string(far)});
  EXPECT_NE(run.out.find("List of selected tests ( 3 tests ) :\n  3\ttest 3\n  5\ttest 5\n  6\t"), std::string::npos)
      << run.out;

  const std::string report = std::to_string(file.AddReport("t", "5|12|0||0|0|0|0|0|-2|0|0|").id);
  run = Run({"report", "run", file.path(), report, "--filter", std::to_string(far), "--csv"});
  ASSERT_EQ(run.status, 0) << run.err;
  EXPECT_NE(run.out.find("\n3,test 3,"), std::string::npos);
  EXPECT_EQ(run.out.find("\n4,test 4,"), std::string::npos);
  const int other = Add({"--protocol", "2", "--name", "Other", "--tests", "8"});
  run = Run({"report", "run", file.path(), report, "--filter", std::to_string(other)});
  EXPECT_EQ(run.status, 2);
  EXPECT_NE(run.err.find("another protocol"), std::string::npos);

  EXPECT_EQ(Run({"filter", "delete", file.path(), std::to_string(far)}).status, 0);
  EXPECT_EQ(file.Cell(Format("select count(*) from Filters where Id=%d", far)), "0");
}

TEST_F(FilterCommands, BadFiltersAreRefusedAndLeaveTheFileAlone) {
  Add({"--protocol", "1", "--name", "Taken", "--tests", "3"});
  const std::string exp = file.path();
  cli::testing::ExpectRefused(
      [this](const auto& args) { return Run(args); }, exp,
      {{{"filter", "add", exp, "--protocol", "1", "--name", "x", "--formula", "[Total dist. ( mm )] > (1 +"}, 2,
        "Erreur dans la formule : "},
       {{"filter", "add", exp, "--protocol", "1", "--name", "x", "--formula", "[Nowhere] > 1"}, 2, "^"},
       {{"filter", "add", exp, "--protocol", "1", "--name", "taken", "--tests", "4"}, 2, "already exists"},
       {{"filter", "add", exp, "--protocol", "1", "--name", "x", "--tests", "8"}, 2, "not a test of protocol 1"},
       {{"filter", "add", exp, "--protocol", "1", "--name", "x", "--condition", "colour=red"}, 2, "no field"},
       {{"filter", "add", exp, "--protocol", "1", "--name", "x"}, 2, "--tests, --formula or --condition"},
       {{"filter", "show", exp, "77"}, 1, "There is no filter 77"},
       {{"filter", "delete", exp, "77"}, 1, "There is no filter 77"}});
}

TEST_F(FilterCommands, HeatMapsAreWrittenForATestOrAGroup) {
  const std::string heat = std::to_string(file.AddReport("heat", "5|26|0||0|20|0|0|0|0|-2|0|0|").id);
  const std::string track = std::to_string(file.AddReport("track", "5|27|0||0|0|0|0|0|0|-2|0|0|").id);
  const std::string grey = file.fixture.dir.File("heat.png"), colour = file.fixture.dir.File("colour.png");
  CliRun run = Run({"heatmap", file.path(), "4", "--report", heat, "--out", grey});
  ASSERT_EQ(run.status, 0) << run.err;
  const cv::Mat image = cv::imread(grey, cv::IMREAD_UNCHANGED);
  // The 999 x 99 arena: 400 x 39 pixels, the stay at x = 300 brightest (its peak narrowed by
  // the scaling to 0.4).
  ASSERT_EQ(image.size(), cv::Size(400, 39));
  double brightest = 0;
  cv::Point at;
  cv::minMaxLoc(image, nullptr, &brightest, nullptr, &at);
  EXPECT_GT(brightest, 150);
  EXPECT_NEAR(at.x, 300 * 400 / 999, 2);
  EXPECT_EQ(image.at<uint8_t>(at.y, 20), 0);
  run = Run({"heatmap", file.path(), "3", "--report", track, "--out", colour, "--colour"});
  ASSERT_EQ(run.status, 0) << run.err;
  EXPECT_EQ(cv::imread(colour).channels(), 3);
  const std::string picked = std::to_string(Add({"--protocol", "1", "--name", "All", "--tests", "3,4,5"}));
  run = Run({"heatmap", file.path(), "--report", heat, "--filter", picked, "--out", colour, "--colour"});
  ASSERT_EQ(run.status, 0) << run.err;
  EXPECT_NE(run.out.find("Mean heat map of 3 tests"), std::string::npos);
  for (const std::vector<std::string>& bad :
       {std::vector<std::string>{"heatmap", file.path(), "8", "--report", heat, "--out", grey},
        {"heatmap", file.path(), "--report", track, "--filter", picked, "--out", grey},
        {"heatmap", file.path(), "4", "--report", heat, "--out", file.fixture.dir.File("heat.txt")}}) {
    EXPECT_EQ(Run(bad).status, 2) << bad[3];
  }
}

}  // namespace
}  // namespace vx
