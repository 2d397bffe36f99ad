// What the commands say and leave behind when the experiment file meets a fault: a write cut
// by a killed program, another program holding the file, a file from elsewhere carrying
// triggers. Files are read back with plain SQL.
#include <gtest/gtest.h>

#include "cli_test_run.h"
#include "support/experiment_fixture.h"
#include "support/killed_writer.h"

namespace {

using Result = vx::cli::testing::RunResult;

class FileFaultsCli : public ::testing::Test {
 protected:
  void SetUp() override {
    exp = dir.File("exp.vxdb");
    ASSERT_EQ(Run({"new", exp}).status, 0);
    ASSERT_EQ(Run({"protocol", "add", exp, "--name", "Kept"}).status, 0);
  }
  Result Run(const std::vector<std::string>& args) {
    return vx::cli::testing::RunCommand(args, dir.File("settings.ini"));
  }
  static bool Has(const std::string& text, const std::string& part) {
    return text.find(part) != std::string::npos;
  }

  vx::testing::TempDir dir;
  std::string exp;
};

TEST_F(FileFaultsCli, AfterAKilledWriteTheNextCommandUndoesItAndCarriesOn) {
  ASSERT_TRUE(vx::testing::KillWriterMidTransaction(
      exp, "update Protocols set Name='Half written'"));
  const Result list = Run({"protocol", "list", exp});
  ASSERT_EQ(list.status, 0) << list.err;
  EXPECT_TRUE(Has(list.out, "Kept")) << list.out;
  EXPECT_TRUE(Has(list.err, "has been undone")) << list.err;
  EXPECT_FALSE(Has(list.err, "corrupted"));
  EXPECT_EQ(Run({"protocol", "list", exp}).err, "");  // said once, when it happened
}

TEST_F(FileFaultsCli, AFileHeldByAnotherProgramIsReportedLocked) {
  SQLite::Database holder;
  ASSERT_EQ(holder.Open(exp), SQLite::kOk);
  ASSERT_EQ(holder.Execute("BEGIN EXCLUSIVE"), SQLite::kOk);
  for (const std::vector<std::string>& args :
       {std::vector<std::string>{"protocol", "list", exp}, {"check", exp}, {"info", exp}}) {
    const Result run = Run(args);
    EXPECT_EQ(run.status, 1) << args[0];
    EXPECT_TRUE(Has(run.err, "locked by another program")) << run.err;
    EXPECT_FALSE(Has(run.err, "corrupted")) << run.err;
  }
  holder.Execute("ROLLBACK");
  // A writer that only reserved the file: our transactions (reads too) take the write lock.
  ASSERT_EQ(holder.Execute("BEGIN IMMEDIATE"), SQLite::kOk);
  for (const std::vector<std::string>& args :
       {std::vector<std::string>{"protocol", "list", exp}, {"protocol", "add", exp, "--name", "x"}}) {
    const Result run = Run(args);
    EXPECT_EQ(run.status, 1) << args[1];
    EXPECT_TRUE(Has(run.err, "locked by another program")) << run.err;
  }
}

}  // namespace
