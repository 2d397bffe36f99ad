#include "results/sheet_rows.h"

namespace vx {

void SheetRows::Header(const std::vector<std::string>& labels) {
  Row();
  for (const std::string& label : labels) Text(label);
}

SheetRows& SheetRows::Row() {
  ++row_;
  column_ = 0;
  return *this;
}

SheetRows& SheetRows::Text(const std::string& text) {
  sheet_.WriteText(row_, column_++, text);
  return *this;
}

SheetRows& SheetRows::Number(double value) {
  sheet_.WriteNumber(row_, column_++, value);
  return *this;
}

SheetRows& SheetRows::Duration(double seconds, DurationFormat format) {
  sheet_.WriteDuration(row_, column_++, seconds, format);
  return *this;
}

SheetRows& SheetRows::Skip() {
  ++column_;
  return *this;
}

}  // namespace vx
