#include "results/result_table_export.h"

#include <gtest/gtest.h>

#include "base/messages.h"
#include "results/workbook_files.h"
#include "support/fakes.h"
#include "support/temp_dir.h"

namespace vx {
namespace {

using testing::ReadFileBytes;
using testing::TempDir;
using testing::TestServices;
using testing::WriteFileBytes;

class ScriptedChooser : public UpdateChooser {
 public:
  explicit ScriptedChooser(std::vector<UpdateChoice> choices) : choices_(std::move(choices)) {}
  UpdateChoice Choose(const UpdateQuestion& question) override {
    questions.push_back(question);
    if (next_ >= choices_.size()) return UpdateChoice::kCancel;
    return choices_[next_++];
  }
  std::vector<UpdateQuestion> questions;

 private:
  std::vector<UpdateChoice> choices_;
  size_t next_ = 0;
};

// A header and `tests` rows: Id, then a value.
Sheet Table(int tests, int columns = 2) {
  Sheet table("t");
  for (int c = 0; c < columns; ++c) table.WriteText(0, c, "h" + std::to_string(c));
  for (int row = 1; row <= tests; ++row) {
    for (int c = 0; c < columns; ++c) table.WriteNumber(row, c, row * 100 + c);
  }
  return table;
}

Workbook Read(const std::string& path) {
  Workbook book;
  EXPECT_TRUE(ReadXmlWorkbook(path, &book, nullptr)) << path;
  return book;
}

struct Exported {
  TempDir dir;
  TestServices services;
  std::string path = dir.File("results.xlsx");
  ExportOutcome Export(const Sheet& table, std::vector<UpdateChoice> choices,
                       ScriptedChooser* seen = nullptr) {
    ScriptedChooser chooser(std::move(choices));
    const ExportOutcome outcome =
        ExportResultTable(path, "Velantrix - Time in zone", table, services.Bundle(), chooser);
    if (seen) *seen = chooser;
    return outcome;
  }
};

// The user's own cells around the table: a note beside it, a total below it.
void AddUserCells(const std::string& path) {
  Workbook book = Read(path);
  book.sheets[0].WriteText(3, 5, "note beside");
  book.sheets[0].WriteText(book.sheets[0].LastUsedRow() + 2, 0, "total below");
  book.AddSheet("Chart data").WriteNumber(0, 0, 7);
  ASSERT_TRUE(WriteXmlWorkbook(path, book, nullptr));
}

TEST(ResultTableExport, UpdateRewritesTheAreaAndMovesTheRowsBelowToFit) {
  Exported e;
  ASSERT_EQ(e.Export(Table(3), {}).status, ExportStatus::kSaved);
  AddUserCells(e.path);  // the total sits at row 2 + 4 + 1 = 7
  struct Step {
    int tests;
    int totalRow;
  };
  for (const Step step : {Step{5, 9}, Step{1, 5}}) {
    ScriptedChooser chooser({});
    const ExportOutcome outcome = e.Export(Table(step.tests), {UpdateChoice::kUpdate}, &chooser);
    ASSERT_EQ(outcome.status, ExportStatus::kSaved);
    EXPECT_TRUE(outcome.updated);
    ASSERT_EQ(chooser.questions.size(), 1u);
    EXPECT_TRUE(chooser.questions[0].rowsBelowMove);
    const Workbook book = Read(e.path);
    const Sheet& sheet = book.sheets[0];
    EXPECT_EQ(sheet.ReadText(2, 0), "h0");
    EXPECT_EQ(sheet.CellAt(2 + step.tests, 1).number, step.tests * 100 + 1);
    EXPECT_EQ(sheet.CellAt(3 + step.tests, 0).kind, CellKind::Empty);  // no stale row left
    EXPECT_EQ(sheet.ReadText(step.totalRow, 0), "total below");
    EXPECT_EQ(sheet.ReadText(3, 5), "note beside");
    EXPECT_EQ(book.sheets[1].CellAt(0, 0).number, 7);
    UpdateArea area;
    ASSERT_TRUE(ParseUpdateMarker(sheet.ReadText(1, 0), &area));
    EXPECT_EQ(area.firstRow, 2);
    EXPECT_EQ(area.rows, step.tests + 1);
  }
}

TEST(ResultTableExport, TheChoiceDecidesAndCancelLeavesTheFileAsItWas) {
  Exported e;
  ASSERT_EQ(e.Export(Table(2), {}).status, ExportStatus::kSaved);
  AddUserCells(e.path);
  const std::string before = ReadFileBytes(e.path);
  EXPECT_EQ(e.Export(Table(2), {UpdateChoice::kCancel}).status, ExportStatus::kCancelled);
  EXPECT_EQ(ReadFileBytes(e.path), before);

  // Help explains and asks again; a wider table meets the note beside the old area.
  ScriptedChooser chooser({});
  ASSERT_EQ(e.Export(Table(2, 6), {UpdateChoice::kHelp, UpdateChoice::kUpdate}, &chooser).status,
            ExportStatus::kSaved);
  EXPECT_TRUE(e.services.notifier.Saw(msg::kUpdateHelp));
  ASSERT_EQ(chooser.questions.size(), 2u);
  EXPECT_TRUE(chooser.questions[0].cellsOutsideNotEmpty);
  EXPECT_NE(chooser.questions[0].text.find(MessageText(msg::kCellsNotEmpty)), std::string::npos);

  ASSERT_EQ(e.Export(Table(2), {UpdateChoice::kReplace}).status, ExportStatus::kSaved);
  const Workbook replaced = Read(e.path);
  EXPECT_EQ(replaced.sheets.size(), 1u);
  EXPECT_EQ(replaced.sheets[0].LastUsedRow(), 4);
}

// A workbook that lost what makes it updatable is replaced, never half-updated.
TEST(ResultTableExport, AWorkbookWithoutAUsableMarkerIsReplacedWithoutAQuestion) {
  struct Case {
    const char* title;
    const char* marker;
    int warning;  // 0: none
  };
  const Case cases[] = {
      {"My own table", "", 0},
      {"VELANTRIX - results", "Used by\nFirstRow=2\nRows=x", msg::kMarkerDamaged},
      {"Velantrix", "m\nVelantrix Version=1\nFirstRow=0\nRows=3\nCols=2\nColsMax=2", msg::kMarkerDamaged},
  };
  for (const Case& c : cases) {
    Exported e;
    Workbook foreign;
    Sheet& sheet = foreign.AddSheet("S");
    sheet.WriteText(0, 0, c.title);
    sheet.WriteText(1, 0, c.marker);
    sheet.WriteText(40, 0, "old");
    ASSERT_TRUE(WriteXmlWorkbook(e.path, foreign, nullptr));
    ScriptedChooser chooser({});
    ASSERT_EQ(e.Export(Table(1), {}, &chooser).status, ExportStatus::kSaved) << c.title;
    EXPECT_TRUE(chooser.questions.empty()) << c.title;
    EXPECT_EQ(c.warning != 0, c.warning != 0 && e.services.notifier.Saw(c.warning)) << c.title;
    EXPECT_EQ(Read(e.path).sheets[0].LastUsedRow(), 3) << c.title;
  }
  // Not a workbook at all: replaced, with a warning naming the file.
  Exported e;
  WriteFileBytes(e.path, "not a zip");
  ASSERT_EQ(e.Export(Table(1), {}).status, ExportStatus::kSaved);
  EXPECT_TRUE(e.services.notifier.Saw(msg::kNotUpdatable));
}

TEST(ResultTableExport, ALockedTargetOrAFailedSaveLeavesTheOldFileWhole) {
  Exported e;
  ASSERT_EQ(e.Export(Table(2), {}).status, ExportStatus::kSaved);
  const std::string before = ReadFileBytes(e.path);

  WriteFileBytes(e.dir.File(".~lock.results.xlsx#"), ",user,host,01.01.2026 10:00,user;");
  ScriptedChooser chooser({});
  EXPECT_EQ(e.Export(Table(3), {UpdateChoice::kUpdate}, &chooser).status, ExportStatus::kLocked);
  EXPECT_TRUE(chooser.questions.empty());
  EXPECT_TRUE(e.services.notifier.Saw(msg::kFileLocked));
  std::remove(e.dir.File(".~lock.results.xlsx#").c_str());

  e.services.files.diskFull = true;  // the finished file cannot take the old one's place
  EXPECT_EQ(e.Export(Table(3), {UpdateChoice::kUpdate}).status, ExportStatus::kWriteFailed);
  EXPECT_TRUE(e.services.notifier.Saw(msg::kExportWriteFailed));
  EXPECT_EQ(ReadFileBytes(e.path), before);
  EXPECT_FALSE(e.services.files.Exists(e.path + ".part"));
}

TEST(ResultTableExport, TextIsAskedBeforeReplacingAndHoldsTheTableAlone) {
  Exported e;
  const std::string path = e.dir.File("results.CSV");
  Sheet table("t");
  table.WriteText(0, 0, "Test");
  table.WriteText(0, 1, "A ( in )");
  table.WriteText(1, 0, "mouse; \"left\"");
  table.WriteDuration(1, 1, 61.25, DurationFormat::Milliseconds);
  table.WriteNumber(2, 1, 0.1);
  ScriptedChooser chooser({});
  ASSERT_EQ(ExportResultTable(path, "Velantrix", table, e.services.Bundle(), chooser).status,
            ExportStatus::kSaved);
  EXPECT_EQ(ReadFileBytes(path),
            "\xEF\xBB\xBFTest;A ( in )\r\n\"mouse; \"\"left\"\"\";61.25\r\n;0.1\r\n");
  e.services.asker.answers = {Answer::No};
  table.WriteNumber(2, 1, 0.2);
  EXPECT_EQ(ExportResultTable(path, "Velantrix", table, e.services.Bundle(), chooser).status,
            ExportStatus::kCancelled);
  EXPECT_EQ(e.services.asker.questions.back().messageId, msg::kReplaceTextFile);
  EXPECT_NE(ReadFileBytes(path).find(";0.1\r\n"), std::string::npos);
}

}  // namespace
}  // namespace vx

