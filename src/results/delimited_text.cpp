#include "results/delimited_text.h"

#include <charconv>
#include <cmath>

#include "base/text.h"

namespace vx {

namespace {

bool EndsWith(const std::string& text, const char* ending) {
  const std::string lower = ToLower(text);
  const std::string tail(ending);
  return lower.size() >= tail.size() && lower.compare(lower.size() - tail.size(), tail.size(), tail) == 0;
}

std::string QuotedWhereNeeded(const std::string& text, char separator) {
  if (text.find_first_of(std::string("\"\r\n") + separator) == std::string::npos) return text;
  std::string quoted = "\"";
  for (char c : text) {
    quoted += c;
    if (c == '"') quoted += '"';
  }
  return quoted + '"';
}

std::string CellText(const Cell& cell, char separator) {
  switch (cell.kind) {
    case CellKind::Text:
      return QuotedWhereNeeded(cell.text, separator);
    case CellKind::Number:
    case CellKind::Duration:
      return std::isfinite(cell.number) ? NumberText(cell.number) : std::string();
    case CellKind::Empty:
      break;
  }
  return std::string();
}

}  // namespace

TextKind TextKindForPath(const std::string& path) {
  if (EndsWith(path, ".csv")) return TextKind::Semicolons;
  if (EndsWith(path, ".txt")) return TextKind::Tabs;
  return TextKind::None;
}

std::string NumberText(double value) {
  char text[32];
  const auto end = std::to_chars(text, text + sizeof text, value);
  return std::string(text, end.ptr);
}

std::string DelimitedText(const Sheet& sheet, TextKind kind) {
  const char separator = kind == TextKind::Tabs ? '\t' : ';';
  std::string text = "\xEF\xBB\xBF";
  const int rows = sheet.LastUsedRow() + 1;
  const int columns = sheet.ColumnCount();
  for (int row = 0; row < rows; ++row) {
    for (int column = 0; column < columns; ++column) {  // every row as wide as the widest
      if (column > 0) text += separator;
      text += CellText(sheet.CellAt(row, column), separator);
    }
    text += "\r\n";
  }
  return text;
}

}  // namespace vx
