// The upgrade verb, and record verbs on files that are not current.
#include <gtest/gtest.h>

#include <sstream>

#include "cli_test_run.h"
#include "support/experiment_fixture.h"
#include "support/schema_history.h"

namespace {

using vx::testing::QueryValue;
using vx::testing::ReadFileBytes;

using Result = vx::cli::testing::RunResult;

class UpgradeCli : public ::testing::Test {
 protected:
  Result Run(const std::vector<std::string>& args, bool terminal = false,
             const std::string& input = "") {
    return vx::cli::testing::RunCommand(args, dir.File("settings.ini"), terminal, input);
  }
  std::string OldFile(int version) {
    const std::string path = dir.File("v" + std::to_string(version) + ".vxdb");
    EXPECT_TRUE(vx::testing::CreateFileAtVersion(path, version));
    vx::testing::ExecuteSql(path, "insert into Protocols(Name) values ('Old protocol')");
    return path;
  }
  std::string Version(const std::string& path) {
    return QueryValue(path, "select Value from Infos where Name='VersionDB'");
  }
  vx::testing::TempDir dir;
};

TEST_F(UpgradeCli, NeedsConfirmationWhenNotAtATerminal) {
  const std::string path = OldFile(12);
  const std::string before = ReadFileBytes(path);
  const Result refused = Run({"upgrade", path});
  EXPECT_EQ(refused.status, 3);
  EXPECT_NE(refused.err.find("--yes"), std::string::npos) << refused.err;
  EXPECT_TRUE(ReadFileBytes(path) == before);

  const Result done = Run({"upgrade", path, "--yes"});
  ASSERT_EQ(done.status, 0) << done.err;
  EXPECT_EQ(done.out, path + ": converted from schema version 12 to 24\n");
  EXPECT_EQ(Version(path), "24");
  const Result again = Run({"upgrade", path});
  EXPECT_EQ(again.status, 0);
  EXPECT_NE(again.out.find("already at schema version 24"), std::string::npos);
}

TEST_F(UpgradeCli, AsksAtATerminal) {
  const std::string path = OldFile(5);
  const std::string before = ReadFileBytes(path);
  EXPECT_EQ(Run({"upgrade", path}, true, "n\n").status, 3);
  EXPECT_TRUE(ReadFileBytes(path) == before);
  const Result yes = Run({"upgrade", path}, true, "y\n");
  EXPECT_EQ(yes.status, 0) << yes.err;
  EXPECT_NE(yes.err.find("[1207]"), std::string::npos);
  EXPECT_EQ(Version(path), "24");
  EXPECT_NE(Run({"protocol", "list", path}).out.find("Old protocol"), std::string::npos);
}

TEST_F(UpgradeCli, NewerAndForeignFilesAreRefusedUntouched) {
  const std::string newer = dir.File("newer.vxdb");
  ASSERT_EQ(Run({"new", newer}).status, 0);
  vx::testing::ExecuteSql(newer, "update Infos set Value='25' where Name='VersionDB'");
  const std::string before = ReadFileBytes(newer);
  const Result refused = Run({"upgrade", newer, "--yes"});
  EXPECT_EQ(refused.status, 1);
  EXPECT_NE(refused.err.find("created with a newer version"), std::string::npos);
  EXPECT_TRUE(ReadFileBytes(newer) == before);
  EXPECT_EQ(Run({"protocol", "add", newer, "--name", "x"}).status, 1);
  EXPECT_TRUE(ReadFileBytes(newer) == before);

  const std::string other = dir.File("other.db");
  vx::testing::ExecuteSql(other, "create table Customers(Id integer)");
  const std::string otherBefore = ReadFileBytes(other);
  EXPECT_EQ(Run({"upgrade", other, "--yes"}).status, 1);
  EXPECT_TRUE(ReadFileBytes(other) == otherBefore);
}

TEST_F(UpgradeCli, RecordVerbsWantACurrentFile) {
  const std::string path = OldFile(21);
  const std::string before = ReadFileBytes(path);
  const Result refused = Run({"animal", "add", path, "--name", "A"});
  EXPECT_EQ(refused.status, 1);
  EXPECT_NE(refused.err.find("velantrix upgrade"), std::string::npos) << refused.err;
  EXPECT_TRUE(ReadFileBytes(path) == before);
}

}  // namespace
