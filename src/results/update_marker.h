// The update marker of a result table exported to a workbook, in cell A2 of its first sheet.
//
// It records where the table was written, so that a later export of the same result table can
// rewrite that area and keep every other cell of the workbook (the user's notes, charts of the
// data, formulas beside the table). Its text is message 897 and five lines "name=value":
// "Velantrix Version", "FirstRow", "Rows" (header and data rows), "Cols", "ColsMax" (the widest
// row). A workbook is updatable when the text of its cell A1, lower-cased, contains "velantrix".
#pragma once

#include <string>

#include "results/workbook.h"

namespace vx {

struct UpdateArea {
  int version = 1;
  int firstRow = 0;
  int rows = 0;
  int cols = 0;
  int colsMax = 0;
};

std::string UpdateMarkerText(const UpdateArea& area);

// The area of a marker text; false when a line is missing, not "name=value", holds a value that
// is not a decimal number, or when the area is not one a sheet can hold (a damaged marker).
bool ParseUpdateMarker(const std::string& text, UpdateArea* area);

// Whether the first sheet's A1 names this program.
bool IsUpdatableWorkbook(const Workbook& book);

}  // namespace vx
