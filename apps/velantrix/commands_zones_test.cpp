// The zone, ruler and reference-image verbs, run in-process; results checked with plain SQL
// on the experiment file and with OpenCV on the images written.
#include <gtest/gtest.h>
#include <opencv2/imgcodecs.hpp>
#include <opencv2/imgproc.hpp>

#include <sstream>

#include "base/text.h"
#include "cli.h"
#include "db/experiment.h"
#include "db/protocol_store.h"
#include "support/fakes.h"
#include "support/temp_dir.h"

namespace {

using vx::testing::TempDir;

class ZoneCommands : public ::testing::Test {
 protected:
  void SetUp() override {
    exp = dir.File("e.vxdb");
    ASSERT_EQ(Run({"new", exp}), 0);
    vx::Experiment experiment;
    experiment.file.path = exp;
    experiment.file.services = services.Bundle();
    vx::CProtocol protocol;
    protocol.name = "Open field";
    protocol.width = 640;
    protocol.height = 480;
    ASSERT_TRUE(vx::SaveProtocol(experiment, protocol, false));
    protocolId = std::to_string(protocol.id);
  }
  int Run(std::vector<std::string> args, std::string input = "", bool terminal = false) {
    std::istringstream in(input);
    out.str("");
    err.str("");
    vx::cli::Io io{in, out, err, terminal, false, dir.File("settings.ini")};
    return vx::cli::RunCli(args, io);
  }
  // Adds a zone; returns its id as printed (empty on failure).
  std::string Add(std::vector<std::string> args) {
    std::vector<std::string> all{"zone", "add", exp, "--protocol", protocolId};
    all.insert(all.end(), args.begin(), args.end());
    return Run(all) == 0 ? vx::Trim(out.str()) : std::string();
  }
  SQLite::TablePtr Query(const std::string& sql) {
    SQLite::Database db;
    db.OpenReadOnly(exp);
    auto table = db.GetTable(sql);
    if (table) table->MoveFirst();
    return table;
  }
  int Count(const std::string& sql) { return Query(sql)->FirstColumnAsInt(); }

