// Reading an XML workbook (".xlsx") back: a zip of XML parts, read with minizip and pugixml.
//
// A workbook given for update comes from anywhere, so nothing in it is trusted: the zip entries
// are read with a cap on their expanded size (a small entry that would expand to gigabytes is
// refused, whatever size its header claims), cell positions must lie inside a sheet, and the XML
// parser never loads a document type or an external entity. Only what the exports write is
// read back: texts (shared or inline), numbers, and the two duration formats as durations.
#include <minizip/unzip.h>
#include <pugixml.hpp>

#include <map>
#include <memory>

#include "results/sheet_limits.h"
#include "results/workbook_files.h"

namespace vx {

namespace {

constexpr uLong kMaxEntryBytes = 256u << 20;  // one expanded XML part
constexpr int kMaxSheets = 256;

using ZipHandle = std::unique_ptr<void, int (*)(unzFile)>;

// The expanded bytes of one entry; false when it is missing, damaged or too large.
bool ReadEntry(unzFile zip, const std::string& name, std::string* bytes, std::string* error) {
  if (unzLocateFile(zip, name.c_str(), 0) != UNZ_OK) {
    if (error) *error = "the workbook has no part '" + name + "'";
    return false;
  }
  unz_file_info info{};
  if (unzGetCurrentFileInfo(zip, &info, nullptr, 0, nullptr, 0, nullptr, 0) != UNZ_OK ||
      unzOpenCurrentFile(zip) != UNZ_OK) {
    if (error) *error = "the part '" + name + "' cannot be read";
    return false;
  }
  bytes->clear();
  char buffer[65536];
  int got = 0;
  while ((got = unzReadCurrentFile(zip, buffer, sizeof buffer)) > 0) {
    if (bytes->size() + static_cast<size_t>(got) > kMaxEntryBytes) {
      unzCloseCurrentFile(zip);
      if (error) *error = "the part '" + name + "' expands beyond what a workbook needs";
      return false;
    }
    bytes->append(buffer, static_cast<size_t>(got));
  }
  // A damaged stream or a wrong checksum.
  if (unzCloseCurrentFile(zip) != UNZ_OK || got < 0) {
    if (error) *error = "the part '" + name + "' is damaged";
    return false;
  }
  return true;
}

bool ParseEntry(unzFile zip, const std::string& name, pugi::xml_document* document,
                std::string* error) {
  std::string bytes;
  if (!ReadEntry(zip, name, &bytes, error)) return false;
  // parse_default leaves out the document type declaration, so no entity is ever defined.
  if (!document->load_buffer(bytes.data(), bytes.size(), pugi::parse_default)) {
    if (error) *error = "the part '" + name + "' is not well-formed XML";
    return false;
  }
  return true;
}

// All the text runs of a string item (<t> alone, or rich text runs <r><t>).
std::string ItemText(const pugi::xml_node& item) {
  std::string text;
  for (const pugi::xpath_node& t : item.select_nodes(".//*[local-name()='t']")) {
    text += t.node().text().get();
  }
  return text;
}

std::vector<std::string> SharedStrings(unzFile zip) {
  std::vector<std::string> strings;
  pugi::xml_document document;
  std::string ignored;
  // A workbook of numbers alone has no shared string part.
  if (!ParseEntry(zip, "xl/sharedStrings.xml", &document, &ignored)) return strings;
  for (const pugi::xml_node& item : document.document_element().children("si")) {
    strings.push_back(ItemText(item));
  }
  return strings;
}

// The duration format of each cell style index, for the styles that carry one.
std::map<int, DurationFormat> DurationStyles(unzFile zip) {
  std::map<int, DurationFormat> styles;
  pugi::xml_document document;
  std::string ignored;
  if (!ParseEntry(zip, "xl/styles.xml", &document, &ignored)) return styles;
  const pugi::xml_node root = document.document_element();
  std::map<int, DurationFormat> formats;  // numFmtId -> duration format
  for (const pugi::xml_node& format : root.child("numFmts").children("numFmt")) {
    const std::string code = format.attribute("formatCode").value();
    for (DurationFormat d : {DurationFormat::WholeSeconds, DurationFormat::Milliseconds}) {
      if (code == DurationFormatText(d)) formats[format.attribute("numFmtId").as_int(-1)] = d;
    }
  }
  int index = 0;
  for (const pugi::xml_node& xf : root.child("cellXfs").children("xf")) {
    const auto found = formats.find(xf.attribute("numFmtId").as_int(-1));
    if (found != formats.end()) styles[index] = found->second;
    ++index;
  }
  return styles;
}

// "B12" -> row 11, column 1; false for anything else or a place outside a sheet.
bool ParseReference(const char* reference, int* row, int* column) {
  long c = 0, r = 0;
  const char* p = reference;
  for (; *p >= 'A' && *p <= 'Z'; ++p) {
    c = c * 26 + (*p - 'A' + 1);
    if (c > MaxSheetColumns(WorkbookKind::Xml)) return false;
  }
  if (p == reference) return false;
  const char* digits = p;
  for (; *p >= '0' && *p <= '9'; ++p) {
    r = r * 10 + (*p - '0');
    if (r > MaxSheetRows(WorkbookKind::Xml)) return false;
  }
  if (p == digits || *p != '\0' || r < 1) return false;
  *row = static_cast<int>(r - 1);
  *column = static_cast<int>(c - 1);
  return true;
}

struct SheetContext {
  const std::vector<std::string>& strings;
  const std::map<int, DurationFormat>& durations;
};

// The cell a <c> element holds; false when it names a shared string that does not exist.
bool ReadCell(const pugi::xml_node& c, const SheetContext& context, Cell* cell) {
  const std::string type = c.attribute("t").value();
  const pugi::xml_node value = c.child("v");
  if (type == "s") {
    const int index = value.text().as_int(-1);
    if (index < 0 || index >= static_cast<int>(context.strings.size())) return false;
    cell->kind = CellKind::Text;
    cell->text = context.strings[index];
  } else if (type == "inlineStr") {
    cell->kind = CellKind::Text;
    cell->text = ItemText(c.child("is"));
  } else if (type == "str") {  // the cached text of a formula
    cell->kind = CellKind::Text;
    cell->text = value.text().get();
  } else if ((type.empty() || type == "n") && value) {
    const auto duration = context.durations.find(c.attribute("s").as_int(-1));
    cell->number = value.text().as_double();
    if (duration != context.durations.end()) {
      cell->kind = CellKind::Duration;
      cell->durationFormat = duration->second;
      cell->number *= 86400.0;  // days to seconds
    } else {
      cell->kind = CellKind::Number;
    }
  }
  return true;  // booleans, errors and empty cells are read as empty
}

bool ReadSheetCells(const pugi::xml_document& document, const SheetContext& context,
                    Sheet* sheet, std::string* error) {
  const pugi::xml_node data = document.document_element().child("sheetData");
  int row = -1;
  for (const pugi::xml_node& r : data.children("row")) {
    const int number = r.attribute("r").as_int(row + 2);  // counted from 1 when given
    if (number <= row + 1 || number > MaxSheetRows(WorkbookKind::Xml)) {
      if (error) *error = "the sheet '" + sheet->Name() + "' has rows out of order";
      return false;
    }
    row = number - 1;
    int column = -1;
    for (const pugi::xml_node& c : r.children("c")) {
      int cellRow = row, cellColumn = column + 1;
      const pugi::xml_attribute reference = c.attribute("r");
      if (reference && (!ParseReference(reference.value(), &cellRow, &cellColumn) ||
                        cellRow != row || cellColumn <= column)) {
        if (error) *error = "the sheet '" + sheet->Name() + "' has a misplaced cell";
        return false;
      }
      if (cellColumn >= MaxSheetColumns(WorkbookKind::Xml)) {
        if (error) *error = "the sheet '" + sheet->Name() + "' is wider than a sheet can be";
        return false;
      }
      column = cellColumn;
      Cell cell;
      if (!ReadCell(c, context, &cell)) {
        if (error) *error = "the sheet '" + sheet->Name() + "' names a text that is not there";
        return false;
      }
      if (cell.kind != CellKind::Empty) sheet->WriteCell(row, column, cell);
    }
  }
  return true;
}

// The zip path of a relationship's target, relative to the "xl" folder unless absolute.
std::string PartPath(const std::string& target) {
  if (!target.empty() && target.front() == '/') return target.substr(1);
  return "xl/" + target;
}

}  // namespace

bool ReadXmlWorkbook(const std::string& path, Workbook* book, std::string* error) {
  ZipHandle zip(unzOpen64(path.c_str()), unzClose);
  if (!zip) {
    if (error) *error = "the file is not an XML workbook (not a zip archive)";
    return false;
  }
  pugi::xml_document workbook, relations;
  if (!ParseEntry(zip.get(), "xl/workbook.xml", &workbook, error) ||
      !ParseEntry(zip.get(), "xl/_rels/workbook.xml.rels", &relations, error)) {
    return false;
  }
  std::map<std::string, std::string> targets;  // relationship id -> part path
  for (const pugi::xml_node& r : relations.document_element().children("Relationship")) {
    targets[r.attribute("Id").value()] = PartPath(r.attribute("Target").value());
  }
  const std::vector<std::string> strings = SharedStrings(zip.get());
  const std::map<int, DurationFormat> durations = DurationStyles(zip.get());
  const SheetContext context{strings, durations};
  Workbook read;
  for (const pugi::xml_node& s : workbook.document_element().child("sheets").children("sheet")) {
    if (static_cast<int>(read.sheets.size()) >= kMaxSheets) {
      if (error) *error = "the workbook has more sheets than any export writes";
      return false;
    }
    const auto target = targets.find(s.attribute("r:id").value());
    pugi::xml_document sheetDocument;
    if (target == targets.end() ||
        !ParseEntry(zip.get(), target->second, &sheetDocument, error)) {
      if (error && target == targets.end()) *error = "a sheet of the workbook has no part";
      return false;
    }
    Sheet& sheet = read.AddSheet(s.attribute("name").value());
    if (!ReadSheetCells(sheetDocument, context, &sheet, error)) return false;
  }
  *book = std::move(read);
  return true;
}

}  // namespace vx
