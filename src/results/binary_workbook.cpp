#include "results/workbook_files.h"

namespace vx {

bool ReadBinaryWorkbook(const std::string&, Workbook*, std::string* error) {
  if (error) *error = "the binary workbook cannot be read yet";
  return false;
}

bool WriteBinaryWorkbook(const std::string&, const Workbook&, std::string* error) {
  if (error) *error = "the binary workbook cannot be written yet";
  return false;
}

}  // namespace vx
