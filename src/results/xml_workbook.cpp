// Writing the XML workbook (".xlsx") with libxlsxwriter.
//
// The library runs in its constant-memory mode: each row goes to a temporary file as soon as the
// next one starts, so a long trajectory costs the memory of one row, not of the whole sheet.
// In that mode texts are written inline in the cells rather than in a shared string table;
// every reader of the format (ours included) accepts both.
#include "results/workbook_files.h"

#include <xlsxwriter.h>

#include <algorithm>
#include <cctype>
#include <cmath>

#include "results/sheet_limits.h"

namespace vx {

namespace {

// Beyond this many cells the zip parts may pass 4 GB and need the ZIP64 extensions, which the
// library otherwise leaves out (older office suites warn about them).
constexpr long long kZip64Cells = 20'000'000;

long long CountCells(const Workbook& book) {
  long long cells = 0;
  for (const Sheet& sheet : book.sheets) {
    cells += static_cast<long long>(sheet.RowCount()) * sheet.ColumnCount();
  }
  return cells;
}

struct DurationFormats {
  lxw_format* wholeSeconds = nullptr;
  lxw_format* milliseconds = nullptr;
  lxw_format* For(DurationFormat format) const {
    return format == DurationFormat::Milliseconds ? milliseconds : wholeSeconds;
  }
};

lxw_error WriteCell(lxw_worksheet* sheet, int row, int column, const Cell& cell,
                    const DurationFormats& formats) {
  switch (cell.kind) {
    case CellKind::Empty:
      return LXW_NO_ERROR;
    case CellKind::Text:
      return worksheet_write_string(sheet, row, static_cast<lxw_col_t>(column), cell.text.c_str(),
                                    nullptr);
    case CellKind::Number:
      // A spreadsheet has no NaN or infinity: such a value is left out rather than written as
      // a text no reader takes back as a number.
      if (!std::isfinite(cell.number)) return LXW_NO_ERROR;
      return worksheet_write_number(sheet, row, static_cast<lxw_col_t>(column), cell.number,
                                    nullptr);
    case CellKind::Duration:
      if (!std::isfinite(cell.number)) return LXW_NO_ERROR;
      // Spreadsheets count time in days.
      return worksheet_write_number(sheet, row, static_cast<lxw_col_t>(column),
                                    cell.number / 86400.0, formats.For(cell.durationFormat));
  }
  return LXW_NO_ERROR;
}

bool WriteSheet(lxw_workbook* workbook, const Sheet& sheet, const DurationFormats& formats,
                std::string* error) {
  if (sheet.RowCount() > MaxSheetRows(WorkbookKind::Xml) ||
      sheet.ColumnCount() > MaxSheetColumns(WorkbookKind::Xml)) {
    if (error) *error = "the sheet '" + sheet.Name() + "' is larger than a workbook sheet can be";
    return false;
  }
  lxw_worksheet* target = workbook_add_worksheet(workbook, sheet.Name().c_str());
  if (target == nullptr) {
    if (error) *error = "the sheet name '" + sheet.Name() + "' is not allowed in a workbook";
    return false;
  }
  for (int row = 0; row < sheet.RowCount(); ++row) {
    for (int column = 0; column < sheet.ColumnCount(); ++column) {
      const lxw_error result = WriteCell(target, row, column, sheet.CellAt(row, column), formats);
      if (result != LXW_NO_ERROR) {
        if (error) *error = lxw_strerror(result);
        return false;
      }
    }
  }
  return true;
}

}  // namespace

WorkbookKind WorkbookKindForPath(const std::string& path) {
  if (path.size() < 4) return WorkbookKind::Xml;
  std::string ending = path.substr(path.size() - 4);
  std::transform(ending.begin(), ending.end(), ending.begin(),
                 [](unsigned char c) { return static_cast<char>(std::tolower(c)); });
  return ending == ".xls" ? WorkbookKind::Binary : WorkbookKind::Xml;
}

bool WriteXmlWorkbook(const std::string& path, const Workbook& book, std::string* error) {
  lxw_workbook_options options{};
  options.constant_memory = LXW_TRUE;
  options.use_zip64 = CountCells(book) > kZip64Cells ? LXW_TRUE : LXW_FALSE;
  lxw_workbook* workbook = workbook_new_opt(path.c_str(), &options);
  if (workbook == nullptr) {
    if (error) *error = "the workbook cannot be created";
    return false;
  }
  DurationFormats formats;
  formats.wholeSeconds = workbook_add_format(workbook);
  format_set_num_format(formats.wholeSeconds, DurationFormatText(DurationFormat::WholeSeconds));
  formats.milliseconds = workbook_add_format(workbook);
  format_set_num_format(formats.milliseconds, DurationFormatText(DurationFormat::Milliseconds));

  bool written = true;
  for (const Sheet& sheet : book.sheets) {
    if (!WriteSheet(workbook, sheet, formats, error)) {
      written = false;
      break;
    }
  }
  // A workbook holds at least one sheet.
  if (written && book.sheets.empty()) workbook_add_worksheet(workbook, nullptr);
  const lxw_error closed = workbook_close(workbook);  // writes the file, frees the workbook
  if (written && closed != LXW_NO_ERROR) {
    if (error) *error = lxw_strerror(closed);
    written = false;
  }
  return written;
}

}  // namespace vx
