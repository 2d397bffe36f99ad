// Opening the experiment file for one operation and ending its transactions: the failure
// paths a user can meet (busy file, read-only experiment, failing statements).
#include "db/experiment_db.h"

#include <gtest/gtest.h>

#include "base/messages.h"
#include "db/infos_store.h"
#include "support/experiment_fixture.h"
#include "support/killed_writer.h"

namespace {

using vx::testing::ExperimentFixture;
using vx::testing::QueryValue;
using vx::testing::ReadFileBytes;

TEST(OpenExperimentDb, CreatesANewFileOnlyWhenAsked) {
  vx::testing::TempDir dir;
  vx::testing::TestServices services;
  vx::ExperimentFile file;
  file.path = dir.File("new.vxdb");
  file.services = services.Bundle();
  SQLite::Database db;
  EXPECT_FALSE(vx::OpenExperimentDb(db, file));
  EXPECT_FALSE(db.IsOpen());
  EXPECT_FALSE(services.files.Exists(file.path));

  EXPECT_TRUE(vx::OpenExperimentDb(db, file, {.createIfMissing = true}));
  EXPECT_TRUE(file.modified);
  EXPECT_EQ(QueryValue(file.path, "select Value from Infos where Name='VersionDB'"), "24");
}

TEST(OpenExperimentDb, CreationThatFailsLeavesNothingBehind) {
  for (const bool fullAtCommit : {true, false}) {
    vx::testing::TempDir dir;
    vx::testing::TestServices services;
    vx::ExperimentFile file;
    file.path = dir.File("new.vxdb");
    file.services = services.Bundle();
    if (fullAtCommit) {
      file.statementHook = [](const std::string& sql) {
        return sql == "COMMIT TRANSACTION" ? SQLite::kFull : SQLite::kOk;
      };
    } else {
      services.files.diskFull = true;
    }
    SQLite::Database db;
    EXPECT_FALSE(vx::OpenExperimentDb(db, file, {.createIfMissing = true}));
    for (const char* suffix : {"", "-journal", ".creating", ".creating-journal"}) {
      EXPECT_FALSE(services.files.Exists(file.path + suffix)) << suffix;
    }
    file.statementHook = nullptr;
    services.files.diskFull = false;
    SQLite::Database retry;
    EXPECT_TRUE(vx::OpenExperimentDb(retry, file, {.createIfMissing = true}));  // a retry works
  }
}

TEST(OpenExperimentDb, ReadOnlyOpenUndoesTheWriteOfAKilledProgram) {
  ExperimentFixture fixture;
  ASSERT_TRUE(vx::SetExperimentSetting(fixture.experiment.file, "Title", "kept"));
  ASSERT_TRUE(vx::testing::KillWriterMidTransaction(
      fixture.path(), "update Infos set Value='half written' where Name='Title'"));
  SQLite::Database db;
  ASSERT_TRUE(vx::OpenExperimentDb(db, fixture.experiment.file,
                                   {.readOnly = true, .checkType = true}))
      << db.lastError();
  EXPECT_TRUE(fixture.services.notifier.Saw(vx::msg::kInterruptedWriteUndone));
  db.Close();
  EXPECT_FALSE(fixture.services.files.Exists(fixture.path() + "-journal"));
  EXPECT_EQ(QueryValue(fixture.path(), "select Value from Infos where Name='Title'"), "kept");
  EXPECT_EQ(QueryValue(fixture.path(), "pragma integrity_check"), "ok");
}

TEST(OpenExperimentDb, FileHeldByAnotherProgramIsLockedNotCorrupt) {
  ExperimentFixture fixture;
  SQLite::Database holder;  // a writer in the middle of its commit: nobody may read
  ASSERT_EQ(holder.Open(fixture.path()), SQLite::kOk);
  ASSERT_EQ(holder.Execute("BEGIN EXCLUSIVE"), SQLite::kOk);
  SQLite::Database db;
  EXPECT_FALSE(vx::OpenExperimentDb(db, fixture.experiment.file,
                                    {.readOnly = true, .checkType = true}));
  EXPECT_TRUE(vx::IsLockedCode(db.lastError())) << db.lastError();
  EXPECT_EQ(fixture.services.clock.sleeps, std::vector<int>(10, 50));
  EXPECT_NE(vx::OpenFailureMessage(db.lastError(), "x.vxdb").find("locked by another program"),
            std::string::npos);
  holder.RollbackTransaction();
  EXPECT_TRUE(vx::OpenExperimentDb(db, fixture.experiment.file,
                                   {.readOnly = true, .checkType = true}));
}

TEST(OpenExperimentDb, RefusesFilesWithTriggersOrViewsUntouched) {
  const char* planted[] = {
      "create trigger Planted after insert on Protocols begin "
      "update Infos set Value='changed by a trigger' where Name='Title'; end",
      "create view Planted as select * from Tests",
  };
  for (const char* sql : planted) {
    ExperimentFixture fixture;
    vx::testing::ExecuteSql(fixture.path(), sql);
    const std::string before = ReadFileBytes(fixture.path());
    SQLite::Database db;
    EXPECT_FALSE(vx::OpenExperimentDb(db, fixture.experiment.file, {.checkType = true})) << sql;
    EXPECT_EQ(db.lastError(), vx::kForeignSchema);
    EXPECT_FALSE(vx::RunWriteTransaction(fixture.experiment.file, [](SQLite::Database& db) {
      db.Execute("insert into Protocols(Name) values ('p')");
    }));
    EXPECT_EQ(ReadFileBytes(fixture.path()), before) << sql;
  }
}

TEST(WriteTransaction, CommitsMarksModifiedAndReadsBackAsWritten) {
  ExperimentFixture fixture;
  vx::ExperimentFile& file = fixture.experiment.file;
  std::string value;
  EXPECT_FALSE(vx::GetExperimentSetting(file, "Units", value));
  EXPECT_FALSE(file.modified);
  const std::string text = "l'unit\xC3\xA9 \"mm\"; ||";
  EXPECT_TRUE(vx::SetExperimentSetting(file, "Units", text));
  EXPECT_TRUE(file.modified);
  EXPECT_TRUE(file.resultsMustRefresh);
  EXPECT_EQ(QueryValue(fixture.path(), "select Value from Infos where Name='Units'"), text);
  EXPECT_TRUE(vx::SetExperimentSetting(file, "Units", text + "2"));  // update, not a second row
  EXPECT_TRUE(vx::GetExperimentSetting(file, "Units", value));
  EXPECT_EQ(value, text + "2");
  EXPECT_EQ(QueryValue(fixture.path(), "select count(*) from Infos where Name='Units'"), "1");
  EXPECT_TRUE(vx::SetExperimentSetting(file, "it's", "x"));
  EXPECT_TRUE(vx::GetExperimentSetting(file, "it's", value));
  EXPECT_EQ(value, "x");
  EXPECT_TRUE(fixture.services.notifier.notifications.empty());
}

TEST(WriteTransaction, BusyFileFailsWithCodeFiveAndWritesNothing) {
  ExperimentFixture fixture;
  const std::string before = ReadFileBytes(fixture.path());
  SQLite::Database holder;  // another writer holding the file
  ASSERT_EQ(holder.Open(fixture.path()), SQLite::kOk);
  ASSERT_TRUE(holder.BeginTransaction());

  EXPECT_FALSE(vx::SetExperimentSetting(fixture.experiment.file, "Title", "never written"));
  // Eleven attempts, ten waits of 50 ms.
  EXPECT_EQ(fixture.services.clock.sleeps, std::vector<int>(10, 50));
  ASSERT_EQ(fixture.services.notifier.notifications.size(), 1u);
  const auto& message = fixture.services.notifier.notifications[0];
  EXPECT_EQ(message.messageId, vx::msg::kFileLocked);
  EXPECT_EQ(message.icon, vx::MessageIcon::Exclamation);
  EXPECT_NE(message.text.find("locked by another program"), std::string::npos) << message.text;
  EXPECT_FALSE(fixture.experiment.file.modified);
  holder.RollbackTransaction();
  holder.Close();
  EXPECT_EQ(ReadFileBytes(fixture.path()), before);
}

TEST(WriteTransaction, PatientWriteWaitsForALockAndSaysSo) {
  for (const int releasedAfterMs : {3000, -1}) {  // -1: never released
    ExperimentFixture fixture;
    const std::string before = ReadFileBytes(fixture.path());
    SQLite::Database holder;
    ASSERT_EQ(holder.Open(fixture.path()), SQLite::kOk);
    ASSERT_TRUE(holder.BeginTransaction());
    vx::testing::FakeClock& clock = fixture.services.clock;
    clock.onSleep = [&] {
      if (releasedAfterMs >= 0 && clock.SleptMs() >= releasedAfterMs && holder.IsOpen()) {
        holder.Close();
      }
    };
    const bool saved = vx::RunPatientWriteTransaction(
        fixture.experiment.file, 60000, [](SQLite::Database& db) {
          db.Execute("update Infos set Value='analysed' where Name='Title'");
        });
    EXPECT_EQ(saved, releasedAfterMs >= 0);
    EXPECT_TRUE(fixture.services.notifier.Saw(vx::msg::kWaitingForLock));
    if (saved) {
      EXPECT_LT(clock.SleptMs(), 4000);
      EXPECT_EQ(QueryValue(fixture.path(), "select Value from Infos where Name='Title'"),
                "analysed");
    } else {
      EXPECT_GE(clock.SleptMs(), 60000);
      EXPECT_LT(clock.SleptMs(), 62000);
      EXPECT_TRUE(fixture.services.notifier.Saw(vx::msg::kFileLocked));
      holder.Close();
      EXPECT_EQ(ReadFileBytes(fixture.path()), before);
    }
  }
}

TEST(WriteTransaction, ReadOnlyExperimentRollsBackSilently) {
  ExperimentFixture fixture;
  const std::string before = ReadFileBytes(fixture.path());
  fixture.experiment.file.readOnly = true;
  EXPECT_FALSE(vx::SetExperimentSetting(fixture.experiment.file, "Title", "read only"));
  EXPECT_TRUE(fixture.services.notifier.notifications.empty());
  EXPECT_FALSE(fixture.experiment.file.modified);
  EXPECT_EQ(QueryValue(fixture.path(), "select Value from Infos where Name='Title'"), "");
  EXPECT_EQ(ReadFileBytes(fixture.path()), before);
}

TEST(WriteTransaction, FailedStatementReportsMessage239AndRollsBackEverything) {
  ExperimentFixture fixture;
  const bool ok = vx::RunWriteTransaction(fixture.experiment.file, [](SQLite::Database& db) {
    db.Execute("insert into Infos(Name, Value) values ('Units', 'mm')");
    db.Execute("insert into NoSuchTable values (1)");
    db.Execute("insert into Infos(Name, Value) values ('After', 'x')");  // runs, rolled back
  });
  EXPECT_FALSE(ok);
  ASSERT_TRUE(fixture.services.notifier.Saw(vx::msg::kWriteFailed));
  const std::string text = fixture.services.notifier.notifications[0].text;
  EXPECT_NE(text.find("The modification was lost."), std::string::npos);
  EXPECT_NE(text.find("Error : 1 ( no such table: NoSuchTable )"), std::string::npos) << text;
  EXPECT_EQ(QueryValue(fixture.path(), "select count(*) from Infos where Name in ('Units','After')"),
            "0");
}

TEST(ReadTransaction, FailedQueryReportsMessage523) {
  ExperimentFixture fixture;
  std::string value = "unchanged";
  const bool ok = vx::RunReadTransaction(fixture.experiment.file, [&](SQLite::Database& db) {
    SQLite::TablePtr table = db.GetTable("select Value from Missing");
    ASSERT_TRUE(table);
    EXPECT_EQ(table->GetRowCount(), 0);  // a failed query reads as "not found"
  });
  EXPECT_FALSE(ok);
  ASSERT_EQ(fixture.services.notifier.notifications.size(), 1u);
  EXPECT_EQ(fixture.services.notifier.notifications[0].messageId, vx::msg::kReadFailed);
  EXPECT_NE(fixture.services.notifier.notifications[0].text.find(
                "An error occurs when reading the experiment file."),
            std::string::npos);
  EXPECT_EQ(value, "unchanged");
}

}  // namespace
