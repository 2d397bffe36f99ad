// Reading a binary workbook through libfreexl, which checks the compound file and the records
// and hands back each cell already decoded (shared strings resolved, texts in UTF-8).
//
// libfreexl reports a cell whose number format shows a time with its own type and a text
// "HH:MM:SS": the days and the fractions of a second of the stored value are gone by then, so a
// duration read back is exact to the second below 24 hours. Dates come back as their text.
// libfreexl also refuses a text spread over three records of the string table (over ~8 200
// characters), which the writer produces and other readers accept.
#include <freexl.h>

#include <cstdio>
#include <memory>

#include "base/text.h"
#include "results/sheet_limits.h"
#include "results/workbook_files.h"

namespace vx {

namespace {

struct FreexlCloser {
  void operator()(const void* handle) const { freexl_close(handle); }
};
using FreexlHandle = std::unique_ptr<const void, FreexlCloser>;

std::string OpenFailure(int code) {
  switch (code) {
    case FREEXL_OK:  // with no handle: libfreexl 1.0.6 gives up so on some strings
      return "is damaged or holds a text longer than 8 200 characters";
    case FREEXL_FILE_NOT_FOUND:
      return "cannot be opened";
    case FREEXL_INSUFFICIENT_MEMORY:
      return "is too large to be read";
    case FREEXL_INVALID_CFBF_HEADER:
    case FREEXL_CFBF_INVALID_SIGNATURE:
      return "is not a binary workbook (.xls)";
    case FREEXL_BIFF_WORKBOOK_NOT_FOUND:
      return "holds no workbook";
    case FREEXL_UNSUPPORTED_CHARSET:
    case FREEXL_INVALID_CHARACTER:
      return "holds texts in an unknown character set";
    default:
      return "is damaged (libfreexl error " + std::to_string(code) + ")";
  }
}

// A time-formatted cell: "HH:MM:SS", the time of day of the stored value.
Cell TimeCell(const char* text) {
  int hours = 0, minutes = 0, seconds = 0;
  Cell cell;
  if (std::sscanf(text, "%d:%d:%d", &hours, &minutes, &seconds) != 3) {
    cell.kind = CellKind::Text;
    cell.text = text;
    return cell;
  }
  cell.kind = CellKind::Duration;
  cell.number = hours * 3600.0 + minutes * 60.0 + seconds;
  return cell;
}

Cell ToCell(const FreeXL_CellValue& value) {
  Cell cell;
  switch (value.type) {
    case FREEXL_CELL_INT:
      cell.kind = CellKind::Number;
      cell.number = value.value.int_value;
      break;
    case FREEXL_CELL_DOUBLE:
      cell.kind = CellKind::Number;
      cell.number = value.value.double_value;
      break;
    case FREEXL_CELL_TIME:
      return TimeCell(value.value.text_value);
    case FREEXL_CELL_TEXT:
    case FREEXL_CELL_SST_TEXT:
    case FREEXL_CELL_DATE:
    case FREEXL_CELL_DATETIME:
      cell.kind = CellKind::Text;
      cell.text = value.value.text_value != nullptr ? value.value.text_value : "";
      break;
    default:
      break;
  }
  return cell;
}

bool ReadSheet(const void* handle, unsigned index, Workbook& book, std::string& problem) {
  const char* name = nullptr;
  unsigned rows = 0;
  unsigned short columns = 0;
  if (freexl_get_worksheet_name(handle, static_cast<unsigned short>(index), &name) != FREEXL_OK ||
      freexl_select_active_worksheet(handle, static_cast<unsigned short>(index)) != FREEXL_OK ||
      freexl_worksheet_dimensions(handle, &rows, &columns) != FREEXL_OK) {
    problem = Format("has a damaged sheet %u", index + 1);
    return false;
  }
  if (rows > static_cast<unsigned>(MaxSheetRows(WorkbookKind::Binary)) ||
      columns > MaxSheetColumns(WorkbookKind::Binary)) {
    problem = Format("has a sheet of %u rows and %u columns, more than a binary workbook holds",
                     rows, unsigned{columns});
    return false;
  }
  Sheet& sheet = book.AddSheet(name != nullptr ? name : "");
  for (unsigned row = 0; row < rows; ++row) {
    for (unsigned short column = 0; column < columns; ++column) {
      FreeXL_CellValue value;
      if (freexl_get_cell_value(handle, row, column, &value) != FREEXL_OK) continue;
      const Cell cell = ToCell(value);
      if (cell.kind != CellKind::Empty) {
        sheet.WriteCell(static_cast<int>(row), static_cast<int>(column), cell);
      }
    }
  }
  return true;
}

}  // namespace

bool ReadBinaryWorkbook(const std::string& path, Workbook* book, std::string* error) {
  const void* opened = nullptr;
  const int code = freexl_open(path.c_str(), &opened);
  FreexlHandle handle(opened);
  unsigned sheetCount = 0;
  unsigned password = 0;
  std::string problem;
  if (code != FREEXL_OK || opened == nullptr) {  // libfreexl says OK to some damaged files
    problem = OpenFailure(code);
  } else if (freexl_get_info(opened, FREEXL_BIFF_PASSWORD, &password) == FREEXL_OK &&
             password == FREEXL_BIFF_OBFUSCATED) {
    problem = "is protected by a password";
  } else if (freexl_get_info(opened, FREEXL_BIFF_SHEET_COUNT, &sheetCount) != FREEXL_OK) {
    problem = "is damaged";
  }
  Workbook result;
  for (unsigned i = 0; problem.empty() && i < sheetCount; ++i) ReadSheet(opened, i, result, problem);
  if (!problem.empty()) {
    if (error) *error = "'" + path + "' " + problem;
    return false;
  }
  *book = std::move(result);
  return true;
}

}  // namespace vx
