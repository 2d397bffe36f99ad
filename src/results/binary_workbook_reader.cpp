// Reading a binary workbook through libfreexl, which checks the compound file and the records
// and hands back each cell already decoded (shared strings resolved, texts in UTF-8).
//
// libfreexl reports a cell whose number format shows a time with its own type and a text
// "HH:MM:SS", without the days and the fractions of a second of the stored value: durations
// take their value from our own pass over the records (biff8_scan.h). Dates come back as text.
// libfreexl also refuses a text spread over three records of the string table (over ~8 200
// characters), which the writer produces and other readers accept.
#include <freexl.h>

#include <cmath>
#include <cstdint>
#include <cstdio>
#include <fstream>
#include <iterator>
#include <memory>

#include "base/text.h"
#include "results/biff8_scan.h"
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
constexpr double kSecondsPerDay = 86400;

// Reads the records once on our own; false with the reason in *problem when libfreexl must not
// be given the file.
bool ScanFile(const std::string& path, Biff8Scan* scan, std::string* problem) {
  std::ifstream in(path, std::ios::binary);
  if (!in) {
    *problem = "cannot be opened";
    return false;
  }
  const std::string file((std::istreambuf_iterator<char>(in)), std::istreambuf_iterator<char>());
  std::string stream;
  if (!ReadCompoundStream(file, {"Workbook", "Book"}, &stream, problem)) return false;
  *scan = ScanBiff8Stream(stream);
  if (scan->claimedCells > kMaxClaimedCells) {
    *problem = Format("claims %llu cells, more than the %llu this program reads",
                      static_cast<unsigned long long>(scan->claimedCells),
                      static_cast<unsigned long long>(kMaxClaimedCells));
    return false;
  }
  return true;
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

// A time-formatted cell: its stored value when the scan found it, else libfreexl's "HH:MM:SS".
Cell TimeCell(const char* text, const StoredNumber* stored) {
  int hours = 0, minutes = 0, seconds = 0;
  Cell cell;
  if (stored != nullptr) {
    cell.kind = CellKind::Duration;
    // To the microsecond, so that a duration written in seconds comes back as the same double.
    cell.number = std::round(stored->value * kSecondsPerDay * 1e6) / 1e6;
    cell.durationFormat = stored->showsMilliseconds ? DurationFormat::Milliseconds : DurationFormat::WholeSeconds;
  } else if (std::sscanf(text, "%d:%d:%d", &hours, &minutes, &seconds) == 3) {
    cell.kind = CellKind::Duration;
    cell.number = hours * 3600.0 + minutes * 60.0 + seconds;
  } else {
    cell.kind = CellKind::Text;
    cell.text = text;
  }
  return cell;
}

Cell ToCell(const FreeXL_CellValue& value, const StoredNumber* stored) {
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
      return TimeCell(value.value.text_value, stored);
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

bool ReadSheet(const void* handle, unsigned index, const Biff8Scan& scan, Workbook& book,
               std::string& problem) {
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
  static const std::vector<StoredNumber> kNone;
  const auto found = scan.numbers.find(sheet.Name());
  const std::vector<StoredNumber>& numbers = found != scan.numbers.end() ? found->second : kNone;
  for (unsigned row = 0; row < rows; ++row) {
    for (unsigned short column = 0; column < columns; ++column) {
      FreeXL_CellValue value;
      if (freexl_get_cell_value(handle, row, column, &value) != FREEXL_OK) continue;
      const bool time = value.type == FREEXL_CELL_TIME;
      const Cell cell = ToCell(value, time ? FindStoredNumber(numbers, row, column) : nullptr);
      if (cell.kind != CellKind::Empty) {
        sheet.WriteCell(static_cast<int>(row), static_cast<int>(column), cell);
      }
    }
  }
  return true;
}

}  // namespace

bool ReadBinaryWorkbook(const std::string& path, Workbook* book, std::string* error) {
  std::string problem;
  Biff8Scan scan;
  const void* opened = nullptr;
  unsigned sheetCount = 0;
  if (ScanFile(path, &scan, &problem)) {
    const int code = freexl_open(path.c_str(), &opened);
    problem = OpenedProblem(opened, code, &sheetCount);
  }
  FreexlHandle handle(opened);
  Workbook result;
  for (unsigned i = 0; problem.empty() && i < sheetCount; ++i) ReadSheet(opened, i, scan, result, problem);
  if (!problem.empty()) {
    if (error) *error = "'" + path + "' " + problem;
    return false;
  }
  *book = std::move(result);
  return true;
}

}  // namespace vx
