// The experiment file's tables as the documentation gives them, with the schema version in
// which each table and column appeared, so that tests can build a file of any past version by
// undoing the upgrade steps from the current tables. Written out here on purpose, apart from
// the creation statements of the code under test.
#pragma once

#include <map>
#include <string>
#include <vector>

#include "db/sqlite_database.h"

namespace vx::testing {

struct DocColumn {
  std::string name;
  std::string type;          // "" when the column has no declared type
  std::string defaultValue;  // as PRAGMA table_info shows it; "" when none
  int since = 0;             // first schema version that has it
};

struct DocTable {
  std::string name;
  int since = 0;
  std::vector<DocColumn> columns;
};

// The current tables (version 24), in creation order, columns in order.
inline const std::vector<DocTable>& DocumentTables() {
  static const std::vector<DocTable> tables = {
      {"Choices", 0,
       {{"Id", "integer", ""}, {"Name", "text", "''"}, {"IdField", "integer", "-1"},
        {"Ordre", "integer", "0"}, {"IdZone", "integer", "-1", 22}}},
      {"Fields", 0,
       {{"Id", "integer", ""}, {"Name", "text", "''"}, {"IdProtocol", "integer", "-1", 18},
        {"IdZone", "integer", "-1", 22}, {"Unit", "text", "''"}, {"Ordre", "integer", "0"},
        {"Category", "integer", "0"}, {"Type", "integer", "0"}}},
      {"Animals", 0,
       {{"Id", "integer", ""}, {"Name", "text", "''"}, {"MinSize", "integer", ""},
        {"MaxSize", "integer", ""}, {"Notes", "text", "''"}, {"Fields", "text", "''"},
        {"Status", "integer", "0"}, {"Deleted", "integer", "0"},
        {"AnimalSize", "text", "''", 10}, {"DefaultArena", "text", "''", 10}}},
      {"Tests", 0,
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
      {"TestsPoints", 6,
       {{"Id", "integer", ""}, {"HeadDetection", "integer", "0", 9},
        {"PointsAnalyse", "blob", ""}, {"Behaviors", "blob", "", 22}}},
      {"Protocols", 0,
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
        {"Img", "blob", "", 3},
        {"DefaultResult", "integer", "-1", 3},
        {"SecArenas", "text", "''", 8},
        {"HeadDetection", "integer", "0", 10},
        {"Animals", "text", "''", 10},
        {"InactivityDelay", "integer", "0", 11},
        {"InactivityUnit", "integer", "0", 11},
        {"Params", "text", "''", 15},
        {"NameTestAuto", "text", "''", 22},
        {"Behaviors", "text", "''", 22},
        {"ScreenShot", "blob", "", 15},
        {"MaxIdZone", "integer", "-1", 23}}},
      {"Zones", 0,
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
        {"DetectInZone", "integer", "0", 9},
        {"PercentEntry", "integer", "70", 9},
        {"PercentExit", "integer", "50", 9},
        {"CountEntryIfInZoneAtStart", "integer", "0", 9},
        {"HiddenZone", "text", "''", 16},
        {"bMovable", "integer", "0", 18}}},
      {"ImgRef", 2,
       {{"Id", "integer", ""}, {"Name", "text", "''"}, {"Gray", "integer", ""},
        {"Width", "integer", "0"}, {"Height", "integer", "0"}, {"Img", "blob", ""}}},
      {"Results", 3,
       {{"Id", "integer", ""}, {"IdProtocol", "integer", ""}, {"Name", "text", "''"},
        {"Config", "text", "''"}, {"Filter", "text", "''"}, {"GroupBy", "text", "''"},
        {"Collapsed", "text", "''"}, {"Checked", "text", "''"}, {"Columns", "text", "''"},
        {"SldCurve", "integer", "50"}, {"ShowCurve", "integer", "1"},
        {"Chart", "text", "''", 7}, {"File", "integer", "''", 11}}},
      {"Colors", 3, {{"Ref", "text", ""}, {"Color", "integer", ""}, {"IdResult", "integer", "-1"}}},
      {"Filters", 4,
       {{"Id", "integer", ""}, {"Name", "text", "''"}, {"Type", "integer", "0"},
        {"List", "text", "''"}, {"Formule", "text", "''", 8}, {"Logic", "text", "''"},
        {"IdProtocol", "integer", "-1"}, {"GroupBy", "text", "''"}, {"Collapsed", "text", "''"}}},
      {"Favorites", 12,
       {{"Id", "integer", ""}, {"Name", "text", "''"}, {"IdProtocol", "integer", ""},
        {"IdReport", "integer", ""}, {"IdFilter", "integer", ""}, {"GroupBy", "text", "''"},
        {"OrderTests", "integer", "-1"}, {"Collapsed", "text", "''"}, {"Checked", "text", "''"},
        {"Columns", "text", "''"}, {"SldCurve", "integer", "50"}, {"TypeView", "integer", "1"},
        {"Chart", "text", "''"}, {"File", "integer", "''"}, {"bUpdateFile", "integer", "0"}}},
      {"Videos", 13,
       {{"Id", "integer", ""}, {"Name", "text", "''"}, {"Notes", "text", "''"},
        {"File", "text", "''"}, {"IdProtocol", "integer", "-1"}, {"Status", "integer", "0"},
        {"DateAcq", "integer", ""}, {"NbFrames", "integer", ""}, {"Duration", "integer", ""},
        {"Width", "integer", "0"}, {"Height", "integer", "0"}, {"ListePoints", "blob", ""},
        {"Infos", "text", "''", 24}}},
      {"MovableZones", 18,
       {{"Id", "integer", ""}, {"Name", "text", "''"}, {"IdProtocol", "integer", ""},
        {"IdZone", "integer", ""}, {"X", "integer", "0"}, {"Y", "integer", "0"},
        {"Adjusted_X", "integer", "0"}, {"Adjusted_Y", "integer", "0"},
        {"Adjusted_Angle", "integer", "0"}}},
      {"ReportsData", 19,
       {{"IdReport", "integer", ""}, {"IdTest", "integer", ""}, {"Data", "blob", ""}}},
      {"Infos", 0, {{"Name", "text", ""}, {"Value", "text", ""}}},
  };
  return tables;
}

