// The experiment file's tables as the documentation gives them, with the schema version in
// which each table and column appeared, so that tests can build a file of any past version by
// undoing the upgrade steps from the current tables. Kept in tests/data on purpose, apart from
// the creation statements of the code under test.
#pragma once

#include <map>
#include <string>
#include <vector>

#include "db/sqlite_database.h"
#include "support/data_table.h"

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

// The rows of tests/data/schema_history.tsv whose table is `table` ("" for every table), in order.
inline std::vector<std::pair<DocTable, DocColumn>> SchemaHistoryRows(const std::string& table) {
  std::vector<std::pair<DocTable, DocColumn>> rows;
  for (const std::vector<std::string>& f : ReadDataTable("schema_history.tsv")) {
    if (f.size() != 6 || (table.empty() ? f[0] == "Tests before 6" : f[0] != table)) continue;
    rows.push_back({{f[0], std::stoi(f[1]), {}}, {f[2], f[3], f[4], std::stoi(f[5])}});
  }
  return rows;
}

// The current tables (version 24), in creation order, columns in order.
inline const std::vector<DocTable>& DocumentTables() {
  static const std::vector<DocTable> tables = [] {
    std::vector<DocTable> all;
    for (auto& [table, column] : SchemaHistoryRows("")) {
      if (all.empty() || all.back().name != table.name) all.push_back(table);
      all.back().columns.push_back(column);
    }
    return all;
  }();
  return tables;
}

// The tests table before the rebuild of version 6, with the version of each column.
inline const std::vector<DocColumn>& OldTestsColumns() {
  static const std::vector<DocColumn> columns = [] {
    std::vector<DocColumn> old;
    for (auto& row : SchemaHistoryRows("Tests before 6")) old.push_back(row.second);
    return old;
  }();
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
