#include "results/workbook.h"

#include <gtest/gtest.h>

#include "results/workbook_files.h"

namespace vx {
namespace {

// Writes "r<row>" in column 0 of rows 0..count-1.
Sheet NumberedRows(int count) {
  Sheet sheet("Feuil1");
  for (int row = 0; row < count; ++row) sheet.WriteText(row, 0, "r" + std::to_string(row));
  return sheet;
}

TEST(Workbook, RowsMoveAsTheUpdateModeNeeds) {
  Sheet sheet = NumberedRows(5);
  sheet.InsertRows(2, 2);
  EXPECT_EQ(sheet.ReadText(1, 0), "r1");
  EXPECT_EQ(sheet.CellAt(2, 0).kind, CellKind::Empty);
  EXPECT_EQ(sheet.ReadText(4, 0), "r2");
  EXPECT_EQ(sheet.LastUsedRow(), 6);

  sheet.RemoveRows(1, 3);  // r1 and the two inserted rows
  EXPECT_EQ(sheet.ReadText(1, 0), "r2");
  EXPECT_EQ(sheet.LastUsedRow(), 3);
  sheet.RemoveRows(3, 10);  // past the end: only what exists goes
  EXPECT_EQ(sheet.LastUsedRow(), 2);
}

TEST(Workbook, ClearingAnAreaKeepsTheCellsAroundIt) {
  Sheet sheet("s");
  for (int row = 0; row < 4; ++row) {
    for (int column = 0; column < 4; ++column) sheet.WriteNumber(row, column, row * 10 + column);
  }
  sheet.ClearArea(1, 1, 2, 2);
  EXPECT_EQ(sheet.CellAt(1, 1).kind, CellKind::Empty);
  EXPECT_EQ(sheet.CellAt(2, 2).kind, CellKind::Empty);
  EXPECT_EQ(sheet.CellAt(1, 0).number, 10);
  EXPECT_EQ(sheet.CellAt(1, 3).number, 13);
  EXPECT_EQ(sheet.CellAt(3, 2).number, 32);
  sheet.ClearArea(3, 0, 50, 50);  // an area past the sheet clears what is there
  EXPECT_EQ(sheet.LastUsedRow(), 2);
  EXPECT_EQ(sheet.ReadText(0, 0), "");  // a number is not text
}

TEST(Workbook, TheKindComesFromTheLastFourCharacters) {
  EXPECT_EQ(WorkbookKindForPath("/tmp/a.XLS"), WorkbookKind::Binary);
  EXPECT_EQ(WorkbookKindForPath("a.xls"), WorkbookKind::Binary);
  EXPECT_EQ(WorkbookKindForPath("a.xlsx"), WorkbookKind::Xml);
  EXPECT_EQ(WorkbookKindForPath("a.ods"), WorkbookKind::Xml);
  EXPECT_EQ(WorkbookKindForPath("xls"), WorkbookKind::Xml);
}

}  // namespace
}  // namespace vx
