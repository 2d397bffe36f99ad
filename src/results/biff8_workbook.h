// The records of a binary workbook (BIFF8, the format of the 1997-2003 office suites), built
// from an in-memory workbook: the globals (code page, fonts, number formats, cell formats,
// sheet list, shared strings) and one substream of cells per sheet.
//
// Texts are written as UTF-16, numbers as doubles, durations as days (seconds / 86 400) with
// the "[h]:mm:ss" or "[h]:mm:ss.000" format. A number that is not finite has no spreadsheet
// value and becomes the error cell #NUM!.
#pragma once

#include <string>

#include "results/workbook.h"

namespace vx {

// What a binary workbook can hold beyond the sheet sizes of results/sheet_limits.h.
constexpr int kBinaryWorkbookMaxSheetName = 31;  // UTF-16 characters
constexpr int kBinaryWorkbookMaxText = 32767;    // UTF-16 characters in one cell

// The Workbook stream of `book`, ready for the compound file. False with the reason in *error
// when the workbook does not fit the format: no sheet, a sheet name empty, longer than 31
// characters, holding one of []:*?/\ or used twice (case aside), a cell beyond row 65 536 or
// column 256, or a text longer than 32 767 characters.
bool EncodeBiff8Workbook(const Workbook& book, std::string* stream, std::string* error);

}  // namespace vx
