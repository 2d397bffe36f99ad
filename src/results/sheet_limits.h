// The sizes a sheet can have in each workbook format, and the names a sheet may take.
#pragma once

#include <string>

#include "results/workbook.h"
#include "results/workbook_files.h"

namespace vx {

// 1 048 576 rows and 16 384 columns in the XML workbook, 65 536 rows and 256 columns in the
// binary one.
int MaxSheetRows(WorkbookKind kind);
int MaxSheetColumns(WorkbookKind kind);

// A sheet name both formats accept, unique in book: at most 31 characters (cut on a UTF-8
// character boundary), none of []:*?/\ (replaced by '_'), no apostrophe at either end, never
// empty; a name already taken (compared without case, as spreadsheets do) gets " (2)", " (3)"...
std::string UniqueSheetName(const std::string& wanted, const Workbook& book);

}  // namespace vx
