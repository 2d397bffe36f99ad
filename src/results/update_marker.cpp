#include "results/update_marker.h"

#include <map>

#include "base/messages.h"
#include "base/text.h"
#include "results/sheet_limits.h"

namespace vx {

namespace {

constexpr const char* kVersion = "Velantrix Version";
constexpr const char* kFirstRow = "FirstRow";
constexpr const char* kRows = "Rows";
constexpr const char* kCols = "Cols";
constexpr const char* kColsMax = "ColsMax";

// The non-negative decimal number of text, or -1.
int DecimalValue(const std::string& text) {
  if (text.empty() || text.size() > 9) return -1;
  int value = 0;
  for (char c : text) {
    if (c < '0' || c > '9') return -1;
    value = value * 10 + (c - '0');
  }
  return value;
}

}  // namespace

std::string UpdateMarkerText(const UpdateArea& area) {
  return Format("%s\n%s=%d\n%s=%d\n%s=%d\n%s=%d\n%s=%d", MessageText(msg::kUpdateMarker),
                kVersion, area.version, kFirstRow, area.firstRow, kRows, area.rows, kCols,
                area.cols, kColsMax, area.colsMax);
}

bool ParseUpdateMarker(const std::string& text, UpdateArea* area) {
  std::map<std::string, int> values;
  size_t start = text.find('\n');  // the first line is the warning to the user
  while (start != std::string::npos) {
    const size_t end = text.find('\n', start + 1);
    std::string line = text.substr(start + 1, end == std::string::npos ? end : end - start - 1);
    if (!line.empty() && line.back() == '\r') line.pop_back();
    const size_t equals = line.find('=');
    if (!line.empty()) {
      if (equals == std::string::npos) return false;
      values[line.substr(0, equals)] = DecimalValue(line.substr(equals + 1));
    }
    start = end;
  }
  UpdateArea read;
  for (auto [name, field] : {std::pair{kVersion, &read.version}, {kFirstRow, &read.firstRow},
                             {kRows, &read.rows}, {kCols, &read.cols}, {kColsMax, &read.colsMax}}) {
    const auto found = values.find(name);
    if (found == values.end() || found->second < 0) return false;
    *field = found->second;
  }
  // The table sits below the marker, inside a sheet.
  if (read.firstRow < 2 || read.rows < 1 || read.colsMax < read.cols ||
      read.firstRow + read.rows > MaxSheetRows(WorkbookKind::Xml) ||
      read.colsMax > MaxSheetColumns(WorkbookKind::Xml)) {
    return false;
  }
  *area = read;
  return true;
}

bool IsUpdatableWorkbook(const Workbook& book) {
  return !book.sheets.empty() &&
         ToLower(book.sheets[0].ReadText(0, 0)).find("velantrix") != std::string::npos;
}

}  // namespace vx
