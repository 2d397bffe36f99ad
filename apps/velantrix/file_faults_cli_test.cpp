// What the commands say and leave behind when the experiment file meets a fault: a write cut
// by a killed program, another program holding the file, a file from elsewhere carrying
// triggers. Files are read back with plain SQL.
#include <gtest/gtest.h>

#include <algorithm>
#include <fstream>

#include "support/cli_experiment.h"
#include "support/killed_writer.h"

namespace {

using Result = vx::cli::testing::RunResult;

class FileFaultsCli : public vx::cli::testing::CliExperiment {
 protected:
  void SetUp() override {
    CliExperiment::SetUp();
    ASSERT_EQ(Run({"protocol", "add", exp, "--name", "Kept"}).status, 0);
  }
  static bool Has(const std::string& text, const std::string& part) {
    return text.find(part) != std::string::npos;
  }
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

// Every family of verbs opens the experiment the same way: a missing file is named and not
// created, a file of something else is refused and left byte for byte as it was.
TEST_F(FileFaultsCli, MissingAndForeignFilesAreRefusedByEveryVerb) {
  const std::string missing = dir.File("none.vxdb"), notes = dir.File("notes.vxdb");
  vx::testing::WriteFileBytes(notes, "not an experiment");
  const std::vector<std::vector<std::string>> verbs = {
      {"protocol", "list", "FILE"}, {"protocol", "add", "FILE", "--name", "P"},
      {"zone", "add", "FILE", "--protocol", "1", "--type", "rect", "--points", "1;1;2;2"},
      {"zone", "list", "FILE", "--protocol", "1"}, {"refimage", "list", "FILE"}, {"analyze", "FILE", "1"},
      {"trajectory", "FILE", "3"}, {"smoothing", "FILE", "1", "3", "mm"},
      {"measure", "FILE", "3", "--config", "5|12|0||0|-1|0|0|1|-2|0|0|"}, {"report", "run", "FILE", "1"},
      {"field", "list", "FILE"}, {"filter", "show", "FILE", "1"}, {"test", "list", "FILE"},
      {"upgrade", "FILE", "--yes"}, {"info", "FILE"}};
  std::vector<vx::cli::testing::Refusal> cases;
  for (std::vector<std::string> args : verbs) {
    *std::find(args.begin(), args.end(), "FILE") = missing;
    cases.push_back({args, 1, "does not exist"});
    *std::find(args.begin(), args.end(), missing) = notes;
    cases.push_back({args, 1, "notes.vxdb"});
  }
  vx::cli::testing::ExpectRefused([this](const auto& args) { return Run(args); }, notes, cases);
  EXPECT_FALSE(std::ifstream(missing).good());
}

}  // namespace
