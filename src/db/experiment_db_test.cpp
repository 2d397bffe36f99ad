// Opening the experiment file for one operation and ending its transactions: the failure
// paths a user can meet (busy file, read-only experiment, failing statements).
#include "db/experiment_db.h"

#include <gtest/gtest.h>

#include "base/messages.h"
#include "db/infos_store.h"
#include "support/experiment_fixture.h"

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
  EXPECT_EQ(message.messageId, vx::msg::kWriteFailed);
  EXPECT_EQ(message.icon, vx::MessageIcon::Exclamation);
  EXPECT_NE(message.text.find("Error : 5 ("), std::string::npos) << message.text;
  EXPECT_FALSE(fixture.experiment.file.modified);
  holder.RollbackTransaction();
  holder.Close();
  EXPECT_EQ(ReadFileBytes(fixture.path()), before);
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

TEST(WriteTransaction, InjectedCommitFailureLosesTheTransaction) {
  ExperimentFixture fixture;
  fixture.experiment.file.statementHook = [](const std::string& sql) {
    return sql == "COMMIT TRANSACTION" ? SQLite::kBusy : SQLite::kOk;
  };
  EXPECT_FALSE(vx::SetExperimentSetting(fixture.experiment.file, "Title", "lost"));
  EXPECT_TRUE(fixture.services.notifier.Saw(vx::msg::kWriteFailed));
  EXPECT_EQ(QueryValue(fixture.path(), "select Value from Infos where Name='Title'"), "");
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