  TempDir dir;
  vx::testing::TestServices services;
  std::string exp;
  std::string protocolId;
  std::ostringstream out, err;
};

TEST_F(ZoneCommands, AddStoresTheZoneRowsAndPrintsTheId) {
  EXPECT_EQ(Add({"--type", "ellipse", "--points", "20;10;620;470", "--arena"}), "2");  // 1 is the ruler
  EXPECT_EQ(Add({"--type", "rect", "--points", "-30;5;-10;20", "--name", "It's a \"corner\""}), "3");
  EXPECT_EQ(Add({"--type", "polygon", "--points", "0;0;0;0|3|400;300|500;310|450;420|", "--detect", "body",
                 "--entry", "80", "--exit", "40", "--movable"}), "4");
  auto ruler = Query("select Name, TypeRect, Points from Zones where Id=1");
  EXPECT_EQ(ruler->GetText("Name"), "Ruler line");
  EXPECT_EQ(ruler->GetText("Points"), "10;470;320;470");
  auto arena = Query("select Name, bArena, TypeRect, Points, DetectInZone from Zones where Id=2");
  EXPECT_EQ(arena->GetText("Name"), "Arena");
  EXPECT_EQ(arena->GetInt("bArena"), 1);
  EXPECT_EQ(arena->GetInt("TypeRect"), 2);
  auto corner = Query("select Name, Points from Zones where Id=3");
  EXPECT_EQ(corner->GetText("Name"), "It's a \"corner\"");
  EXPECT_EQ(corner->GetText("Points"), "0;5;20;20");  // brought back onto the image
  auto poly = Query("select bPoly, TypeRect, Points, DetectInZone, PercentEntry, PercentExit, bMovable from Zones where Id=4");
  EXPECT_EQ(poly->GetInt("bPoly"), 1);
  EXPECT_EQ(poly->GetInt("TypeRect"), 6);
  EXPECT_EQ(poly->GetText("Points"), "400;300;500;420|3|400;300|500;310|450;420|");
  EXPECT_EQ(poly->GetInt("DetectInZone"), 2);
  EXPECT_EQ(poly->GetInt("PercentEntry"), 80);
  EXPECT_EQ(poly->GetInt("bMovable"), 1);
  EXPECT_EQ(Count("select count(*) from Zones where Ordre<>0 or CountEntryIfInZoneAtStart<>0"), 0);
  EXPECT_EQ(Count("select MaxIdZone from Protocols where Id=" + protocolId), 4);
  EXPECT_EQ(Query("select SecArenas from Protocols")->GetText("SecArenas"), "2|Main arena|0");
}

TEST_F(ZoneCommands, BadGeometryIsRefusedAndTheFileKept) {
  Add({"--type", "rect", "--points", "1;1;50;50"});
  const std::string before = vx::testing::ReadFileBytes(exp);
  const std::vector<std::vector<std::string>> bad = {
      {"--type", "rect", "--points", "1;2;3"},
      {"--type", "rect", "--points", "a;b;c;d"},
      {"--type", "ellipse", "--points", "1;2;3;99999999999"},
      {"--type", "polygon", "--points", "0;0;9;9|2|0;0|9;9|"},
      {"--type", "polygon", "--points", "0;0;9;9|0|"},
      {"--type", "combined", "--points", "0;0;1;77;"},
      {"--type", "combined", "--points", "0;1;2;2;-99;"},
      {"--type", "combined", "--points", "0;0;0;"},
      {"--type", "line", "--points", "1;1;5;5", "--arena"},
  };
  for (const auto& args : bad) {
    std::vector<std::string> command = {"zone", "add", exp, "--protocol", protocolId};
    command.insert(command.end(), args.begin(), args.end());
    EXPECT_EQ(Run(command), 2) << args[3];  // malformed geometry is bad usage
    EXPECT_NE(err.str().find("velantrix: "), std::string::npos);
    EXPECT_EQ(vx::testing::ReadFileBytes(exp), before) << args[3];
  }
  EXPECT_EQ(Run({"zone", "add", exp, "--protocol", protocolId, "--type", "star", "--points", "1;1;2;2"}), 2);
  EXPECT_EQ(Run({"zone", "add", exp, "--protocol", protocolId, "--type", "rect", "--points", "1;1;2;2", "--entry", "101"}), 2);
  EXPECT_EQ(Run({"zone", "add", exp, "--protocol", "99", "--type", "rect", "--points", "1;1;2;2"}), 1);
  EXPECT_NE(err.str().find("no protocol 99"), std::string::npos);
  EXPECT_EQ(vx::testing::ReadFileBytes(exp), before);
}

TEST_F(ZoneCommands, HeadRuleNeedsConfirmationToSwitchHeadDetectionOn) {
  EXPECT_EQ(Run({"zone", "add", exp, "--protocol", protocolId, "--type", "rect", "--points", "1;1;50;50", "--detect", "head"}), 3);
  EXPECT_EQ(Count("select count(*) from Zones"), 0);
  EXPECT_EQ(Run({"zone", "add", exp, "--protocol", protocolId, "--type", "rect", "--points", "1;1;50;50", "--detect", "head"}, "n\n", true), 1);
  EXPECT_EQ(Run({"--yes", "zone", "add", exp, "--protocol", protocolId, "--type", "rect", "--points", "1;1;50;50", "--detect", "head"}), 0);
  EXPECT_EQ(Count("select HeadDetection from Protocols"), 1);
  EXPECT_EQ(Count("select DetectInZone from Zones where Id=2"), 1);
}

TEST_F(ZoneCommands, RulerSetStoresTheCalibration) {
  EXPECT_EQ(Run({"ruler", "set", exp, "--protocol", protocolId, "--points", "10;470;320;470", "--length", "50", "--unit", "cm"}), 0);
  EXPECT_EQ(vx::Trim(out.str()), "1.612903 mm/pixel");
  auto row = Query("select RulerLength, RulerUnit from Protocols");
  EXPECT_EQ(row->GetInt("RulerLength"), 50);
  EXPECT_EQ(row->GetInt("RulerUnit"), 0);
  const std::string before = vx::testing::ReadFileBytes(exp);
  EXPECT_EQ(Run({"ruler", "set", exp, "--protocol", protocolId, "--points", "10;470;320;470", "--length", "0", "--unit", "cm"}), 2);
  EXPECT_NE(err.str().find("You must specify the size of the \"ruler line\"."), std::string::npos);
  EXPECT_EQ(Run({"ruler", "set", exp, "--protocol", protocolId, "--points", "5;5;5;5", "--length", "10", "--unit", "cm"}), 2);
  EXPECT_NE(err.str().find("same place"), std::string::npos);
  EXPECT_EQ(Run({"ruler", "set", exp, "--protocol", protocolId, "--points", "5;5", "--length", "10", "--unit", "cm"}), 2);
  EXPECT_EQ(vx::testing::ReadFileBytes(exp), before);
}

TEST_F(ZoneCommands, ListShowsAreasInPixelsAndSquareMillimetres) {
  Add({"--type", "rect", "--points", "10;10;19;29", "--name", "a,b"});
  ASSERT_EQ(Run({"zone", "list", exp, "--protocol", protocolId, "--csv"}), 0);
  std::istringstream lines(out.str());
  std::string header, ruler, zone;
  std::getline(lines, header);
  std::getline(lines, ruler);
  std::getline(lines, zone);
  EXPECT_EQ(header, "id,name,kind,left,top,right,bottom,arena,detect,entry,exit,hidden,hidden_distance,hidden_unit,movable,area_px,area_mm2,geometry,points");
  // No mm² without a ruler: blank.
  EXPECT_EQ(zone, "2,\"a,b\",rect,10,10,19,29,false,centre,70,50,false,5,cm,false,200,,\"rect 10,10,19,29\",10;10;19;29");
  Run({"ruler", "set", exp, "--protocol", protocolId, "--points", "0;0;0;100", "--length", "5", "--unit", "cm"});
  ASSERT_EQ(Run({"zone", "list", exp, "--protocol", protocolId, "--json"}), 0);
  EXPECT_NE(out.str().find("\"area_px\": 200, \"area_mm2\": 50.000"), std::string::npos) << out.str();
}

TEST_F(ZoneCommands, MaskOfTheArenaAndOfOneZone) {
  Add({"--type", "ellipse", "--points", "100;50;300;250", "--arena"});
  const std::string shelter = Add({"--type", "rect", "--points", "120;60;139;89", "--hidden", "1"});
  const std::string png = dir.File("mask.png");
  ASSERT_EQ(Run({"zone", "mask", exp, "--protocol", protocolId, "--out", png}), 0);
  cv::Mat mask = cv::imread(png, cv::IMREAD_GRAYSCALE);
  ASSERT_EQ(mask.size(), cv::Size(200, 200));
  cv::Mat expected = cv::Mat::zeros(200, 200, CV_8UC1);
  cv::ellipse(expected, cv::RotatedRect({100, 100}, {200, 200}, 0), 255, cv::FILLED);
  cv::rectangle(expected, cv::Point(20, 10), cv::Point(39, 39), 0, cv::FILLED);
  EXPECT_EQ(cv::countNonZero(mask != expected), 0);
  ASSERT_EQ(Run({"zone", "mask", exp, "--protocol", protocolId, "--zone", shelter, "--out", png}), 0);
  mask = cv::imread(png, cv::IMREAD_GRAYSCALE);
  EXPECT_EQ(mask.size(), cv::Size(640, 480));
  EXPECT_EQ(cv::countNonZero(mask), 20 * 30);
  EXPECT_EQ(Run({"zone", "mask", exp, "--protocol", protocolId, "--zone", "42", "--out", png}), 1);
  EXPECT_EQ(Run({"zone", "mask", exp, "--protocol", protocolId, "--out", dir.File("no/such/dir/m.png")}), 1);
}

TEST_F(ZoneCommands, NonExperimentFilesAreLeftAlone) {
  const std::string other = dir.File("notes.vxdb");
  vx::testing::WriteFileBytes(other, "not a database");
  EXPECT_EQ(Run({"zone", "add", other, "--protocol", "1", "--type", "rect", "--points", "1;1;2;2"}), 1);
  EXPECT_EQ(vx::testing::ReadFileBytes(other), "not a database");
  EXPECT_EQ(Run({"zone", "list", dir.File("missing.vxdb"), "--protocol", "1"}), 1);
  EXPECT_NE(err.str().find("does not exist"), std::string::npos);
  EXPECT_EQ(Run({"refimage", "list", other}), 1);
}

TEST_F(ZoneCommands, ReferenceImagesAddListExport) {
  cv::Mat colour(48, 64, CV_8UC3);
  cv::randu(colour, 0, 255);
  cv::GaussianBlur(colour, colour, {9, 9}, 3);
  const std::string png = dir.File("background.png");
  cv::imwrite(png, colour);
  ASSERT_EQ(Run({"refimage", "add", exp, png, "--name", "Day 1"}), 0);
  const std::string colourId = vx::Trim(out.str());
  ASSERT_EQ(Run({"refimage", "add", exp, png, "--gray"}), 0);
  const std::string greyId = vx::Trim(out.str());
  EXPECT_EQ(Count("select Gray from ImgRef where Id=" + greyId), 1);
  EXPECT_EQ(Query("select Name from ImgRef where Id=" + greyId)->GetText("Name"), "background.png");
  ASSERT_EQ(Run({"refimage", "list", exp, "--json"}), 0);
  EXPECT_NE(out.str().find("\"name\": \"Day 1\", \"gray\": false, \"width\": 64, \"height\": 48"), std::string::npos) << out.str();
  const std::string exported = dir.File("out.png");
  ASSERT_EQ(Run({"refimage", "export", exp, colourId, "--out", exported}), 0);
  const cv::Mat back = cv::imread(exported, cv::IMREAD_UNCHANGED);
  ASSERT_EQ(back.type(), CV_8UC3);
  EXPECT_LT(cv::norm(back, colour, cv::NORM_L1) / static_cast<double>(colour.total() * 3), 4.0);
  EXPECT_EQ(Run({"refimage", "add", exp, dir.File("missing.png")}), 1);
  EXPECT_EQ(Run({"refimage", "export", exp, "77", "--out", exported}), 1);
  // A damaged blob reads as no image: a clear failure, nothing written.
  {
    SQLite::Database db;
    db.Open(exp);
    const uint8_t junk[] = {0xFF, 0xD8, 0xFF, 1, 2, 3};
    db.WriteBlob("update ImgRef set Img=? where Id=" + colourId, junk, sizeof junk);
  }
  std::remove(exported.c_str());
  EXPECT_EQ(Run({"refimage", "export", exp, colourId, "--out", exported}), 1);
  EXPECT_FALSE(services.files.Exists(exported));
}

}  // namespace
