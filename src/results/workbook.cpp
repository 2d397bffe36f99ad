#include "results/workbook.h"

#include <algorithm>

namespace vx {

const char* DurationFormatText(DurationFormat format) {
  return format == DurationFormat::Milliseconds ? "[h]:mm:ss.000" : "[h]:mm:ss";
}

void Sheet::WriteText(int row, int column, const std::string& text) {
  Cell& cell = Place(row, column);
  cell = Cell{};
  cell.kind = CellKind::Text;
  cell.text = text;
}

void Sheet::WriteNumber(int row, int column, double value) {
  Cell& cell = Place(row, column);
  cell = Cell{};
  cell.kind = CellKind::Number;
  cell.number = value;
}

void Sheet::WriteDuration(int row, int column, double seconds, DurationFormat format) {
  Cell& cell = Place(row, column);
  cell = Cell{};
  cell.kind = CellKind::Duration;
  cell.number = seconds;
  cell.durationFormat = format;
}

void Sheet::WriteCell(int row, int column, const Cell& cell) {
  Place(row, column) = cell;
}

const Cell& Sheet::CellAt(int row, int column) const {
  static const Cell kEmpty;
  if (row < 0 || row >= RowCount() || column < 0) return kEmpty;
  const std::vector<Cell>& cells = rows_[row];
  return column < static_cast<int>(cells.size()) ? cells[column] : kEmpty;
}

std::string Sheet::ReadText(int row, int column) const {
  const Cell& cell = CellAt(row, column);
  return cell.kind == CellKind::Text ? cell.text : std::string();
}

int Sheet::ColumnCount() const {
  size_t widest = 0;
  for (const std::vector<Cell>& cells : rows_) widest = std::max(widest, cells.size());
  return static_cast<int>(widest);
}

int Sheet::LastUsedRow() const {
  for (int row = RowCount() - 1; row >= 0; --row) {
    for (const Cell& cell : rows_[row]) {
      if (cell.kind != CellKind::Empty) return row;
    }
  }
  return -1;
}

void Sheet::InsertRows(int row, int count) {
  if (count <= 0 || row < 0 || row >= RowCount()) return;  // nothing below to move
  rows_.insert(rows_.begin() + row, static_cast<size_t>(count), std::vector<Cell>());
}

void Sheet::RemoveRows(int row, int count) {
  if (count <= 0 || row < 0 || row >= RowCount()) return;
  const int end = std::min(RowCount(), row + count);
  rows_.erase(rows_.begin() + row, rows_.begin() + end);
}

void Sheet::ClearArea(int firstRow, int firstColumn, int lastRow, int lastColumn) {
  const int rowEnd = std::min(lastRow, RowCount() - 1);
  for (int row = std::max(firstRow, 0); row <= rowEnd; ++row) {
    std::vector<Cell>& cells = rows_[row];
    const int columnEnd = std::min(lastColumn, static_cast<int>(cells.size()) - 1);
    for (int column = std::max(firstColumn, 0); column <= columnEnd; ++column) {
      cells[column] = Cell{};
    }
  }
}

Cell& Sheet::Place(int row, int column) {
  if (row >= RowCount()) rows_.resize(static_cast<size_t>(row) + 1);
  std::vector<Cell>& cells = rows_[row];
  if (column >= static_cast<int>(cells.size())) cells.resize(static_cast<size_t>(column) + 1);
  return cells[column];
}

Sheet& Workbook::AddSheet(const std::string& name) {
  sheets.emplace_back(name);
  return sheets.back();
}

}  // namespace vx
