// What the upgrade carries over from old files: points of the per-test tables, the rebuilt
// tests, chart settings, the animal-size setting, the videos kept beside the tests.
#include <gtest/gtest.h>

#include <filesystem>

#include "db/experiment.h"
#include "db/experiment_db.h"
#include "db/test_analysis_store.h"
#include "db/test_store.h"
#include "db/upgrade.h"
#include "db/upgrade_steps.h"
#include "support/data_table.h"
#include "support/experiment_fixture.h"
#include "support/schema_history.h"

namespace {

using vx::testing::CreateFileAtVersion;
using vx::testing::ExecuteSql;
using vx::testing::QueryRows;
using vx::testing::QueryValue;
using Rows = std::vector<std::vector<std::string>>;

class UpgradeData : public ::testing::Test {
 protected:
  std::string OldFile(int version, const std::string& sql) {
    const std::string path = dir.File("v" + std::to_string(version) + ".vxdb");
    EXPECT_TRUE(CreateFileAtVersion(path, version));
    if (!sql.empty()) ExecuteSql(path, sql);
    return path;
  }
  void Upgrade(const std::string& path) {
    file.path = path;
    file.services = services.Bundle();
    SQLite::Database db;
    ASSERT_TRUE(vx::OpenExperimentDb(db, file, {.checkType = true}));
    ASSERT_TRUE(vx::UpgradeExperimentDb(db, file));
    ASSERT_EQ(db.lastError(), 0) << db.ErrorText();
    ASSERT_EQ(QueryValue(path, "select Value from Infos where Name='VersionDB'"), "24");
  }
  int FreePages(const std::string& path) {
    return std::stoi(QueryValue(path, "PRAGMA freelist_count"));
  }
  // Leaves free pages in a file (a table filled and dropped).
  void LeaveFreePages(const std::string& path) {
    ExecuteSql(path, "create table Scratch(B blob);"
                     "insert into Scratch values (zeroblob(200000));"
                     "drop table Scratch;");
    ASSERT_GT(FreePages(path), 10);
  }

