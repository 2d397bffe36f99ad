// Printing records as a readable table, as CSV or as JSON, the three output shapes of the
// command line. Numbers are printed with a point as decimal separator.
#pragma once

#include <ostream>
#include <string>
#include <vector>

namespace vx::cli {

enum class OutputFormat { Text, Csv, Json };

// One value of a record: a number (printed bare in JSON), a text, or a JSON literal.
struct Cell {
  enum Kind { Number, Text, Literal } kind = Text;
  std::string value;
  static Cell Int(long long v) { return {Number, std::to_string(v)}; }
  static Cell Real(double v, int decimals = 6);
  static Cell Str(std::string v) { return {Text, std::move(v)}; }
  static Cell Bool(bool v) { return {Literal, v ? "true" : "false"}; }
};

class RecordTable {
 public:
  explicit RecordTable(std::vector<std::string> columns) : columns_(std::move(columns)) {}
  void Add(std::vector<Cell> row) { rows_.push_back(std::move(row)); }
  void Print(std::ostream& out, OutputFormat format) const;
  const std::vector<std::string>& columns() const { return columns_; }

 private:
  std::vector<std::string> columns_;
  std::vector<std::vector<Cell>> rows_;
};

// JSON text helpers for commands whose output is not a flat list.
std::string JsonString(const std::string& text);  // quoted and escaped
std::string JsonNumber(double value);             // shortest exact form; null for NaN/inf
std::string CsvField(const std::string& text);    // quoted when it holds , " or a line break

}  // namespace vx::cli
