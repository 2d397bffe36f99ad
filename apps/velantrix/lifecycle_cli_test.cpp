// The experiment lifecycle on the command line: every writing verb as one whole cycle on a
// working copy, a copy left by a crash, an experiment held by another program, and the verbs
// on whole files. Files are read back with plain SQL and libzip.
#include <gtest/gtest.h>
#include <zip.h>

#include "db/experiment_db.h"
#include "document/experiment_document.h"
#include "support/cli_experiment.h"

namespace {

using Result = vx::cli::testing::RunResult;
using vx::testing::QueryValue;

class LifecycleCli : public vx::cli::testing::CliExperiment {
 protected:
  std::string Animals() { return QueryValue(exp, "select group_concat(Name, ',') from Animals"); }
  // A program that wrote an animal into its working copy and is still running (or crashed,
  // once the document is gone).
  std::unique_ptr<vx::ExperimentDocument> Holder() {
    auto holder = std::make_unique<vx::ExperimentDocument>(services.Bundle());
    EXPECT_EQ(holder->OpenExperiment(exp), vx::DocumentResult::Ok);
    EXPECT_TRUE(vx::RunWriteTransaction(holder->experiment.file, [](SQLite::Database& db) {
      db.Execute("insert into Animals(Name) values('Unsaved')");
    }));
    return holder;
  }
  static bool Has(const std::string& text, const std::string& part) { return text.find(part) != std::string::npos; }

  vx::testing::TestServices services;
  std::string copy = dir.File("e.vxd~");
};

TEST_F(LifecycleCli, AWritingVerbSavesBackAndLeavesNoWorkingCopy) {
  ASSERT_EQ(Run({"animal", "add", exp, "--name", "Rex"}).status, 0);
  EXPECT_EQ(Animals(), "Rex");
  EXPECT_FALSE(services.files.Exists(copy));
  EXPECT_EQ(Run({"animal", "add", exp, "--name", ""}).status, 2);  // a refused verb saves nothing
  EXPECT_EQ(Animals(), "Rex");
}

TEST_F(LifecycleCli, ACopyLeftByACrashStopsWritingVerbsUntilAnswered) {
  Holder().reset();  // the program ends without closing
  const Result asked = Run({"animal", "add", exp, "--name", "B"});
  EXPECT_EQ(asked.status, 3) << asked.err;
  EXPECT_TRUE(Has(asked.err, "--recover")) << asked.err;
  EXPECT_EQ(Animals(), "");
  EXPECT_EQ(Run({"animal", "list", exp}).status, 0);  // reading verbs read the file itself
  const Result kept = Run({"--recover", "keep", "animal", "add", exp, "--name", "B"});
  ASSERT_EQ(kept.status, 0) << kept.err;
  EXPECT_EQ(Animals(), "Unsaved,B");

  Holder().reset();
  const Result discarded = Run({"recover", exp, "--discard"});
  ASSERT_EQ(discarded.status, 0) << discarded.err;
  EXPECT_TRUE(Has(discarded.out, "discarded"));
  EXPECT_EQ(Animals(), "Unsaved,B");
  EXPECT_FALSE(services.files.Exists(copy));
}

TEST_F(LifecycleCli, AnExperimentHeldByAnotherProgramIsInUseNotRecovered) {
  const auto holder = Holder();
  for (const std::vector<std::string>& args : {std::vector<std::string>{"--recover", "discard", "animal", "add", exp,
                                                                         "--name", "B"},
                                               {"recover", exp, "--discard"}, {"rename", exp, "Other"}}) {
    const Result run = Run(args);
    EXPECT_EQ(run.status, 1) << args[0];
    EXPECT_TRUE(Has(run.err, "in use by another program")) << run.err;
  }
  EXPECT_EQ(QueryValue(copy, "select Name from Animals"), "Unsaved");
  EXPECT_TRUE(holder->SaveExperiment());
  EXPECT_EQ(Animals(), "Unsaved");
}

TEST_F(LifecycleCli, RenameMovesTheCompanionFolderAndRefusesATakenName) {
  services.files.CreateDirectories(dir.File("e_files"));
  vx::testing::WriteFileBytes(dir.File("e_files/v.avi"), "frames");
  services.files.CreateDirectories(dir.File("Taken_files"));
  EXPECT_EQ(Run({"rename", exp, "Taken"}).status, 1);
  EXPECT_TRUE(services.files.Exists(exp));
  ASSERT_EQ(Run({"rename", exp, "Moved"}).status, 0);
  EXPECT_FALSE(services.files.Exists(exp));
  EXPECT_EQ(vx::testing::ReadFileBytes(dir.File("Moved_files/v.avi")), "frames");
  EXPECT_EQ(Run({"compact", dir.File("Moved.vxdb")}).status, 0);
}

TEST_F(LifecycleCli, ImportRefusesANewerOrDamagedFileAndLeavesItUntouched) {
  const std::string other = dir.File("other.vxdb");
  ASSERT_EQ(Run({"new", other}).status, 0);
  ASSERT_EQ(Run({"protocol", "add", other, "--name", "Open field"}).status, 0);
  vx::testing::ExecuteSql(other, "update Infos set Value='25' where Name='VersionDB'");
  const std::string newer = vx::testing::ReadFileBytes(other);
  const std::string damaged = dir.File("damaged.vxdb");
  vx::testing::WriteFileBytes(damaged, newer.substr(0, newer.size() / 2));
  for (const std::string& source : {other, damaged}) {
    const std::string before = vx::testing::ReadFileBytes(source);
    const Result run = Run({"import", exp, source});
    EXPECT_EQ(run.status, 1) << source;
    EXPECT_EQ(vx::testing::ReadFileBytes(source), before);
    EXPECT_EQ(QueryValue(exp, "select count(*) from Protocols"), "0");
  }
  vx::testing::ExecuteSql(other, "update Infos set Value='24' where Name='VersionDB'");
  EXPECT_EQ(Run({"import", exp, exp}).status, 1);
  ASSERT_EQ(Run({"import", exp, other}).status, 0);
  EXPECT_EQ(QueryValue(exp, "select Name from Protocols"), "Open field");
}

TEST_F(LifecycleCli, BackupWritesTheExperimentAndItsVideosIntoAZip) {
  ASSERT_EQ(Run({"animal", "add", exp, "--name", "Rex"}).status, 0);
  services.files.CreateDirectories(dir.File("e_files"));
  vx::testing::WriteFileBytes(dir.File("e_files/v.avi"), "frames");
  vx::testing::ExecuteSql(exp, "insert into Videos(Name, File) values('v', 'v.avi')");
  const std::string zipPath = dir.File("backup.zip");
  ASSERT_EQ(Run({"backup", exp, "--out", zipPath, "--videos"}).status, 0);
  int error = 0;
  zip_t* archive = zip_open(zipPath.c_str(), ZIP_RDONLY, &error);
  ASSERT_NE(archive, nullptr);
  EXPECT_GE(zip_name_locate(archive, "e.vxdb", 0), 0);
  EXPECT_GE(zip_name_locate(archive, "e_files/v.avi", 0), 0);
  zip_discard(archive);
  EXPECT_EQ(Run({"backup", exp, "--out", dir.File("missing/b.zip")}).status, 1);
  EXPECT_FALSE(services.files.Exists(dir.File("missing/b.zip.part~")));
}

}  // namespace
