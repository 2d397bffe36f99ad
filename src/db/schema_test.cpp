// The created schema against the document's tables, written out here independently of the
// creation statements, and the identification of experiment files.
#include "db/schema.h"

#include <gtest/gtest.h>

#include <algorithm>
#include <map>

#include "base/text.h"

#include "support/experiment_fixture.h"

namespace {

using vx::testing::ExperimentFixture;
using vx::testing::QueryRows;
using vx::testing::QueryValue;
using vx::testing::TempDir;

struct Column {
  std::string name, type, defaultValue;
  bool operator==(const Column&) const = default;
};

std::ostream& operator<<(std::ostream& out, const Column& c) {
  return out << c.name << " " << c.type << " default[" << c.defaultValue << "]";
}

// type "" means no declared type; default "" means none.
const std::map<std::string, std::vector<Column>>& ExpectedTables() {
  static const std::map<std::string, std::vector<Column>> tables = {
      {"Choices",
       {{"Id", "integer", ""}, {"Name", "text", "''"}, {"IdField", "integer", "-1"},
        {"Ordre", "integer", "0"}, {"IdZone", "integer", "-1"}}},
      {"Fields",
       {{"Id", "integer", ""}, {"Name", "text", "''"}, {"IdProtocol", "integer", "-1"},
        {"IdZone", "integer", "-1"}, {"Unit", "text", "''"}, {"Ordre", "integer", "0"},
        {"Category", "integer", "0"}, {"Type", "integer", "0"}}},
      {"Animals",
       {{"Id", "integer", ""}, {"Name", "text", "''"}, {"MinSize", "integer", ""},
        {"MaxSize", "integer", ""}, {"Notes", "text", "''"}, {"Fields", "text", "''"},
        {"Status", "integer", "0"}, {"Deleted", "integer", "0"}, {"AnimalSize", "text", "''"},
        {"DefaultArena", "text", "''"}}},
      {"Tests",
       {{"Id", "integer", ""},           {"Title", "text", "''"},
        {"Fields", "text", "''"},        {"Comment", "text", "''"},
        {"IdAnimal", "integer", ""},     {"ForecastDateAcq", "integer", "0"},
        {"DateAcq", "integer", "0"},     {"DateAnalyse", "integer", "0"},
        {"IdProtocol", "integer", "-1"}, {"ParamsDetection", "text", "''"},
        {"Source", "integer", "-1"},     {"Status", "integer", "0"},
        {"Deleted", "integer", "0"},     {"Scale", "real", "0"},
        {"InfosAnalyse", "text", "''"},  {"AdjustArena", "text", "''"},
        {"Duration", "integer", "0"},    {"Distance", "real", "0"},
        {"AverageSpeed", "real", "0"},   {"MaxSpeed", "real", "0"},
        {"AverageAccel", "real", "0"},   {"MaxAccel", "real", "0"},
        {"MaxRawSpeed", "real", "0"},    {"Inactive", "integer", "0"},
        {"Color", "integer", "-1"},      {"IdArena", "integer", "-1"}}},
      {"TestsPoints",
       {{"Id", "integer", ""}, {"HeadDetection", "integer", "0"}, {"PointsAnalyse", "blob", ""},
        {"Behaviors", "blob", ""}}},
      {"Protocols",
       {{"Id", "integer", ""},
        {"Name", "text", "''"},
        {"Notes", "text", "''"},
        {"Width", "integer", "0"},
        {"Height", "integer", "0"},
        {"RulerLength", "integer", ""},
        {"RulerUnit", "integer", ""},
        {"Source", "", "''"},
        {"Webcam", "integer", "0"},
        {"MaxFps", "integer", "-1"},
        {"Crop", "text", "''"},
        {"Diagram", "text", "''"},
        {"MaxDuration", "integer", "-1"},
        {"MaxTypeDuration", "integer", "1"},
        {"DelayRecordNoA", "integer", "0"},
        {"TypeDelayRecordNoA", "integer", "1"},
        {"FormatRecordNoA", "integer", "-1"},
        {"DurationRecordNoA", "integer", "0"},
        {"TypeDurationRecordNoA", "integer", "1"},
        {"Img", "blob", ""},
        {"DefaultResult", "integer", "-1"},
        {"SecArenas", "text", "''"},
        {"HeadDetection", "integer", "0"},
        {"Animals", "text", "''"},
        {"InactivityDelay", "integer", "0"},
        {"InactivityUnit", "integer", "0"},
        {"Params", "text", "''"},
        {"NameTestAuto", "text", "''"},
        {"Behaviors", "text", "''"},
        {"ScreenShot", "blob", ""},
        {"MaxIdZone", "integer", "-1"}}},
      {"Zones",
       {{"Id", "integer", ""},
        {"IdProtocol", "integer", ""},
        {"Name", "text", "''"},
        {"bArena", "integer", "0"},
        {"bPoly", "integer", "0"},
        {"TypeRect", "integer", "0"},
        {"Points", "text", "''"},
        {"LineColor", "integer", "16610052"},
        {"LineWidth", "integer", "2"},
        {"BkgColor", "integer", "16777215"},
        {"BkgStyle", "integer", "0"},
        {"BkgHatch", "integer", "3"},
        {"BkgOutside", "integer", "0"},
        {"Ordre", "integer", "0"},
        {"DetectInZone", "integer", "0"},
        {"PercentEntry", "integer", "70"},
        {"PercentExit", "integer", "50"},
        {"CountEntryIfInZoneAtStart", "integer", "0"},
        {"HiddenZone", "text", "''"},
        {"bMovable", "integer", "0"}}},
      {"ImgRef",
       {{"Id", "integer", ""}, {"Name", "text", "''"}, {"Gray", "integer", ""},
        {"Width", "integer", "0"}, {"Height", "integer", "0"}, {"Img", "blob", ""}}},
      {"Results",
       {{"Id", "integer", ""}, {"IdProtocol", "integer", ""}, {"Name", "text", "''"},
        {"Config", "text", "''"}, {"Filter", "text", "''"}, {"GroupBy", "text", "''"},
        {"Collapsed", "text", "''"}, {"Checked", "text", "''"}, {"Columns", "text", "''"},
        {"SldCurve", "integer", "50"}, {"ShowCurve", "integer", "1"}, {"Chart", "text", "''"},
        {"File", "integer", "''"}}},
      {"Colors", {{"Ref", "text", ""}, {"Color", "integer", ""}, {"IdResult", "integer", "-1"}}},
      {"Filters",
       {{"Id", "integer", ""}, {"Name", "text", "''"}, {"Type", "integer", "0"},
        {"List", "text", "''"}, {"Formule", "text", "''"}, {"Logic", "text", "''"},
        {"IdProtocol", "integer", "-1"}, {"GroupBy", "text", "''"}, {"Collapsed", "text", "''"}}},
      {"Favorites",
       {{"Id", "integer", ""}, {"Name", "text", "''"}, {"IdProtocol", "integer", ""},
        {"IdReport", "integer", ""}, {"IdFilter", "integer", ""}, {"GroupBy", "text", "''"},
        {"OrderTests", "integer", "-1"}, {"Collapsed", "text", "''"}, {"Checked", "text", "''"},
        {"Columns", "text", "''"}, {"SldCurve", "integer", "50"}, {"TypeView", "integer", "1"},
        {"Chart", "text", "''"}, {"File", "integer", "''"}, {"bUpdateFile", "integer", "0"}}},
      {"Videos",
       {{"Id", "integer", ""}, {"Name", "text", "''"}, {"Notes", "text", "''"},
        {"File", "text", "''"}, {"IdProtocol", "integer", "-1"}, {"Status", "integer", "0"},
        {"DateAcq", "integer", ""}, {"NbFrames", "integer", ""}, {"Duration", "integer", ""},
        {"Width", "integer", "0"}, {"Height", "integer", "0"}, {"ListePoints", "blob", ""},
        {"Infos", "text", "''"}}},
      {"MovableZones",
       {{"Id", "integer", ""}, {"Name", "text", "''"}, {"IdProtocol", "integer", ""},
        {"IdZone", "integer", ""}, {"X", "integer", "0"}, {"Y", "integer", "0"},
        {"Adjusted_X", "integer", "0"}, {"Adjusted_Y", "integer", "0"},
        {"Adjusted_Angle", "integer", "0"}}},
      {"ReportsData",
       {{"IdReport", "integer", ""}, {"IdTest", "integer", ""}, {"Data", "blob", ""}}},
      {"Infos", {{"Name", "text", ""}, {"Value", "text", ""}}},
  };
  return tables;
}

std::vector<Column> ActualColumns(const std::string& path, const std::string& table) {
  std::vector<Column> columns;
  for (const auto& row : QueryRows(path, "PRAGMA table_info('" + table + "')")) {
    // cid, name, type, notnull, dflt_value, pk
    columns.push_back({row[1], vx::ToLower(row[2]), row[4]});
  }
  return columns;
}

TEST(Schema, NewFileHasExactlyTheDocumentedTables) {
  ExperimentFixture fixture;
  ASSERT_TRUE(fixture.created);
  std::vector<std::string> names;
  for (const auto& row : QueryRows(fixture.path(),
                                   "select name from sqlite_master where type='table' and name "
                                   "not like 'sqlite_%' order by name")) {
    names.push_back(row[0]);
  }
  std::vector<std::string> expected;
  for (const auto& [name, columns] : ExpectedTables()) expected.push_back(name);
  std::sort(expected.begin(), expected.end());
  EXPECT_EQ(names, expected);
  for (const auto& [name, columns] : ExpectedTables()) {
    EXPECT_EQ(ActualColumns(fixture.path(), name), columns) << "table " << name;
  }
}

TEST(Schema, PrimaryKeysAndUniqueCacheRows) {
  ExperimentFixture fixture;
  const std::string sql = QueryValue(fixture.path(),
                                     "select sql from sqlite_master where name='ReportsData'");
  EXPECT_NE(sql.find("UNIQUE(IdReport, IdTest)"), std::string::npos);
  EXPECT_NE(QueryValue(fixture.path(), "select sql from sqlite_master where name='Tests'")
                .find("Id integer PRIMARY KEY AUTOINCREMENT"),
            std::string::npos);
  EXPECT_NE(QueryValue(fixture.path(), "select sql from sqlite_master where name='TestsPoints'")
                .find("Id integer PRIMARY KEY,"),
            std::string::npos);
}

TEST(Schema, NewFileInfosRowsInOrder) {
  ExperimentFixture fixture;
  const auto rows = QueryRows(fixture.path(), "select Name, Value from Infos order by rowid");
  const std::vector<std::vector<std::string>> expected = {
      {"VersionDB", "24"}, {"FileType", "Velantrix"}, {"Title", ""},
      {"Notes", ""},       {"Smooth", ""},            {"Animals", "0|1|6|5|50|10|70"}};
  EXPECT_EQ(rows, expected);
}

TEST(Schema, NewZoneRowTakesThePercentDefaults) {
  ExperimentFixture fixture;
  SQLite::Database db;
  ASSERT_EQ(db.Open(fixture.path()), SQLite::kOk);
  db.Execute("insert into Zones(Id, IdProtocol) values (1, 1)");
  EXPECT_EQ(QueryValue(fixture.path(), "select PercentEntry||','||PercentExit from Zones"),
            "70,50");
}

// ---- identification ----

class FileType : public ::testing::Test {
 protected:
  bool Check(const std::string& path) {
    vx::ExperimentFile file;
    file.path = path;
    file.services = services.Bundle();
    SQLite::Database db;
    const bool ok = vx::OpenExperimentDb(db, file, {.checkType = true});
    lastError = db.lastError();
    stillOpen = db.IsOpen();
    return ok;
  }
  void Sql(const std::string& path, const std::string& sql) {
    SQLite::Database db;
    ASSERT_EQ(db.Open(path), SQLite::kOk);
    ASSERT_EQ(db.Execute(sql), SQLite::kOk) << sql;
  }
  TempDir dir;
  vx::testing::TestServices services;
  int lastError = 0;
  bool stillOpen = false;
};

TEST_F(FileType, CurrentFileIsAccepted) {
  ExperimentFixture fixture;
  EXPECT_TRUE(Check(fixture.path()));
  EXPECT_EQ(lastError, 0);
}

TEST_F(FileType, TextFileIsNotAnExperiment) {
  const std::string path = dir.File("notes.vxdb");
  vx::testing::WriteFileBytes(path, "This is not a database at all, just some text.\n");
  EXPECT_FALSE(Check(path));
  EXPECT_EQ(lastError, SQLite::kNotADb);
  EXPECT_FALSE(stillOpen);
  EXPECT_EQ(vx::testing::ReadFileBytes(path), "This is not a database at all, just some text.\n");
}

TEST_F(FileType, OtherSqliteDatabaseIsNotAnExperiment) {
  const std::string path = dir.File("other.db");
  Sql(path, "create table Customers(Id integer, Name text)");
  EXPECT_FALSE(Check(path));
  EXPECT_EQ(lastError, SQLite::kNotADb);
  EXPECT_FALSE(stillOpen);
}

TEST_F(FileType, OldFileWithoutVersionRowButWithProtocolsIsAccepted) {
  const std::string path = dir.File("old.vxdb");
  Sql(path, "create table Protocols(Id integer PRIMARY KEY, Name text); "
            "create table Infos(Name text, Value text)");
  EXPECT_TRUE(Check(path));
}

TEST_F(FileType, VersionEightNeedsTheExactFileType) {
  int index = 0;
  for (const char* type : {"", "velantrix", "VELANTRIX", "Velantrix "}) {
    const std::string path = dir.File("v8-" + std::to_string(index++) + ".vxdb");
    Sql(path, "create table Protocols(Id integer); create table Infos(Name text, Value text); "
              "insert into Infos values ('VersionDB','8')");
    if (*type != '\0') {
      Sql(path, std::string("insert into Infos values ('FileType','") + type + "')");
    }
    EXPECT_FALSE(Check(path)) << "file type '" << type << "'";
    EXPECT_EQ(lastError, SQLite::kNotADb);
  }
  const std::string good = dir.File("v8.vxdb");
  Sql(good, "create table Protocols(Id integer); create table Infos(Name text, Value text); "
            "insert into Infos values ('VersionDB','12'); "
            "insert into Infos values ('FileType','Velantrix')");
  EXPECT_TRUE(Check(good));
}

TEST(ColumnExistsTest, ComparesNamesWithoutCase) {
  ExperimentFixture fixture;
  SQLite::Database db;
  ASSERT_EQ(db.Open(fixture.path()), SQLite::kOk);
  EXPECT_TRUE(vx::ColumnExists(db, "Videos", "Infos"));
  EXPECT_TRUE(vx::ColumnExists(db, "Videos", "INFOS"));
  EXPECT_FALSE(vx::ColumnExists(db, "Videos", "Nope"));
  EXPECT_FALSE(vx::ColumnExists(db, "NoSuchTable", "Id"));
}

}  // namespace