  vx::testing::TempDir dir;
  vx::testing::TestServices services;
  vx::ExperimentFile file;
};

constexpr const char* kOldTable =
    "create table Test_%d(NumFrame integer, MilliSec integer, ImgX integer, ImgY integer, "
    "BlobLeft integer, BlobTop integer, BlobRight integer, BlobBottom integer, Contour text);";

std::string OldTable(int id) {
  std::string sql = kOldTable;
  return sql.replace(sql.find("%d"), 2, std::to_string(id));
}

TEST_F(UpgradeData, PerTestTablesBecomePointsBlobs) {
  const std::string path = OldFile(
      0, "insert into Protocols(Name) values ('Proto');"
         "insert into Tests(Id, Title, Source) values (1, 'Essai d''été', 'cam'), (2, 'T2', '');" +
             OldTable(1) +
             // Frame 9 is stored first: the points follow the frame order.
             "insert into Test_1 values (9, 360, 12, 22, 10, 20, 15, 26, '10,20 15,26 12');"
             "insert into Test_1 values (5, 200, 10, 20, 8, 17, 13, 24, '8,17;13,24');" +
             OldTable(7) + "insert into Test_7 values (1, 0, 1, 1, 0, 0, 2, 2, '');");
  Upgrade(path);
  // Frame 5: 05 0A 14 02 03 03 04 | 2 outline points (0,0) (5,7); frame 9: step 4, centre
  // (12,22), box distances 2 2 3 4, outline (0,0) (5,6) with the odd number dropped.
  EXPECT_EQ(QueryRows(path, "select Id, hex(PointsAnalyse) from TestsPoints order by Id"),
            (Rows{{"1", "050A14020303040200000507040C16020203040200000506"},
                  {"2", ""}}));
  // A per-test table is read for the tests that exist; one without its test stays as it was.
  EXPECT_EQ(QueryValue(path, "select group_concat(name) from sqlite_master where name like "
                             "'Test\\_%' escape '\\'"),
            "Test_7");
  EXPECT_EQ(QueryValue(path, "select Title from Tests where Id=1"), "Essai d'été");
  EXPECT_EQ(QueryRows(path, "select Name, IdProtocol, Config from Results"),
            (Rows{{"Speed by Time period", "1", "5|0|0||0|-1|0|1|1|-2|0|0|"}}));
  EXPECT_EQ(QueryValue(path, "select InactivityUnit from Protocols"), "1");
}

TEST_F(UpgradeData, TestsRebuildKeepsRowsAndMovesBlobs) {
  const std::string path = OldFile(
      5,
      "insert into Protocols(Id, Name, Diagram) values (1, 'P', "
      "'uml_startstop,0,0,10,10;uml_event,5,5,20,20,1|1|-1|0|1|0|-1|0|;"
      "uml_action,9,9,20,20,2|0|0|877677894|1|-1|1|;uml_line,1,2');"
      "insert into Tests(Id, Title, Comment, IdAnimal, DateAcq, DateAnalyse, IdProtocol, Source, "
      "Scale, Distance, AverageSpeed, MaxSpeed, AverageAccel, MaxAccel, Color, InfosAnalyse, "
      "ListePoints, PointsAnalyse, Duration) values "
      "(3, 'T''3', 'c', 2, 1000, 2000, 1, 'cam', 0.5, 100.25, 10, 20, 0.5, 2, 255, '5|1|', "
      "x'0102', x'0A0B', 60), (8, 'T8', '', 1, 0, 0, 1, '', 0, 0, 0, 0, 0, 0, -1, '', NULL, "
      "NULL, 0);");
  LeaveFreePages(path);
  Upgrade(path);
  EXPECT_EQ(QueryRows(path, "select Id, Title, Comment, IdAnimal, DateAcq, DateAnalyse, Source, "
                            "Scale, Distance, MaxAccel, Color, InfosAnalyse, Duration, "
                            "ForecastDateAcq, MaxRawSpeed, Inactive from Tests order by Id"),
            (Rows{{"3", "T'3", "c", "2", "1000", "2000", "-1", "0.5", "100.25", "2.0", "255",
                   "5|1|", "60", "0", "0.0", "0"},
                  {"8", "T8", "", "1", "0", "0", "-1", "0.0", "0.0", "0.0", "-1", "", "0", "0",
                   "0.0", "0"}}));
  EXPECT_EQ(QueryRows(path, "select Id, hex(ListePoints), hex(PointsAnalyse), HeadDetection, "
                            "Behaviors is NULL from TestsPoints order by Id"),
            (Rows{{"3", "0102", "0A0B", "0", "1"}, {"8", "", "", "0", "1"}}));
  EXPECT_EQ(QueryValue(path, "select Diagram from Protocols"),
            "uml_startstop,0,0,10,10;uml_event,5,5,20,20,0|1|1|-1|0|1|0|-1|0|;"
            "uml_action,9,9,20,20,0|2|0|0|877677894|1|-1|1|;uml_line,1,2");
  EXPECT_EQ(FreePages(path), 0);  // compacted
  // The record code reads the upgraded file.
  vx::Experiment experiment;
  experiment.file = file;
  ASSERT_TRUE(experiment.LoadAll());
  ASSERT_EQ(experiment.tests.size(), 2u);
  EXPECT_EQ(experiment.tests.at(3).title, "T'3");
  EXPECT_TRUE(experiment.tests.at(3).IsAnalysed());
}

TEST_F(UpgradeData, VersionSixNeitherRebuildsNorCompacts) {
  const std::string path =
      OldFile(6, "insert into Tests(Id, Title) values (4, 'kept');"
                 "insert into TestsPoints(Id, PointsAnalyse) values (4, x'05');"
                 "insert into Results(Id, IdProtocol, Name, ShowCurve) values "
                 "(1, 1, 'r0', 0), (2, 1, 'r1', 1), (3, 1, 'r2', 2), (4, 1, 'r3', 3), "
                 "(5, 1, 'r4', 4);");
  LeaveFreePages(path);
  Upgrade(path);
  EXPECT_GT(FreePages(path), 10);  // not compacted (new columns may reuse a few free pages)
  EXPECT_EQ(QueryValue(path, "select count(*) from sqlite_master where name='TestsOld'"), "0");
  EXPECT_EQ(QueryValue(path, "select hex(PointsAnalyse) from TestsPoints where Id=4"), "05");
  EXPECT_EQ(QueryRows(path, "select Name, Chart, ShowCurve from Results order by Id"),
            (Rows{{"r0", "0|0|1|0|1|0", "0"},
                  {"r1", "0|0|1|0|1|0", "1"},
                  {"r2", "0|1|1|0|1|0", "1"},
                  {"r3", "0|0|1|0|1|0", "2"},
                  {"r4", "0|1|1|0|1|0", "2"}}));
}

TEST_F(UpgradeData, AnimalSizeSettingFromTheAnimals) {
  const auto rows = vx::testing::ReadDataTable("animal_size_upgrades.tsv");
  ASSERT_FALSE(rows.empty());
  int index = 0;
  for (const auto& row : rows) {
    const std::string path = dir.File("a" + std::to_string(index++) + ".vxdb");
    ASSERT_TRUE(CreateFileAtVersion(path, std::stoi(row[0])));
    if (!row[1].empty()) ExecuteSql(path, "update Infos set Value='" + row[1] + "' where Name='Animals'");
    if (!row[2].empty()) ExecuteSql(path, "insert into Animals" + row[2]);
    Upgrade(path);
    EXPECT_EQ(QueryValue(path, "select group_concat(Value) from Infos where Name='Animals'"), row[3])
        << row[0] << " " << row[2];
  }
}

TEST_F(UpgradeData, VideosKeptBesideTestsBecomeVideoRows) {
  const std::string path =
      OldFile(12, "insert into Tests(Id, Title, Source, VideoFileVersion, DateAcq) values "
                  "(1, 'a', 'Caméra 1', 0, 1700000000), (2, 'b', 'cam', 3, 5), "
                  "(3, 'c', 'gone', 0, 0), (4, 'd', '', 0, 0);"
                  "insert into TestsPoints(Id, ListePoints) values (1, x'0A28'), (2, NULL), "
                  "(3, x'01'), (4, NULL);");
  const std::string folder = dir.File("v12_files");
  std::filesystem::create_directories(folder);
  for (const char* name : {"Test_1.vxf", "Test_2_3.vxf", "Test_4.vxf"}) {
    vx::testing::WriteFileBytes(folder + "/" + name, "not really a video");
  }
  std::vector<std::string> probed;
  file.videoProbe = [&](const std::string& video, vx::VideoFileFacts& facts,
                       const vx::VideoProbeProgress&) {
    probed.push_back(video);
    facts = {250, 10000, 640, 480};
    return video.find("Test_2_3") == std::string::npos;  // this one cannot be read
  };
  Upgrade(path);
  EXPECT_EQ(probed, (std::vector<std::string>{folder + "/Test_1.vxf", folder + "/Test_2_3.vxf"}));
  EXPECT_EQ(QueryRows(path, "select Id, Name, Notes, File, IdProtocol, Status, DateAcq, NbFrames, "
                            "Duration, Width, Height, hex(ListePoints), Infos from Videos order "
                            "by Id"),
            (Rows{{"1", "Caméra 1", "", "Test_1.vxf", "-1", "0", "1700000000", "250", "10000",
                   "640", "480", "0A28", ""},
                  {"2", "cam", "", "Test_2_3.vxf", "-1", "0", "5", "0", "0", "0", "0", "", ""}}));
  EXPECT_EQ(QueryRows(path, "select t.Id, t.Source, hex(p.ListePoints) from Tests t join "
                            "TestsPoints p on p.Id=t.Id order by t.Id"),
            (Rows{{"1", "1", ""}, {"2", "2", ""}, {"3", "-1", "01"}, {"4", "-1", ""}}));
  vx::Experiment experiment;
  experiment.file = file;
  ASSERT_TRUE(experiment.LoadAll());
  EXPECT_EQ(experiment.videos.at(1).testIds, std::vector<int>{1});
  EXPECT_EQ(experiment.tests.at(3).source, -1);
}

TEST_F(UpgradeData, NameTestAutoMovesIntoEveryProtocol) {
  const std::string path =
      OldFile(21, "insert into Protocols(Name) values ('a'), ('b');"
                  "insert into Infos(Name, Value) values ('NameTestAuto', 'Rat ''%d''');");
  Upgrade(path);
  EXPECT_EQ(QueryValue(path, "select group_concat(NameTestAuto, ';') from Protocols"),
            "Rat '%d';Rat '%d'");
  const std::string empty = OldFile(20, "insert into Protocols(Name) values ('a');"
                                        "insert into Infos(Name, Value) values "
                                        "('NameTestAuto', '');");
  Upgrade(empty);
  EXPECT_EQ(QueryValue(empty, "select NameTestAuto from Protocols"), "");
}

TEST(DiagramRewrite, OnlyOldEventAndActionDefinitionsChange) {
  using vx::upgrade::RewriteDiagramText;
  EXPECT_EQ(RewriteDiagramText(""), "");
  EXPECT_EQ(RewriteDiagramText("uml_event,1,2,3|4|"), "uml_event,1,2,0|3|4|");
  EXPECT_EQ(RewriteDiagramText("uml_event,1,0|3|"), "uml_event,1,0|3|");  // already new
  EXPECT_EQ(RewriteDiagramText("uml_eventnocomma;uml_line,3|4;"),
            "uml_eventnocomma;uml_line,3|4;");
  EXPECT_EQ(RewriteDiagramText("\numl_action,1,5|1|;x"), "\numl_action,1,0|5|1|;x");
}

}  // namespace
