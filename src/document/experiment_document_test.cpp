// The experiment document against the files it leaves on disk, read back with plain SQL: what
// reaches the experiment file and when, the working copy a crash leaves, another program
// holding the experiment, and a full or refusing disk.
#include "document/experiment_document.h"

#include <gtest/gtest.h>
#include <sys/stat.h>

#include "base/messages.h"
#include "db/experiment_db.h"
#include "support/experiment_fixture.h"

namespace vx {
namespace {

using testing::QueryValue;
using testing::ReadFileBytes;

class DocumentTest : public ::testing::Test {
 protected:
  Services services = fixture.services.Bundle();
  std::string AnimalCount(const std::string& file) { return QueryValue(file, "select count(*) from Animals"); }
  static bool AddAnimal(ExperimentDocument& document, const std::string& name) {
    return RunWriteTransaction(document.experiment.file, [&name](SQLite::Database& db) {
      db.Execute("insert into Animals(Name) values('" + name + "')");
    });
  }
  // A document that wrote an animal and stopped without closing, as a crash does.
  void LeaveWorkingCopy() {
    ExperimentDocument crashed(services);
    ASSERT_EQ(crashed.OpenExperiment(fixture.path()), DocumentResult::Ok);
    ASSERT_TRUE(AddAnimal(crashed, "Unsaved"));
  }
  std::string copy() const { return fixture.path().substr(0, fixture.path().size() - 1) + "~"; }

