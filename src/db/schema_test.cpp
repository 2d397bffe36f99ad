// The created schema against the document's tables, written out here independently of the
// creation statements, and the identification of experiment files.
#include "db/schema.h"

#include <gtest/gtest.h>

#include <algorithm>
#include <map>

#include "base/text.h"

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
