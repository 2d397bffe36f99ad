// The export verb on the report file: workbooks read back with the core's reader, the update
// mode's answers from flags, and bad requests leaving the target as it was.
#include <gtest/gtest.h>

#include "cli_test_run.h"
#include "results/workbook_files.h"
#include "support/report_file.h"
#include "support/temp_dir.h"

namespace vx {
namespace {

using CliRun = cli::testing::RunResult;
using testing::ReadFileBytes;

class ExportCommand : public ::testing::Test {
 protected:
  CliRun Run(std::vector<std::string> args) {
    args.insert(args.begin(), {"export", file.path()});
    return cli::testing::RunCommand(args, file.fixture.dir.File("settings.ini"));
  }
  Workbook Read(const std::string& path) {
    Workbook book;
    EXPECT_TRUE(ReadXmlWorkbook(path, &book, nullptr));
    return book;
  }
  testing::ReportFile file;
  std::string out = file.fixture.dir.File("results.xlsx");
};

TEST_F(ExportCommand, AReportIsExportedThenUpdatedOnlyWhenTheFlagsSaySo) {
  const Report report = file.AddReport("Time in A", "5|12|0||3|-1|0|0|1|-2|0|0|");
  const std::string id = std::to_string(report.id);
  CliRun run = Run({id, "--out", out});
  ASSERT_EQ(run.status, 0) << run.err;
  Workbook book = Read(out);
  const Sheet& sheet = book.sheets[0];
  EXPECT_EQ(sheet.ReadText(0, 0), "Velantrix - Time in A");
  EXPECT_EQ(sheet.ReadText(2, 1), "Test");
  EXPECT_EQ(sheet.CellAt(3, 0).number, 3);  // tests 3, 4, 5: analysed, included, protocol 1
  EXPECT_EQ(sheet.CellAt(5, 0).number, 5);
  EXPECT_EQ(sheet.CellAt(3, 4).kind, CellKind::Number);  // "s.ms": seconds as a number
  EXPECT_DOUBLE_EQ(sheet.CellAt(4, 4).number, 0.9);      // test 4 sits in A for 900 ms

  const std::string before = ReadFileBytes(out);
  run = Run({id, "--out", out});  // no flag, no terminal: nothing may be written
  EXPECT_EQ(run.status, 3);
  EXPECT_EQ(ReadFileBytes(out), before);
  run = Run({id, "--out", out, "--filter", "99"});
  EXPECT_EQ(run.status, 1);
  EXPECT_EQ(ReadFileBytes(out), before);

  run = Run({id, "--out", out, "--update", "--json"});
  ASSERT_EQ(run.status, 0) << run.err;
  EXPECT_NE(run.out.find("\"updated\": true"), std::string::npos) << run.out;
}

TEST_F(ExportCommand, BadRequestsAreRefusedAndALockedTargetIsLeftAlone) {
  struct Case {
    std::vector<std::string> args;
    int status;
  };
  const Case cases[] = {
      {{"--tests", "--update", "--out", out}, 2},
      {{"3", "--tests", "--out", out}, 2},
      {{"--out", out}, 2},
      {{"3", "--events", "--analysis", "--out", out}, 2},
      {{"99", "--trajectory", "--out", out}, 1},
      {{"7", "--analysis", "--out", out}, 1},  // not analysed
      {{"99", "--out", out}, 1},               // no such report
  };
  for (const Case& c : cases) {
    const CliRun run = Run(c.args);
    EXPECT_EQ(run.status, c.status) << c.args[0] << " " << c.args[1] << ": " << run.err;
    EXPECT_FALSE(file.fixture.services.files.Exists(out)) << c.args[0];
  }
  testing::WriteFileBytes(out, "old");
  testing::WriteFileBytes(file.fixture.dir.File(".~lock.results.xlsx#"), "x");
  const CliRun locked = Run({"--tests", "--out", out});
  EXPECT_EQ(locked.status, 1);
  EXPECT_NE(locked.err.find("[279]"), std::string::npos) << locked.err;
  EXPECT_EQ(ReadFileBytes(out), "old");
}

// The kind comes from the name alone: the binary workbook and tab-separated text.
TEST_F(ExportCommand, TestDataReachEveryKindOfFile) {
  ASSERT_EQ(Run({"3", "--trajectory", "--out", file.fixture.dir.File("t.txt")}).status, 0);
  EXPECT_EQ(ReadFileBytes(file.fixture.dir.File("t.txt")).substr(3, 11), "Frame\tTime\t");
  ASSERT_EQ(Run({"3", "--trajectory", "--out", file.fixture.dir.File("t.XLS")}).status, 0);
  Workbook binary;
  ASSERT_TRUE(ReadBinaryWorkbook(file.fixture.dir.File("t.XLS"), &binary, nullptr));
  EXPECT_EQ(binary.sheets[0].CellAt(10, 0).number, 9);
}

}  // namespace
}  // namespace vx