  testing::ExperimentFixture fixture;
};

TEST_F(DocumentTest, TheFileChangesOnlyWhenSavedAndClosingLeavesNoCopy) {
  ExperimentDocument document(services);
  ASSERT_EQ(document.OpenExperiment(fixture.path()), DocumentResult::Ok);
  ASSERT_TRUE(AddAnimal(document, "Rex"));
  EXPECT_EQ(AnimalCount(fixture.path()), "0");
  EXPECT_TRUE(document.ModifiedSinceSave());
  ASSERT_TRUE(document.SaveExperiment());
  EXPECT_EQ(AnimalCount(fixture.path()), "1");
  ASSERT_TRUE(AddAnimal(document, "Unsaved"));
  fixture.services.asker.answers = {Answer::No};  // message 677: do not save
  EXPECT_TRUE(document.CloseExperiment(true));
  EXPECT_EQ(AnimalCount(fixture.path()), "1");
  EXPECT_FALSE(fixture.services.files.Exists(copy()));
  EXPECT_FALSE(fixture.services.files.Exists(fixture.path() + ".saving~"));
}

// Saving on close renames the working copy over the file instead of copying it back: the file
// must come out with the change, the original's permissions, and nothing left beside it.
TEST_F(DocumentTest, SavingOnCloseMakesTheWorkingCopyTheFile) {
  ASSERT_EQ(chmod(fixture.path().c_str(), 0600), 0);
  ExperimentDocument document(services);
  ASSERT_EQ(document.OpenExperiment(fixture.path()), DocumentResult::Ok);
  ASSERT_TRUE(AddAnimal(document, "Rex"));
  struct stat copyStatus {}, fileStatus {};
  ASSERT_EQ(stat(copy().c_str(), &copyStatus), 0);
  ASSERT_TRUE(document.SaveAndCloseExperiment());
  ASSERT_EQ(stat(fixture.path().c_str(), &fileStatus), 0);
  EXPECT_EQ(fileStatus.st_ino, copyStatus.st_ino);
  EXPECT_EQ(fileStatus.st_mode & 0777, 0600u);
  EXPECT_EQ(AnimalCount(fixture.path()), "1");
  EXPECT_FALSE(document.IsOpen());
  EXPECT_FALSE(fixture.services.files.Exists(copy()));
  EXPECT_FALSE(fixture.services.files.Exists(fixture.path() + ".saving~"));
}

TEST_F(DocumentTest, ACopyLeftByACrashIsOfferedAndTheAnswerDecides) {
  const struct {
    Answer answer;
    DocumentResult result;
    const char* animals;  // in the file once the open is saved
    bool copyStays;
  } cases[] = {{Answer::Yes, DocumentResult::Ok, "1", false},
               {Answer::No, DocumentResult::Ok, "0", false},
               {Answer::Cancel, DocumentResult::Cancelled, "0", true}};
  for (const auto& c : cases) {
    LeaveWorkingCopy();
    fixture.services.asker.answers = {c.answer};
    ExperimentDocument document(services);
    ASSERT_EQ(document.OpenExperiment(fixture.path()), c.result);
    EXPECT_EQ(fixture.services.asker.questions.back().messageId, msg::kNotProperlySaved);
    if (document.IsOpen()) {
      EXPECT_TRUE(document.SaveExperiment(true));
      document.CloseExperiment(false);
    }
    EXPECT_EQ(AnimalCount(fixture.path()), c.animals) << static_cast<int>(c.answer);
    EXPECT_EQ(fixture.services.files.Exists(copy()), c.copyStays);
    fixture.services.files.RemoveFile(copy());
    testing::ExecuteSql(fixture.path(), "delete from Animals");
  }
}

TEST_F(DocumentTest, ACopyWhoseMakingWasInterruptedIsNeverSavedOverTheFile) {
  const std::string whole = ReadFileBytes(fixture.path());
  testing::WriteFileBytes(copy(), whole.substr(0, whole.size() / 2));
  fixture.services.asker.answers = {Answer::Yes};
  ExperimentDocument document(services);
  ASSERT_EQ(document.OpenExperiment(fixture.path()), DocumentResult::Ok);
  EXPECT_TRUE(fixture.services.notifier.Saw(msg::kLeftoverUnusable));
  EXPECT_FALSE(document.Recovered());
  EXPECT_TRUE(document.SaveExperiment(true));
  EXPECT_EQ(QueryValue(fixture.path(), "PRAGMA integrity_check"), "ok");
}

TEST_F(DocumentTest, ACopyHeldByAnotherProgramIsInUseNotALeftover) {
  ExperimentDocument holder(services);
  ASSERT_EQ(holder.OpenExperiment(fixture.path()), DocumentResult::Ok);
  ASSERT_TRUE(AddAnimal(holder, "Held"));
  ExperimentDocument second(services);
  EXPECT_EQ(second.OpenExperiment(fixture.path()), DocumentResult::InUse);
  EXPECT_TRUE(fixture.services.notifier.Saw(msg::kInUseByAnotherProgram));
  EXPECT_TRUE(fixture.services.asker.questions.empty());
  EXPECT_EQ(AnimalCount(copy()), "1");  // the holder's copy is untouched
  EXPECT_TRUE(holder.SaveExperiment());
  EXPECT_EQ(AnimalCount(fixture.path()), "1");
}

TEST_F(DocumentTest, AFullDiskNeverHalfWritesTheFile) {
  ExperimentDocument document(services);
  const std::string before = ReadFileBytes(fixture.path());
  fixture.services.files.diskFull = true;
  EXPECT_EQ(document.OpenExperiment(fixture.path()), DocumentResult::Failed);
  EXPECT_TRUE(fixture.services.notifier.Saw(msg::kCannotCopy));
  EXPECT_FALSE(document.IsOpen());
  EXPECT_EQ(fixture.services.files.FileSize(copy()), -1);

  fixture.services.files.diskFull = false;
  ASSERT_EQ(document.OpenExperiment(fixture.path()), DocumentResult::Ok);
  ASSERT_TRUE(AddAnimal(document, "Kept in the copy"));
  fixture.services.files.diskFull = true;
  EXPECT_FALSE(document.SaveExperiment());
  EXPECT_TRUE(fixture.services.notifier.Saw(msg::kSaveFailed));
  EXPECT_EQ(ReadFileBytes(fixture.path()), before);
  fixture.services.asker.answers = {Answer::Yes};
  EXPECT_FALSE(document.CloseExperiment(true)) << "a close that cannot save keeps the copy";
  fixture.services.files.diskFull = false;
  EXPECT_TRUE(document.SaveExperiment(true));
  EXPECT_EQ(AnimalCount(fixture.path()), "1");
}

TEST_F(DocumentTest, ARenameThatCannotMoveTheCompanionFolderChangesNothing) {
  const std::string folder = GetCompanionFolder(fixture.path());
  ASSERT_TRUE(fixture.services.files.CreateDirectories(folder));
  testing::WriteFileBytes(folder + "video.avi", "frames");
  ExperimentDocument document(services);
  ASSERT_EQ(document.OpenExperiment(fixture.path()), DocumentResult::Ok);
  fixture.services.files.immovable = fixture.path();  // the file's own move, the last one
  EXPECT_FALSE(document.RenameExperiment("Renamed"));
  EXPECT_EQ(ReadFileBytes(folder + "video.avi"), "frames");
  EXPECT_TRUE(fixture.services.files.Exists(copy()));
  EXPECT_FALSE(fixture.services.files.Exists(fixture.dir.File("Renamed.vxdb")));
  EXPECT_FALSE(fixture.services.files.Exists(fixture.dir.File("Renamed_files")));

  fixture.services.files.immovable.clear();
  ASSERT_TRUE(document.RenameExperiment("Renamed"));
  EXPECT_EQ(ReadFileBytes(fixture.dir.File("Renamed_files/video.avi")), "frames");
  ExperimentDocument second(services);  // the moved copy is still held
  EXPECT_EQ(second.OpenExperiment(fixture.dir.File("Renamed.vxdb")), DocumentResult::InUse);
}

}  // namespace
}  // namespace vx
