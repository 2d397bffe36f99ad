// The created schema against the document's tables, written out here independently of the
// creation statements, and the identification of experiment files.
#include "db/schema.h"

#include <gtest/gtest.h>

#include <algorithm>
#include <map>

#include "base/text.h"

#include "support/data_table.h"
#include "support/experiment_fixture.h"
#include "support/schema_history.h"

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

// The document's tables (tests/support/schema_history.h), as PRAGMA table_info shows them.
std::map<std::string, std::vector<Column>> ExpectedTables() {
  std::map<std::string, std::vector<Column>> tables;
  for (const auto& table : vx::testing::DocumentTables()) {
    for (const auto& c : table.columns) tables[table.name].push_back({c.name, c.type, c.defaultValue});
  }
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

TEST_F(FileType, OnlyExperimentFilesAreAccepted) {
  ExperimentFixture fixture;
  EXPECT_TRUE(Check(fixture.path()));
  EXPECT_EQ(lastError, 0);
  const std::string text = "This is not a database at all, just some text.\n";
  const std::string notes = dir.File("notes.vxdb");
  vx::testing::WriteFileBytes(notes, text);
  EXPECT_FALSE(Check(notes));
  EXPECT_EQ(lastError, SQLite::kNotADb);
  EXPECT_FALSE(stillOpen);
  EXPECT_EQ(vx::testing::ReadFileBytes(notes), text);

  const std::string oldTables = "create table Protocols(Id integer); create table Infos(Name text, Value text); ";
  const auto rows = vx::testing::ReadDataTable("experiment_file_types.tsv");
  ASSERT_FALSE(rows.empty());
  int index = 0;
  for (const auto& row : rows) {
    const std::string path = dir.File("f" + std::to_string(index++) + ".vxdb");
    const std::string sql = (row[0] == "1" ? oldTables : "") + row[1];
    Sql(path, sql);
    const bool accepted = row[2] == "1";
    EXPECT_EQ(Check(path), accepted) << sql;
    if (!accepted) {
      EXPECT_EQ(lastError, SQLite::kNotADb) << sql;
      EXPECT_FALSE(stillOpen);
    }
  }
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
