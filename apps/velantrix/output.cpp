#include "output.h"

#include <algorithm>
#include <cmath>
#include <cstdio>

#include "base/text.h"

namespace vx::cli {

namespace {

// The columns a text takes on a terminal: one per character, not per byte ("Français", "cm²").
size_t DisplayWidth(const std::string& text) {
  return static_cast<size_t>(std::count_if(text.begin(), text.end(), [](char c) { return (c & 0xC0) != 0x80; }));
}

// A cell with no value: null in JSON, a blank field in CSV.
bool IsNull(const Cell& cell) { return cell.kind == Cell::Literal && cell.value == "null"; }

}  // namespace

Cell Cell::Real(double v, int decimals) {
  if (!std::isfinite(v)) return {Literal, "null"};
  return {Number, Format("%.*f", decimals, v)};
}

std::string JsonString(const std::string& text) {
  std::string out = "\"";
  for (unsigned char c : text) {
    switch (c) {
      case '"': out += "\\\""; break;
      case '\\': out += "\\\\"; break;
      case '\n': out += "\\n"; break;
      case '\r': out += "\\r"; break;
      case '\t': out += "\\t"; break;
      default:
        if (c < 0x20) {
          out += Format("\\u%04x", c);
        } else {
          out += static_cast<char>(c);
        }
    }
  }
  return out + "\"";
}

std::string JsonNumber(double value) {
  if (!std::isfinite(value)) return "null";
  // 17 significant digits always read back as the same double; shorter when it suffices.
  for (int digits = 6; digits <= 17; ++digits) {
    std::string text = Format("%.*g", digits, value);
    if (std::strtod(text.c_str(), nullptr) == value) return text;
  }
  return Format("%.17g", value);
}

std::string CsvField(const std::string& text) {
  if (text.find_first_of(",\"\n\r") == std::string::npos) return text;
  std::string out = "\"";
  for (char c : text) {
    out += c;
    if (c == '"') out += '"';
  }
  return out + "\"";
}

void RecordTable::Print(std::ostream& out, OutputFormat format) const {
  switch (format) {
    case OutputFormat::Json: {
      out << "[";
      for (size_t r = 0; r < rows_.size(); ++r) {
        out << (r == 0 ? "\n  {" : ",\n  {");
        for (size_t c = 0; c < columns_.size() && c < rows_[r].size(); ++c) {
          const Cell& cell = rows_[r][c];
          out << (c == 0 ? "" : ", ") << JsonString(columns_[c]) << ": "
              << (cell.kind == Cell::Text ? JsonString(cell.value) : cell.value);
        }
        out << "}";
      }
      out << (rows_.empty() ? "]\n" : "\n]\n");
      break;
    }
    case OutputFormat::Csv: {
      for (size_t c = 0; c < columns_.size(); ++c) out << (c ? "," : "") << CsvField(columns_[c]);
      out << '\n';
      for (const auto& row : rows_) {
        for (size_t c = 0; c < row.size(); ++c) {
          out << (c ? "," : "") << (IsNull(row[c]) ? "" : CsvField(row[c].value));  // a blank cell
        }
        out << '\n';
      }
      break;
    }
    case OutputFormat::Text: {
      std::vector<size_t> widths(columns_.size());
      for (size_t c = 0; c < columns_.size(); ++c) widths[c] = DisplayWidth(columns_[c]);
      for (const auto& row : rows_)
        for (size_t c = 0; c < row.size() && c < widths.size(); ++c)
          widths[c] = std::max(widths[c], DisplayWidth(row[c].value));
      auto printRow = [&](auto valueOf, size_t count) {
        std::string line;
        for (size_t c = 0; c < count; ++c) {
          std::string value = valueOf(c);
          if (c + 1 < count) value.append(widths[c] - std::min(widths[c], DisplayWidth(value)), ' ');
          line += (c ? "  " : "") + value;
        }
        out << line << '\n';
      };
      printRow([&](size_t c) { return columns_[c]; }, columns_.size());
      for (const auto& row : rows_) printRow([&](size_t c) { return row[c].value; }, row.size());
      break;
    }
  }
}

}  // namespace vx::cli
