// The zone, ruler and reference-image verbs, run in-process; results checked with plain SQL
// on the experiment file and with OpenCV on the images written.
#include <gtest/gtest.h>
#include <opencv2/imgcodecs.hpp>
#include <opencv2/imgproc.hpp>

#include <fstream>

#include "base/text.h"
#include "support/cli_experiment.h"

namespace {

using vx::testing::QueryRows;
using Rows = std::vector<std::vector<std::string>>;

class ZoneCommands : public vx::cli::testing::CliExperiment {
 protected:
  void SetUp() override {
    CliExperiment::SetUp();
    ASSERT_EQ(Run({"protocol", "add", exp, "--name", "Open field", "--size", "640x480"}).out, "1\n");
  }
  // Adds a zone; returns its id as printed (empty on failure).
  std::string Add(std::vector<std::string> args) {
    args.insert(args.begin(), {"zone", "add", exp, "--protocol", protocolId});
    const auto run = Run(args);
    return run.status == 0 ? vx::Trim(run.out) : std::string();
  }
  int Count(const std::string& sql) { return std::stoi(Sql(sql)); }

  std::string protocolId = "1";
};

TEST_F(ZoneCommands, AddStoresTheZoneRowsAndPrintsTheId) {
  EXPECT_EQ(Add({"--type", "ellipse", "--points", "20;10;620;470", "--arena"}), "2");  // 1 is the ruler
  EXPECT_EQ(Add({"--type", "rect", "--points", "-30;5;-10;20", "--name", "It's a \"corner\""}), "3");
  EXPECT_EQ(Add({"--type", "polygon", "--points", "0;0;0;0|3|400;300|500;310|450;420|", "--detect", "body",
                 "--entry", "80", "--exit", "40", "--movable"}), "4");
  // The corner is brought back onto the image; the polygon's box is computed.
  EXPECT_EQ(QueryRows(exp, "select Name, bArena, bPoly, TypeRect, Points, DetectInZone, PercentEntry, bMovable "
                           "from Zones order by Id"),
            (Rows{{"Ruler line", "0", "0", "4", "10;470;320;470", "0", "70", "0"},
                  {"Arena", "1", "0", "2", "20;10;620;470", "0", "70", "0"},
                  {"It's a \"corner\"", "0", "0", "0", "0;5;20;20", "0", "70", "0"},
                  {"Polygon", "0", "1", "6", "400;300;500;420|3|400;300|500;310|450;420|", "2", "80", "1"}}));
  EXPECT_EQ(Count("select count(*) from Zones where Ordre<>0 or CountEntryIfInZoneAtStart<>0"), 0);
  EXPECT_EQ(Sql("select MaxIdZone || ' ' || SecArenas from Protocols"), "4 2|Main arena|0");
}

TEST_F(ZoneCommands, BadGeometryIsRefusedAndTheFileKept) {
  Add({"--type", "rect", "--points", "1;1;50;50"});
  std::vector<vx::cli::testing::Refusal> cases;
  // Malformed geometry is bad usage.
  for (const auto& [type, points] : std::vector<std::pair<std::string, std::string>>{
           {"rect", "1;2;3"}, {"rect", "a;b;c;d"}, {"ellipse", "1;2;3;99999999999"},
           {"polygon", "0;0;9;9|2|0;0|9;9|"}, {"polygon", "0;0;9;9|0|"}, {"combined", "0;0;1;77;"},
           {"combined", "0;1;2;2;-99;"}, {"combined", "0;0;0;"}}) {
    cases.push_back({{"zone", "add", exp, "--protocol", "1", "--type", type, "--points", points}, 2, "velantrix: "});
  }
  cases.push_back({{"zone", "add", exp, "--protocol", "1", "--type", "line", "--points", "1;1;5;5", "--arena"}, 2, ""});
  cases.push_back({{"zone", "add", exp, "--protocol", "1", "--type", "star", "--points", "1;1;2;2"}, 2, "--type"});
  cases.push_back({{"zone", "add", exp, "--protocol", "1", "--type", "rect", "--points", "1;1;2;2", "--entry", "101"},
                   2, "--entry"});
  cases.push_back({{"zone", "add", exp, "--protocol", "99", "--type", "rect", "--points", "1;1;2;2"}, 1, "no protocol 99"});
  ExpectRefused(cases);
}

TEST_F(ZoneCommands, HeadRuleNeedsConfirmationToSwitchHeadDetectionOn) {
  const vx::cli::testing::Args add = {"zone", "add", exp, "--protocol", "1", "--type", "rect", "--points", "1;1;50;50",
                                      "--detect", "head"};
  EXPECT_EQ(Run(add).status, 3);
  EXPECT_EQ(Run(add, true, "n\n").status, 1);
  EXPECT_EQ(Count("select count(*) from Zones"), 1);  // the ruler only
  vx::cli::testing::Args yes = add;
  yes.insert(yes.begin(), "--yes");
  EXPECT_EQ(Run(yes).status, 0);
  EXPECT_EQ(Sql("select HeadDetection from Protocols") + Sql("select DetectInZone from Zones where Id=2"), "11");
}

TEST_F(ZoneCommands, RulerSetStoresTheCalibration) {
  const auto set = Run({"ruler", "set", exp, "--protocol", "1", "--points", "10;470;320;470", "--length", "50",
                        "--unit", "cm"});
  EXPECT_EQ(set.out, "1.612903 mm/pixel\n");
  EXPECT_EQ(Sql("select RulerLength || ',' || RulerUnit from Protocols"), "50,0");
  const vx::cli::testing::Args ruler = {"ruler", "set", exp, "--protocol", "1", "--unit", "cm", "--points"};
  auto with = [&ruler](std::string points, std::string length) {
    vx::cli::testing::Args args = ruler;
    args.insert(args.end(), {points, "--length", length});
    return args;
  };
  ExpectRefused({{with("10;470;320;470", "0"), 2, "You must specify the size of the \"ruler line\"."},
                 {with("5;5;5;5", "10"), 2, "same place"},
                 {with("5;5", "10"), 2, ""}});
}

TEST_F(ZoneCommands, ListShowsAreasInPixelsAndSquareMillimetres) {
  Add({"--type", "rect", "--points", "10;10;19;29", "--name", "a,b"});
  const std::vector<std::string> lines = vx::Split(Run({"zone", "list", exp, "--protocol", "1", "--csv"}).out, '\n', false);
  ASSERT_EQ(lines.size(), 3u);
  EXPECT_EQ(lines[0], "id,name,kind,left,top,right,bottom,arena,detect,entry,exit,hidden,hidden_distance,hidden_unit,"
                      "movable,area_px,area_mm2,geometry,points");
  // No mm² without a ruler: blank.
  EXPECT_EQ(lines[2], "2,\"a,b\",rect,10,10,19,29,false,centre,70,50,false,5,cm,false,200,,\"rect 10,10,19,29\","
                      "10;10;19;29");
  Run({"ruler", "set", exp, "--protocol", "1", "--points", "0;0;0;100", "--length", "5", "--unit", "cm"});
  const auto json = Run({"zone", "list", exp, "--protocol", "1", "--json"});
  EXPECT_NE(json.out.find("\"area_px\": 200, \"area_mm2\": 50.000"), std::string::npos) << json.out;
}

TEST_F(ZoneCommands, MaskOfTheArenaAndOfOneZone) {
  Add({"--type", "ellipse", "--points", "100;50;300;250", "--arena"});
  const std::string shelter = Add({"--type", "rect", "--points", "120;60;139;89", "--hidden", "1"});
  const std::string png = dir.File("mask.png");
  ASSERT_EQ(Run({"zone", "mask", exp, "--protocol", "1", "--out", png}).status, 0);
  cv::Mat mask = cv::imread(png, cv::IMREAD_GRAYSCALE);
  ASSERT_EQ(mask.size(), cv::Size(200, 200));
  cv::Mat expected = cv::Mat::zeros(200, 200, CV_8UC1);
  cv::ellipse(expected, cv::RotatedRect({100, 100}, {200, 200}, 0), 255, cv::FILLED);
  cv::rectangle(expected, cv::Point(20, 10), cv::Point(39, 39), 0, cv::FILLED);
  EXPECT_EQ(cv::countNonZero(mask != expected), 0);
  ASSERT_EQ(Run({"zone", "mask", exp, "--protocol", "1", "--zone", shelter, "--out", png}).status, 0);
  mask = cv::imread(png, cv::IMREAD_GRAYSCALE);
  EXPECT_EQ(mask.size(), cv::Size(640, 480));
  EXPECT_EQ(cv::countNonZero(mask), 20 * 30);
  ExpectRefused({{{"zone", "mask", exp, "--protocol", "1", "--zone", "42", "--out", png}, 1, "42"},
                 {{"zone", "mask", exp, "--protocol", "1", "--out", dir.File("no/such/dir/m.png")}, 1, "m.png"}});
}

TEST_F(ZoneCommands, ReferenceImagesAddListExport) {
  cv::Mat colour(48, 64, CV_8UC3);
  cv::randu(colour, 0, 255);
  cv::GaussianBlur(colour, colour, {9, 9}, 3);
  const std::string png = dir.File("background.png");
  cv::imwrite(png, colour);
  const std::string colourId = vx::Trim(Run({"refimage", "add", exp, png, "--name", "Day 1"}).out);
  const std::string greyId = vx::Trim(Run({"refimage", "add", exp, png, "--gray"}).out);
  EXPECT_EQ(Sql("select Gray || ',' || Name from ImgRef where Id=" + greyId), "1,background.png");
  const auto list = Run({"refimage", "list", exp, "--json"});
  EXPECT_NE(list.out.find("\"name\": \"Day 1\", \"gray\": false, \"width\": 64, \"height\": 48"), std::string::npos)
      << list.out;
  const std::string exported = dir.File("out.png");
  ASSERT_EQ(Run({"refimage", "export", exp, colourId, "--out", exported}).status, 0);
  const cv::Mat back = cv::imread(exported, cv::IMREAD_UNCHANGED);
  ASSERT_EQ(back.type(), CV_8UC3);
  EXPECT_LT(cv::norm(back, colour, cv::NORM_L1) / static_cast<double>(colour.total() * 3), 4.0);
  std::remove(exported.c_str());
  // A damaged blob reads as no image: a clear failure, nothing written.
  vx::testing::ExecuteSql(exp, "update ImgRef set Img=x'FFD8FF010203' where Id=" + colourId);
  ExpectRefused({{{"refimage", "add", exp, dir.File("missing.png")}, 1, "missing.png"},
                 {{"refimage", "export", exp, "77", "--out", exported}, 1, "77"},
                 {{"refimage", "export", exp, colourId, "--out", exported}, 1, ""}});
  EXPECT_FALSE(std::ifstream(exported).good());
}

}  // namespace
