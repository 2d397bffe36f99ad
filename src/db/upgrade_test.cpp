// The upgrade of old files as a whole: the schema it produces from every past version, the
// files it must leave alone, and the all-or-nothing rule under injected failures.
#include "db/upgrade.h"

#include <gtest/gtest.h>

#include "base/messages.h"
#include "db/experiment_db.h"
#include "db/schema.h"
#include "support/experiment_fixture.h"
#include "support/schema_history.h"

namespace {

using vx::testing::CreateFileAtVersion;
using vx::testing::ExecuteSql;
using vx::testing::QueryValue;
using vx::testing::ReadFileBytes;

class Upgrade : public ::testing::Test {
 protected:
  // Opens path as the program does (type check) and upgrades it.
  // The hook, when set, sees the upgrade's statements (not those of the open).
  bool RunUpgrade(const std::string& path, int* lastError = nullptr,
                  const vx::UpgradeProgress& progress = {},
                  SQLite::Database::StatementHook hook = {}) {
    file.path = path;
    file.services = services.Bundle();
    SQLite::Database db;
    if (!vx::OpenExperimentDb(db, file, {.checkType = true})) {
      ADD_FAILURE() << "not an experiment file: " << path;
      return false;
    }
    if (hook) db.SetStatementHook(hook);
    const bool result = vx::UpgradeExperimentDb(db, file, progress);
    if (lastError != nullptr) *lastError = db.lastError();
    return result;
  }
  std::string Version(const std::string& path) {
    return QueryValue(path, "select group_concat(Value) from Infos where Name='VersionDB'");
  }

