// Writing the binary workbook: the BIFF8 records inside a compound file's "Workbook" stream.
#include "results/workbook_files.h"

#include "results/biff8_workbook.h"
#include "results/ole2_file.h"

namespace vx {

bool WriteBinaryWorkbook(const std::string& path, const Workbook& book, std::string* error) {
  std::string stream;
  return EncodeBiff8Workbook(book, &stream, error) &&
         WriteCompoundFile(path, "Workbook", stream, error);
}

}  // namespace vx
