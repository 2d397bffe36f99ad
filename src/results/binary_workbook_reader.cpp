// Reading a binary workbook through libfreexl, which checks the compound file and the records
// and hands back each cell already decoded (shared strings resolved, texts in UTF-8).
//
// libfreexl reports a cell whose number format shows a time with its own type and a text
// "HH:MM:SS": the days and the fractions of a second of the stored value are gone by then, so a
// duration read back is exact to the second below 24 hours. Dates come back as their text.
// libfreexl also refuses a text spread over three records of the string table (over ~8 200
// characters), which the writer produces and other readers accept.
#include <freexl.h>

#include <cstdint>
#include <cstdio>
#include <fstream>
#include <iterator>
#include <memory>

#include "base/text.h"
#include "results/little_endian.h"
#include "results/ole2_reader.h"
#include "results/sheet_limits.h"
#include "results/workbook_files.h"

namespace vx {

namespace {

// libfreexl sets memory aside for every cell that a sheet's DIMENSIONS record claims, whatever
// the sheet holds: a 6 KB file claiming three full sheets costs it 800 MB and many seconds. The
// claims are added up before libfreexl sees the file. Four million cells (64 full-length
// columns) is far more than any export writes.
constexpr uint64_t kMaxClaimedCells = uint64_t{1} << 22;
constexpr uint16_t kDimensionsRecord = 0x0200;

uint64_t ClaimedCells(std::string_view stream) {
  using little_endian::Read16;
  using little_endian::Read32;
  uint64_t cells = 0;
  for (size_t at = 0; at + 4 <= stream.size(); at += 4 + Read16(stream, at + 2)) {
    const uint16_t length = Read16(stream, at + 2);
    if (Read16(stream, at) != kDimensionsRecord || at + 4 + length > stream.size()) continue;
    if (length >= 14) {  // 32-bit row numbers from BIFF8 on
      cells += uint64_t{Read32(stream, at + 8)} * Read16(stream, at + 14);
    } else if (length >= 10) {
      cells += uint64_t{Read16(stream, at + 6)} * Read16(stream, at + 10);
    }
  }
  return cells;
}

// "" when the file may be handed to libfreexl, otherwise what is wrong with it.
std::string CheckClaimedSize(const std::string& path) {
  std::ifstream in(path, std::ios::binary);
  if (!in) return "cannot be opened";
  const std::string file((std::istreambuf_iterator<char>(in)), std::istreambuf_iterator<char>());
  std::string stream, problem;
  if (!ReadCompoundStream(file, {"Workbook", "Book"}, &stream, &problem)) return problem;
  const uint64_t cells = ClaimedCells(stream);
  if (cells > kMaxClaimedCells) {
    return Format("claims %llu cells, more than the %llu this program reads",
                  static_cast<unsigned long long>(cells),
                  static_cast<unsigned long long>(kMaxClaimedCells));
  }
  return "";
}

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

// What keeps an opened workbook from being read, "" when nothing does.
std::string OpenedProblem(const void* handle, int code, unsigned* sheetCount) {
  unsigned password = 0;
  if (code != FREEXL_OK || handle == nullptr) return OpenFailure(code);  // OK without a handle too
  if (freexl_get_info(handle, FREEXL_BIFF_PASSWORD, &password) == FREEXL_OK &&
      password == FREEXL_BIFF_OBFUSCATED) {
    return "is protected by a password";
  }
  if (freexl_get_info(handle, FREEXL_BIFF_SHEET_COUNT, sheetCount) != FREEXL_OK) return "is damaged";
  return "";
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
  std::string problem = CheckClaimedSize(path);
  const void* opened = nullptr;
  unsigned sheetCount = 0;
  if (problem.empty()) {
    const int code = freexl_open(path.c_str(), &opened);
    problem = OpenedProblem(opened, code, &sheetCount);
  }
  FreexlHandle handle(opened);
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