  vx::testing::TempDir dir;
  vx::testing::TestServices services;
  vx::ExperimentFile file;
};

// Every table and column of a new file must exist with the same type and default in an
// upgraded one; upgraded files may keep legacy columns.
void ExpectCurrentSchema(const std::string& upgraded, const std::string& fresh, int from) {
  SQLite::Database a, b;
  ASSERT_EQ(a.Open(upgraded), SQLite::kOk);
  ASSERT_EQ(b.Open(fresh), SQLite::kOk);
  for (const auto& table : vx::testing::DocumentTables()) {
    const auto have = vx::testing::ColumnsOf(a, table.name);
    const auto want = vx::testing::ColumnsOf(b, table.name);
    ASSERT_FALSE(have.empty()) << "from " << from << ": table " << table.name << " missing";
    for (const auto& [name, typeAndDefault] : want) {
      const auto found = have.find(name);
      ASSERT_NE(found, have.end()) << "from " << from << ": " << table.name << "." << name;
      if (table.name == "Tests" && name == "Source") continue;  // text-typed in old files
      if (table.name == "Protocols" && name == "InactivityUnit") continue;  // 1 for old files
      EXPECT_EQ(found->second, typeAndDefault)
          << "from " << from << ": " << table.name << "." << name;
    }
  }
  EXPECT_EQ(QueryValue(upgraded, "select count(*) from sqlite_master where name='TestsOld' or "
                                 "name like 'Test\\_%' escape '\\'"),
            "0");
}

TEST_F(Upgrade, EveryPastVersionReachesTheCurrentSchema) {
  vx::testing::ExperimentFixture fresh;
  for (int version = 0; version < vx::kCurrentSchemaVersion; ++version) {
    const std::string path = dir.File("v" + std::to_string(version) + ".vxdb");
    ASSERT_TRUE(CreateFileAtVersion(path, version)) << version;
    int lastError = -1;
    ASSERT_TRUE(RunUpgrade(path, &lastError)) << version;
    ASSERT_EQ(lastError, 0) << version << ": " << services.notifier.notifications.size();
    EXPECT_EQ(Version(path), "24") << version;
    EXPECT_EQ(file.versionBeforeUpgrade, version);
    EXPECT_EQ(QueryValue(path, "select Value from Infos where Name='FileType'"), "Velantrix");
    EXPECT_NE(QueryValue(path, "select Value from Infos where Name='Animals'"), "");
    ExpectCurrentSchema(path, fresh.path(), version);
  }
  EXPECT_TRUE(services.notifier.notifications.empty());
}

TEST_F(Upgrade, FileWithoutVersionRowGetsOneInserted) {
  const std::string path = dir.File("oldest.vxdb");
  ASSERT_TRUE(CreateFileAtVersion(path, 0, /*withVersionRow=*/false));
  ASSERT_TRUE(RunUpgrade(path));
  EXPECT_EQ(Version(path), "24");  // exactly one row
  EXPECT_EQ(file.versionBeforeUpgrade, 0);
}

TEST_F(Upgrade, CurrentFileIsLeftByteForByte) {
  vx::testing::ExperimentFixture fresh;
  const std::string before = ReadFileBytes(fresh.path());
  int statementsWritten = 0;
  auto countWrites = [&](const std::string& sql) {
    if (sql.rfind("select", 0) != 0 && sql.rfind("PRAGMA", 0) != 0) ++statementsWritten;
    return SQLite::kOk;
  };
  int lastError = -1;
  EXPECT_TRUE(RunUpgrade(fresh.path(), &lastError, {}, countWrites));
  EXPECT_EQ(lastError, 0);
  EXPECT_EQ(statementsWritten, 0);
  EXPECT_TRUE(ReadFileBytes(fresh.path()) == before);
  EXPECT_EQ(file.versionBeforeUpgrade, -1);
}

// Files the upgrade cannot or must not change come out byte for byte as they went in.
TEST_F(Upgrade, RefusedOrFailedUpgradesLeaveTheFileUntouched) {
  vx::testing::ExperimentFixture newer;
  ExecuteSql(newer.path(), "update Infos set Value='25' where Name='VersionDB'");
  std::string before = ReadFileBytes(newer.path());
  EXPECT_FALSE(RunUpgrade(newer.path()));
  ASSERT_EQ(services.notifier.notifications.size(), 1u);
  EXPECT_EQ(services.notifier.notifications[0].messageId, vx::msg::kNewerVersion);
  EXPECT_EQ(services.notifier.notifications[0].text,
            "This experience was created with a newer version of Velantrix.");
  EXPECT_TRUE(ReadFileBytes(newer.path()) == before);

  // Another connection holds a transaction: the upgrade cannot start.
  const std::string locked = dir.File("v10.vxdb");
  ASSERT_TRUE(CreateFileAtVersion(locked, 10));
  before = ReadFileBytes(locked);
  SQLite::Database holder;
  ASSERT_EQ(holder.Open(locked), SQLite::kOk);
  ASSERT_TRUE(holder.BeginTransaction());
  int lastError = 0;
  EXPECT_FALSE(RunUpgrade(locked, &lastError));
  EXPECT_EQ(lastError, SQLite::kBusy);
  holder.RollbackTransaction();
  holder.Close();
  EXPECT_TRUE(ReadFileBytes(locked) == before);

  // A file of version 11 that already holds a Favorites table: the step below 12 cannot create
  // it, after the steps of 11 already changed the file inside the transaction.
  const std::string clash = dir.File("v11.vxdb");
  ASSERT_TRUE(CreateFileAtVersion(clash, 11));
  ExecuteSql(clash, "create table Favorites(Id integer)");
  before = ReadFileBytes(clash);
  EXPECT_TRUE(RunUpgrade(clash, &lastError));
  EXPECT_NE(lastError, 0);
  ASSERT_TRUE(services.notifier.Saw(vx::msg::kWriteFailed));
  EXPECT_NE(services.notifier.notifications.back().text.find("already exists"), std::string::npos);
  EXPECT_TRUE(ReadFileBytes(clash) == before);
  EXPECT_EQ(Version(clash), "11");

  // No Infos table at all.
  const std::string broken = dir.File("broken.vxdb");
  ExecuteSql(broken, "create table Protocols(Id integer)");
  before = ReadFileBytes(broken);
  lastError = 0;
  EXPECT_TRUE(RunUpgrade(broken, &lastError));
  EXPECT_NE(lastError, 0);
  EXPECT_TRUE(ReadFileBytes(broken) == before);
}

// Makes the n-th statement of an upgrade from version 0 fail, for every n: the file must
// always come out exactly as it went in.
TEST_F(Upgrade, AnyFailingStatementLeavesTheFileAsItWas) {
  const std::string path = dir.File("v0.vxdb");
  ASSERT_TRUE(CreateFileAtVersion(path, 0));
  ExecuteSql(path, "insert into Protocols(Name, Diagram) values ('P', 'uml_event,1,2|3|;');"
                   "insert into Animals(Name, MinSize, MaxSize) values ('A', 5, 50);"
                   "insert into Tests(Title, Source) values ('T', 'cam');"
                   "create table Test_1(NumFrame integer, MilliSec integer, ImgX integer, "
                   "ImgY integer, BlobLeft integer, BlobTop integer, BlobRight integer, "
                   "BlobBottom integer, Contour text);"
                   "insert into Test_1 values (5, 200, 10, 20, 8, 17, 13, 24, '8,17;13,24');");
  const std::string before = ReadFileBytes(path);
  int total = 0;
  ASSERT_TRUE(RunUpgrade(path, nullptr, {}, [&](const std::string&) {
    ++total;
    return SQLite::kOk;
  }));
  ASSERT_GT(total, 60);
  int failures = 0;
  for (int failAt = 1; failAt <= total; ++failAt) {
    vx::testing::WriteFileBytes(path, before);
    int seen = 0;
    int lastError = 0;
    RunUpgrade(path, &lastError, {}, [&](const std::string& sql) {
      // The compaction after the commit may fail: the upgrade is complete by then.
      if (sql == "VACUUM") return SQLite::kOk;
      return ++seen == failAt ? SQLite::kIoErr : SQLite::kOk;
    });
    if (lastError == 0) continue;
    ++failures;
    ASSERT_TRUE(ReadFileBytes(path) == before) << "statement " << failAt;
    ASSERT_EQ(Version(path), "0");
  }
  EXPECT_GT(failures, total / 2);
}

TEST_F(Upgrade, ProgressAndMessages) {
  const std::string path = dir.File("v0.vxdb");
  ASSERT_TRUE(CreateFileAtVersion(path, 0));
  ExecuteSql(path, "insert into Tests(Title) values ('a'), ('b'), ('c');"
                   "create table Test_1(NumFrame integer, ImgX integer);"
                   "create table Test_3(NumFrame integer, ImgX integer);");
  std::vector<std::string> events;
  vx::UpgradeProgress progress;
  progress.start = [&](int range) { events.push_back("start " + std::to_string(range)); };
  progress.advance = [&] { events.push_back("+"); };
  progress.message = [&](int id, const std::string& text) {
    events.push_back(std::to_string(id) + " " + text.substr(0, text.find('.')));
  };
  ASSERT_TRUE(RunUpgrade(path, nullptr, progress));
  const std::vector<std::string> expected = {
      "start 2", "+", "+",            // the two per-test tables
      "start 3", "+", "+", "+",       // the tests rebuild
      "start 3", "+", "+", "+",       // the videos of the tests
      "498 Finalization", "499 Cleaning up"};
  EXPECT_EQ(events, expected);
}

}  // namespace