// The tests table before the rebuild of version 6, with the version of each column.
inline const std::vector<DocColumn>& OldTestsColumns() {
  static const std::vector<DocColumn> columns = {
      {"Id", "integer", ""},           {"Title", "text", "''"},
      {"Fields", "text", "''"},        {"Comment", "text", "''"},
      {"IdAnimal", "integer", ""},     {"DateAcq", "integer", "0"},
      {"DateAnalyse", "integer", "0"}, {"IdProtocol", "integer", "-1"},
      {"ParamsDetection", "text", "''"}, {"Source", "text", "''"},
      {"ImgWidth", "integer", "0"},    {"ImgHeight", "integer", "0"},
      {"Status", "integer", "0"},      {"End", "integer", "0"},
      {"Deleted", "integer", "0"},     {"Scale", "real", "0"},
      {"Duration", "integer", "0"},    {"Distance", "real", "0"},
      {"AverageSpeed", "real", "0"},   {"MaxSpeed", "real", "0"},
      {"ListePoints", "blob", ""},     {"PointsAnalyse", "blob", "", 1},
      {"InfosAcq", "integer", "0", 1}, {"AdjustArena", "text", "''", 2},
      {"InfosAnalyse", "text", "''", 3}, {"Color", "integer", "-1", 3},
      {"ForecastAcq", "integer", "0", 4}, {"AverageAccel", "real", "0", 4},
      {"MaxAccel", "real", "0", 4}};
  return columns;
}