namespace vx {
namespace {

// One test with one period and the given cell values.
std::vector<TestResult> OneTest(std::vector<double> values) {
  TestResult result;
  result.testId = 4;
  result.title = "mouse 4";
  result.periods = {"all"};
  for (size_t c = 0; c < values.size(); ++c) result.cells.push_back("Z" + std::to_string(c));
  result.values = std::move(values);
  return {result};
}

// The spreadsheet must hold what the result table shows: the same unit, durations as durations
// in the report's format, and nothing where the table shows "-".
TEST(ResultTableSheet, ValuesKeepTheReportsUnitsAndDurationFormats) {
  struct Case {
    int measure, speedUnit, durationFormat;
    double value;
    CellKind kind;
    double expected;
    DurationFormat format;
    const char* header;
  };
  const Case cases[] = {
      {kMeasureAverageSpeed, 1, 0, 125.0, CellKind::Number, 12.5, {}, "Z0 ( cm/s )"},
      {kMeasureTimeInZone, 0, 1, 61.25, CellKind::Duration, 61.25, DurationFormat::Milliseconds, "Z0"},
      {kMeasureTimeInZone, 0, 0, 61.25, CellKind::Duration, 61.25, DurationFormat::WholeSeconds, "Z0"},
      {kMeasureTimeInZone, 0, 3, 61.25, CellKind::Number, 61.25, {}, "Z0"},
      {kMeasureLatencyEntry, 0, 0, -1.0, CellKind::Empty, 0, {}, "Z0"},
      {kMeasureEntries, 0, 0, 3.0, CellKind::Number, 3.0, {}, "Z0"},
      // As read back from the cache, in single precision: the number the table shows.
      {kMeasureTimeInZone, 0, 3, 59.96f, CellKind::Number, 59.96, {}, "Z0"},
  };
  for (const Case& c : cases) {
    Report report;
    report.name = "r";
    report.definition.measure = c.measure;
    report.definition.speedUnit = c.speedUnit;
    report.definition.durationFormat = c.durationFormat;
    const std::vector<TestResult> results = OneTest({c.value});
    const Sheet sheet = ResultTableSheet(Experiment(), report, results,
                                         BuildReportTable(report.definition, results));
    EXPECT_EQ(sheet.ReadText(0, 3), c.header) << c.measure;
    EXPECT_EQ(sheet.CellAt(1, 0).number, 4);
    EXPECT_EQ(sheet.ReadText(1, 1), "mouse 4");
    const Cell& cell = sheet.CellAt(1, 3);
    EXPECT_EQ(cell.kind, c.kind) << c.measure << " " << c.durationFormat;
    EXPECT_DOUBLE_EQ(cell.number, c.expected) << c.measure;
    EXPECT_EQ(cell.durationFormat, c.format) << c.durationFormat;
  }
}

}  // namespace
}  // namespace vx
