#include "db/sqlite_database.h"

#include <gtest/gtest.h>

#include "support/fakes.h"
#include "support/temp_dir.h"

namespace {

class Sqlite : public ::testing::Test {
 protected:
  void SetUp() override { ASSERT_EQ(db.Open(dir.File("a.db")), SQLite::kOk); }
  vx::testing::TempDir dir;
  SQLite::Database db;
};

TEST_F(Sqlite, TableCursorNullsAndColumnNames) {
  db.Execute("create table A(Id integer, Name text); create table B(Id integer, Name text)");
  SQLite::TablePtr empty = db.GetTable("select Id, Name from A");
  ASSERT_TRUE(empty);
  EXPECT_EQ(empty->CurrentRow(), -1);
  EXPECT_EQ(empty->GetValue("Name"), nullptr);
  EXPECT_EQ(empty->GetId(), -1);
  db.Execute("insert into A values (1, 'a1'), (2, 'a2'), (NULL, NULL); insert into B values (1, 'b1')");
  SQLite::TablePtr table = db.GetTable("select A.Name, B.Name, A.Id from A left join B on "
                                       "B.Id=A.Id order by A.Id is NULL, A.Id");
  ASSERT_EQ(table->GetRowCount(), 3);
  EXPECT_EQ(table->GetColumnCount(), 3);
  EXPECT_STREQ(table->GetValue("NAME"), "a1");  // the first of two equal names, any case
  EXPECT_EQ(table->FirstColumnAsInt(), 0);      // "a1" reads as 0
  EXPECT_TRUE(table->MoveNext());
  EXPECT_TRUE(table->MoveNext());
  EXPECT_FALSE(table->MoveNext());              // stays on the last row
  EXPECT_EQ(table->CurrentRow(), 2);
  EXPECT_STREQ(table->GetValue("name"), "");    // NULL reads as empty
  EXPECT_FALSE(table->GetBool("Name"));
  EXPECT_EQ(table->GetId(), -1);
  EXPECT_EQ(table->GetValue("Missing"), nullptr);
  EXPECT_TRUE(table->MoveFirst());
  EXPECT_EQ(table->GetInt("Id"), 1);
  EXPECT_EQ(db.GetTable("select count(*) from A")->FirstColumnAsInt(), 3);
}

TEST(SqliteDatabase, ClosedOrMissingConnectionFails) {
  SQLite::Database db;
  EXPECT_EQ(db.Execute("select 1"), 1);
  EXPECT_EQ(db.lastError(), 1);
  EXPECT_FALSE(db.GetTable("select 1"));
  EXPECT_FALSE(db.BeginTransaction());
  std::vector<uint8_t> data;
  EXPECT_EQ(db.ReadBlob("select 1", data), 1);
  vx::testing::TempDir dir;
  EXPECT_NE(db.OpenReadOnly(dir.File("missing.vxdb")), SQLite::kOk);  // not created
  EXPECT_FALSE(db.IsOpen());
  EXPECT_EQ(db.readOnly(), 1);
}

TEST_F(Sqlite, FailedQueryGivesAnEmptyTableAndAStickyError) {
  SQLite::TablePtr table = db.GetTable("select * from Missing");
  ASSERT_TRUE(table);
  EXPECT_EQ(table->GetRowCount(), 0);
  EXPECT_EQ(table->GetColumnCount(), 0);
  const int failure = db.lastError();
  EXPECT_EQ(failure, SQLite::kError);
  EXPECT_EQ(db.Execute("create table T(x)"), SQLite::kOk);  // succeeds; the error and its text stay
  EXPECT_EQ(db.lastError(), failure);
  EXPECT_EQ(db.ErrorText(), "no such table: Missing");
  EXPECT_TRUE(db.BeginTransaction());  // a transaction call clears it
  EXPECT_EQ(db.lastError(), 0);
  EXPECT_TRUE(db.RollbackTransaction());
}

TEST_F(Sqlite, BlobsRoundTripAndNullOrEmptyReadsAsNothing) {
  db.Execute("create table T(Id integer, B blob); insert into T values (1, NULL), (2, x'')");
  std::vector<uint8_t> data{1, 2, 3};
  for (const char* sql : {"select B from T where Id=1", "select B from T where Id=2", "select B from T where 0"}) {
    data = {9};
    EXPECT_EQ(db.ReadBlob(sql, data), SQLite::kOk) << sql;
    EXPECT_TRUE(data.empty()) << sql;
  }
  const uint8_t bytes[] = {0, 255, 7};
  EXPECT_EQ(db.WriteBlob("update T set B=? where Id=1", bytes, sizeof bytes), SQLite::kOk);
  EXPECT_EQ(db.ReadBlob("select B from T where Id=1", data), SQLite::kOk);
  EXPECT_EQ(data, std::vector<uint8_t>(bytes, bytes + 3));
  EXPECT_NE(db.ReadBlob("select B from Missing", data), SQLite::kOk);
  EXPECT_NE(db.lastError(), SQLite::kOk);
}

TEST_F(Sqlite, BusyFileFailsAfterElevenAttempts) {
  db.Execute("create table T(x)");
  ASSERT_TRUE(db.BeginTransaction());
  vx::testing::FakeClock clock;
  SQLite::Database other;
  other.SetClock(&clock);
  ASSERT_EQ(other.Open(dir.File("a.db")), SQLite::kOk);
  EXPECT_FALSE(other.BeginTransaction());
  EXPECT_EQ(other.lastError(), SQLite::kBusy);
  EXPECT_EQ(clock.sleeps, std::vector<int>(10, 50));
  db.RollbackTransaction();
}

TEST_F(Sqlite, StatementHookInjectsFailures) {
  db.Execute("create table T(x)");
  db.SetStatementHook([](const std::string& sql) {
    return sql.find("insert") != std::string::npos ? SQLite::kIoErr : SQLite::kOk;
  });
  ASSERT_TRUE(db.BeginTransaction());
  EXPECT_EQ(db.Execute("insert into T values (1)"), SQLite::kIoErr);
  EXPECT_EQ(db.lastError(), SQLite::kIoErr);
  EXPECT_EQ(db.ErrorText(), "disk I/O error");
  const uint8_t byte = 1;
  EXPECT_EQ(db.WriteBlob("insert into T values (?)", &byte, 1), SQLite::kIoErr);
  EXPECT_TRUE(db.RollbackTransaction());
  EXPECT_EQ(db.GetTable("select count(*) from T")->FirstColumnAsInt(), 0);
}

TEST(Utf8Conversion, WideTextBecomesUtf8) {
  EXPECT_EQ(SQLite::UTF8MBSTR(u"\u00e9t\u00e9").str(), "\xC3\xA9t\xC3\xA9");
  EXPECT_EQ(SQLite::UTF8MBSTR(static_cast<const char16_t*>(nullptr)).str(), "");
  EXPECT_EQ(SQLite::UTF8MBSTR(u"\U0001F42D").str(), "\xF0\x9F\x90\xAD");
}

}  // namespace

namespace {

// A length that damage or a hostile file made huge reads as an error, without SQLite or us
// allocating it (the limit is lowered here so that the test file stays small).
TEST_F(Sqlite, ValuesBeyondTheLimitFailInsteadOfAllocating) {
  db.Execute("create table T(Id integer, Value text, Data blob)");
  db.Execute("insert into T values (1, 'small', x'00'), "
             "(2, cast(zeroblob(2000000) as text), zeroblob(2000000))");
  db.SetValueLimit(1000000);
  for (const char* sql : {"select Value from T where Id=2", "select Data from T where Id=2"}) {
    SQLite::TablePtr table = db.GetTable(sql);
    EXPECT_EQ(table->GetRowCount(), 0) << sql;
    EXPECT_EQ(db.lastError(), SQLite::kTooBig) << sql;
    std::vector<uint8_t> bytes{1};
    EXPECT_EQ(db.ReadBlob(sql, bytes), SQLite::kTooBig) << sql;
    EXPECT_TRUE(bytes.empty());
  }
  EXPECT_EQ(db.GetTable("select Value from T where Id=1")->GetText("Value"), "small");
}

}  // namespace
