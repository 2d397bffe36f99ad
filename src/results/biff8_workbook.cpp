#include "results/biff8_workbook.h"

#include <cmath>
#include <set>

#include "base/text.h"
#include "base/utf8.h"
#include "results/biff8_records.h"
#include "results/little_endian.h"
#include "results/sheet_limits.h"

namespace vx {

using little_endian::Append16;
using little_endian::Append32;
using little_endian::Append8;
using little_endian::AppendDouble;

namespace {

constexpr double kSecondsPerDay = 86400;

// Cell formats (XF indexes). The first 15 are the style formats every reader expects, the 16th
// the default cell format; ours follow.
constexpr uint16_t kStyleXfCount = 15;
constexpr uint16_t kGeneralXf = 15;
constexpr uint16_t kWholeSecondsXf = 16;
constexpr uint16_t kMillisecondsXf = 17;
// Custom number formats start at 164; the lower numbers are the built-in ones.
constexpr uint16_t kWholeSecondsFormat = 164;
constexpr uint16_t kMillisecondsFormat = 165;

constexpr uint8_t kNumError = 0x24;  // #NUM!

std::string Bof(uint16_t substreamType) {
  std::string data;
  Append16(data, 0x0600);  // BIFF8
  Append16(data, substreamType);
  Append16(data, 0x0DBB);  // build and year of the writing application, as readers expect
  Append16(data, 0x07CC);
  Append32(data, 0);
  Append32(data, 0x06);  // lowest version that can read the file: BIFF8
  return data;
}

std::string Record16(uint16_t value) {
  std::string data;
  Append16(data, value);
  return data;
}

std::string Window1() {
  std::string data;
  for (uint16_t value : {0, 0, 0x4000, 0x2000, 0x0038, 0, 0, 1, 0x0258}) Append16(data, value);
  return data;
}

std::string Font() {
  std::string data;
  for (uint16_t value : {200, 0, 0x7FFF, 400, 0}) Append16(data, value);  // 10 pt, normal weight
  Append32(data, 0);  // underline, family, character set, reserved
  return data + UnicodeString(u"Arial", true);
}

std::string FormatRecord(uint16_t number, DurationFormat format) {
  std::string data;
  Append16(data, number);
  return data + UnicodeString(Utf16FromUtf8(DurationFormatText(format)), false);
}

// A cell format record: font 0, the given number format, no borders or fill. For style formats
// the used-attributes bits mean the opposite of a cell format's, hence the two values.
std::string Xf(uint16_t numberFormat, bool style, uint8_t usedAttributes) {
  std::string data;
  Append16(data, 0);
  Append16(data, numberFormat);
  Append16(data, style ? 0xFFF5 : 0x0001);  // locked; a style has no parent, a cell has style 0
  Append8(data, 0x20);                      // aligned at the bottom
  Append8(data, 0);
  Append8(data, 0);
  Append8(data, usedAttributes);
  Append32(data, 0);
  Append32(data, 0);
  Append16(data, 0x20C0);  // automatic pattern colours
  return data;
}

// The sheet list entry; its stream offset is patched once the sheets are placed.
std::string BoundSheet(const std::string& name) {
  std::string data;
  Append32(data, 0);
  Append8(data, 0);  // visible
  Append8(data, 0);  // worksheet
  return data + UnicodeString(Utf16FromUtf8(name), true);
}

std::string Dimensions(int rows, int columns) {
  std::string data;
  Append32(data, 0);
  Append32(data, static_cast<uint32_t>(rows));
  Append16(data, 0);
  Append16(data, static_cast<uint16_t>(columns));
  Append16(data, 0);
  return data;
}

std::string Window2(bool active) {
  std::string data;
  // Grid, headers, zeros, outline symbols shown; the first sheet selected and active.
  Append16(data, active ? 0x06B6 : 0x00B6);
  for (uint16_t value : {0, 0, 0x40, 0, 0, 0}) Append16(data, value);
  Append32(data, 0);
  return data;
}

std::string CellHeader(int row, int column, uint16_t xf) {
  std::string data;
  Append16(data, static_cast<uint16_t>(row));
  Append16(data, static_cast<uint16_t>(column));
  Append16(data, xf);
  return data;
}

void WriteCell(Biff8Stream& out, SharedStrings& strings, int row, int column, const Cell& cell) {
  if (cell.kind == CellKind::Text) {
    std::string data = CellHeader(row, column, kGeneralXf);
    Append32(data, strings.Index(cell.text));
    out.Record(biff8::kLabelSst, data);
    return;
  }
  const bool duration = cell.kind == CellKind::Duration;
  const uint16_t xf = !duration ? kGeneralXf
                      : cell.durationFormat == DurationFormat::Milliseconds ? kMillisecondsXf
                                                                             : kWholeSecondsXf;
  std::string data = CellHeader(row, column, xf);
  if (!std::isfinite(cell.number)) {
    Append8(data, kNumError);
    Append8(data, 1);  // an error, not a boolean
    out.Record(biff8::kBoolErr, data);
    return;
  }
  AppendDouble(data, duration ? cell.number / kSecondsPerDay : cell.number);
  out.Record(biff8::kNumber, data);
}

// The extent of a sheet's non-empty cells: one past the last row and column.
struct Extent {
  int rows = 0;
  int columns = 0;
};

Extent UsedExtent(const Sheet& sheet) {
  Extent extent;
  const int columns = sheet.ColumnCount();
  for (int row = 0; row < sheet.RowCount(); ++row) {
    for (int column = 0; column < columns; ++column) {
      if (sheet.CellAt(row, column).kind == CellKind::Empty) continue;
      extent.rows = row + 1;
      extent.columns = std::max(extent.columns, column + 1);
    }
  }
  return extent;
}

std::string SheetRecords(const Sheet& sheet, const Extent& extent, bool active,
                         SharedStrings& strings) {
  Biff8Stream out;
  out.Record(biff8::kBof, Bof(0x0010));
  out.Record(biff8::kDimensions, Dimensions(extent.rows, extent.columns));
  out.Record(biff8::kWindow2, Window2(active));
  for (int row = 0; row < extent.rows; ++row) {
    for (int column = 0; column < extent.columns; ++column) {
      // An empty text shows as an empty cell, and libfreexl refuses a file whose string
      // table holds an empty string, so it is not written at all.
      const Cell& cell = sheet.CellAt(row, column);
      if (cell.kind != CellKind::Empty && !(cell.kind == CellKind::Text && cell.text.empty())) {
        WriteCell(out, strings, row, column, cell);
      }
    }
  }
  out.Record(biff8::kEof, "");
  return std::move(out.Bytes());
}

bool CheckSheetName(const std::string& name, std::set<std::string>& seen, std::string* error) {
  const size_t length = Utf16FromUtf8(name).size();
  std::string problem;
  if (length == 0) {
    problem = "is empty";
  } else if (length > kBinaryWorkbookMaxSheetName) {
    problem = "is longer than 31 characters";
  } else if (name.find_first_of("[]:*?/\\") != std::string::npos) {
    problem = "holds one of the characters [ ] : * ? / \\";
  } else if (!seen.insert(ToLower(name)).second) {
    problem = "is used by two sheets";
  }
  if (!problem.empty() && error) *error = "the sheet name '" + name + "' " + problem;
  return problem.empty();
}

bool CheckSheetContent(const Sheet& sheet, const Extent& extent, std::string* error) {
  if (extent.rows > MaxSheetRows(WorkbookKind::Binary) ||
      extent.columns > MaxSheetColumns(WorkbookKind::Binary)) {
    if (error) {
      *error = vx::Format("the sheet '%s' has %d rows and %d columns; a binary workbook (.xls) "
                          "holds at most 65536 rows and 256 columns per sheet",
                          sheet.Name().c_str(), extent.rows, extent.columns);
    }
    return false;
  }
  for (int row = 0; row < extent.rows; ++row) {
    for (int column = 0; column < extent.columns; ++column) {
      const Cell& cell = sheet.CellAt(row, column);
      if (cell.kind == CellKind::Text && cell.text.size() > kBinaryWorkbookMaxText &&
          Utf16FromUtf8(cell.text).size() > kBinaryWorkbookMaxText) {
        if (error) {
          *error = vx::Format("the text of row %d, column %d of the sheet '%s' is longer than "
                              "the 32767 characters a cell can hold",
                              row + 1, column + 1, sheet.Name().c_str());
        }
        return false;
      }
    }
  }
  return true;
}

void WriteGlobals(Biff8Stream& out, const Workbook& book, const SharedStrings& strings,
                  std::vector<size_t>& sheetOffsetFields) {
  out.Record(biff8::kBof, Bof(0x0005));
  out.Record(biff8::kCodepage, Record16(1200));  // UTF-16
  out.Record(biff8::kWindow1, Window1());
  out.Record(biff8::kDateMode, Record16(0));  // dates count from 1900
  // Font 4 does not exist in this format (readers skip the index), so five fonts give 0..5.
  for (int i = 0; i < 5; ++i) out.Record(biff8::kFont, Font());
  out.Record(biff8::kFormat, FormatRecord(kWholeSecondsFormat, DurationFormat::WholeSeconds));
  out.Record(biff8::kFormat, FormatRecord(kMillisecondsFormat, DurationFormat::Milliseconds));
  out.Record(biff8::kXf, Xf(0, true, 0));
  for (int i = 1; i < kStyleXfCount; ++i) out.Record(biff8::kXf, Xf(0, true, 0xF4));
  out.Record(biff8::kXf, Xf(0, false, 0));
  out.Record(biff8::kXf, Xf(kWholeSecondsFormat, false, 0x04));  // 0x04: the number format is set
  out.Record(biff8::kXf, Xf(kMillisecondsFormat, false, 0x04));
  std::string normalStyle;
  Append16(normalStyle, 0x8000);  // built-in style on XF 0
  Append16(normalStyle, 0xFF00);  // "Normal", no outline level
  out.Record(biff8::kStyle, normalStyle);
  for (const Sheet& sheet : book.sheets) {
    sheetOffsetFields.push_back(out.Size() + 4);
    out.Record(biff8::kBoundSheet, BoundSheet(sheet.Name()));
  }
  strings.Write(out);
  out.Record(biff8::kEof, "");
}

}  // namespace

bool EncodeBiff8Workbook(const Workbook& book, std::string* stream, std::string* error) {
  if (book.sheets.empty()) {
    if (error) *error = "a workbook needs at least one sheet";
    return false;
  }
  std::set<std::string> names;
  SharedStrings strings;
  std::vector<std::string> sheets;
  for (size_t i = 0; i < book.sheets.size(); ++i) {
    const Sheet& sheet = book.sheets[i];
    const Extent extent = UsedExtent(sheet);
    if (!CheckSheetName(sheet.Name(), names, error) || !CheckSheetContent(sheet, extent, error)) {
      return false;
    }
    sheets.push_back(SheetRecords(sheet, extent, i == 0, strings));
  }
  Biff8Stream out;
  std::vector<size_t> sheetOffsetFields;
  WriteGlobals(out, book, strings, sheetOffsetFields);
  for (size_t i = 0; i < sheets.size(); ++i) {
    little_endian::Put32(out.Bytes(), sheetOffsetFields[i], static_cast<uint32_t>(out.Size()));
    out.Bytes().append(sheets[i]);
    std::string().swap(sheets[i]);
  }
  *stream = std::move(out.Bytes());
  return true;
}

}  // namespace vx