// The tests table from version 6 on: the current columns, a text-typed Source, the image size,
// and the video file version from 10.
inline std::vector<DocColumn> RebuiltTestsColumns() {
  std::vector<DocColumn> columns;
  for (DocColumn c : DocumentTables()[3].columns) {
    if (c.name == "IdArena") c.since = 8;
    if (c.name == "Source") {
      columns.push_back({"Source", "text", "''"});
      columns.push_back({"ImgWidth", "integer", "0"});
      columns.push_back({"ImgHeight", "integer", "0"});
      continue;
    }
    columns.push_back(c);
  }
  columns.push_back({"VideoFileVersion", "integer", "0", 10});
  return columns;
}

inline std::string CreateStatement(const std::string& table, const std::vector<DocColumn>& columns,
                                   int version) {
  std::string sql = "create table " + table + "(";
  bool first = true;
  for (const DocColumn& c : columns) {
    if (c.since > version) continue;
    sql += first ? "" : ", ";
    first = false;
    sql += c.name;
    if (!c.type.empty()) sql += " " + c.type;
    if (c.name == "Id" && table == "TestsPoints") {
      sql += " PRIMARY KEY";
    } else if (c.name == "Id" && table != "Zones") {
      sql += " PRIMARY KEY AUTOINCREMENT";
    }
    if (!c.defaultValue.empty()) sql += " default " + c.defaultValue;
  }
  if (table == "ReportsData") sql += ", UNIQUE(IdReport, IdTest)";
  return sql + ")";
}

// Builds an experiment file of a past schema version with its Infos rows; without a version
// row when withVersionRow is false (the oldest files). Returns false when a statement failed.
inline bool CreateFileAtVersion(const std::string& path, int version, bool withVersionRow = true) {
  SQLite::Database db;
  if (db.Open(path) != SQLite::kOk) return false;
  db.Execute("BEGIN");
  for (const DocTable& table : DocumentTables()) {
    if (table.since > version) continue;
    if (table.name == "Tests") {
      db.Execute(CreateStatement("Tests", version < 6 ? OldTestsColumns() : RebuiltTestsColumns(),
                                 version));
    } else if (table.name == "TestsPoints") {
      std::vector<DocColumn> columns = table.columns;
      columns.insert(columns.begin() + 1, {"ListePoints", "blob", ""});
      db.Execute(CreateStatement("TestsPoints", columns, version));
    } else {
      db.Execute(CreateStatement(table.name, table.columns, version));
    }
  }
  if (withVersionRow) {
    db.Execute("insert into Infos(Name, Value) values ('VersionDB','" + std::to_string(version) +
               "')");
  }
  if (version >= 8) db.Execute("insert into Infos(Name, Value) values ('FileType','Velantrix')");
  db.Execute("insert into Infos(Name, Value) values ('Title','Old experiment')");
  db.Execute("insert into Infos(Name, Value) values ('Notes','')");
  db.Execute("insert into Infos(Name, Value) values ('Smooth','')");
  if (version >= 10) {
    db.Execute("insert into Infos(Name, Value) values ('Animals','0|1|6|5|50|10|70')");
  }
  const bool ok = db.lastError() == SQLite::kOk;
  db.Execute(ok ? "COMMIT" : "ROLLBACK");
  return ok;
}

// Column name -> (type, default) of a table in a file.
inline std::map<std::string, std::pair<std::string, std::string>> ColumnsOf(
    SQLite::Database& db, const std::string& table) {
  std::map<std::string, std::pair<std::string, std::string>> columns;
  SQLite::TablePtr info = db.GetTable("PRAGMA table_info('" + table + "')");
  if (!info || !info->MoveFirst()) return columns;
  do {
    std::string type = info->GetText("type");
    for (char& ch : type) ch = static_cast<char>(std::tolower(static_cast<unsigned char>(ch)));
    columns[info->GetText("name")] = {type, info->GetText("dflt_value")};
  } while (info->MoveNext());
  return columns;
}

}  // namespace vx::testing
