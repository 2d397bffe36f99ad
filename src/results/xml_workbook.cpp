#include "results/workbook_files.h"

#include <algorithm>
#include <cctype>

namespace vx {

WorkbookKind WorkbookKindForPath(const std::string& path) {
  if (path.size() < 4) return WorkbookKind::Xml;
  std::string ending = path.substr(path.size() - 4);
  std::transform(ending.begin(), ending.end(), ending.begin(),
                 [](unsigned char c) { return static_cast<char>(std::tolower(c)); });
  return ending == ".xls" ? WorkbookKind::Binary : WorkbookKind::Xml;
}

bool ReadXmlWorkbook(const std::string&, Workbook*, std::string* error) {
  if (error) *error = "the XML workbook cannot be read yet";
  return false;
}

bool WriteXmlWorkbook(const std::string&, const Workbook&, std::string* error) {
  if (error) *error = "the XML workbook cannot be written yet";
  return false;
}

}  // namespace vx
