// Writing a sheet row by row, left to right: the exports' tables are built this way.
#pragma once

#include <string>
#include <vector>

#include "results/workbook.h"

namespace vx {

class SheetRows {
 public:
  explicit SheetRows(Sheet& sheet) : sheet_(sheet) {}

  // A header row of texts.
  void Header(const std::vector<std::string>& labels);
  // Starts the next row.
  SheetRows& Row();

  SheetRows& Text(const std::string& text);
  SheetRows& Number(double value);
  SheetRows& Duration(double seconds, DurationFormat format);
  SheetRows& Skip();  // an empty cell

  int RowsWritten() const { return row_ + 1; }

 private:
  Sheet& sheet_;
  int row_ = -1;
  int column_ = 0;
};

}  // namespace vx
