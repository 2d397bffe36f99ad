// Reading and writing whole workbooks in the two spreadsheet formats.
//
// The format is decided by the file name alone: a name ending in ".xls" (any case) is the
// binary workbook of the older office suites, every other name the XML workbook (".xlsx").
// Each function returns false and says why in *error when the file cannot be read or written;
// a write that fails may leave a partial file at `path`, so callers write to a temporary file
// and rename it over the target.
#pragma once

#include <string>

#include "results/workbook.h"

namespace vx {

enum class WorkbookKind { Binary, Xml };

WorkbookKind WorkbookKindForPath(const std::string& path);

bool ReadXmlWorkbook(const std::string& path, Workbook* book, std::string* error);
bool WriteXmlWorkbook(const std::string& path, const Workbook& book, std::string* error);

bool ReadBinaryWorkbook(const std::string& path, Workbook* book, std::string* error);
bool WriteBinaryWorkbook(const std::string& path, const Workbook& book, std::string* error);

}  // namespace vx
