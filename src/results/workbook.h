// A spreadsheet workbook held in memory: named sheets of text, number and duration cells.
//
// Every export builds one of these and hands it to a file format (the XML workbook, the binary
// workbook, delimited text); the update mode reads an existing workbook into one, rewrites an
// area and saves it whole again, so the formats only ever read and write complete workbooks.
// Rows and columns count from 0, as in the spreadsheet libraries: cell A2 is row 1, column 0.
#pragma once

#include <string>
#include <vector>

namespace vx {

enum class CellKind { Empty, Text, Number, Duration };

// The two duration formats of the exports: "[h]:mm:ss" and "[h]:mm:ss.000".
enum class DurationFormat { WholeSeconds, Milliseconds };

const char* DurationFormatText(DurationFormat format);

struct Cell {
  CellKind kind = CellKind::Empty;
  std::string text;    // for Text
  double number = 0;   // for Number; for Duration, the duration in seconds
  DurationFormat durationFormat = DurationFormat::WholeSeconds;
};

class Sheet {
 public:
  explicit Sheet(std::string name) : name_(std::move(name)) {}

  const std::string& Name() const { return name_; }

  void WriteText(int row, int column, const std::string& text);
  void WriteNumber(int row, int column, double value);
  void WriteDuration(int row, int column, double seconds, DurationFormat format);
  void WriteCell(int row, int column, const Cell& cell);

  // The cell at (row, column); an empty cell outside what was written.
  const Cell& CellAt(int row, int column) const;
  // The text of a text cell, "" for any other kind.
  std::string ReadText(int row, int column) const;

  int RowCount() const { return static_cast<int>(rows_.size()); }
  // The number of columns of the widest row.
  int ColumnCount() const;
  // The last row holding a non-empty cell, -1 when the sheet is empty.
  int LastUsedRow() const;

  // Inserts `count` empty rows before `row`, moving the rows below down.
  void InsertRows(int row, int count);
  // Removes `count` rows from `row` on, moving the rows below up.
  void RemoveRows(int row, int count);
  // Empties the cells of rows firstRow..lastRow and columns firstColumn..lastColumn (inclusive).
  void ClearArea(int firstRow, int firstColumn, int lastRow, int lastColumn);

 private:
  Cell& Place(int row, int column);

  std::string name_;
  std::vector<std::vector<Cell>> rows_;
};

struct Workbook {
  std::vector<Sheet> sheets;

  Sheet& AddSheet(const std::string& name);
};

}  // namespace vx
