// Saving an export to its target file, whatever its kind (".xlsx", ".xls", ".csv", ".txt").
//
// A target that another program holds open is refused (message 279): on this system the sign is
// the lock file the office suites leave beside a file they edit (".~lock.NAME#" for LibreOffice,
// "~$NAME" for Excel). Every save is written to a temporary file beside the target and renamed
// over it only once complete, so a failed save (message 505) leaves the old file as it was, and
// the temporary file is removed.
#pragma once

#include <string>

#include "base/platform.h"
#include "results/workbook.h"

namespace vx {

enum class SaveStatus { kSaved, kLocked, kWriteFailed };

// True when an office suite's lock file sits beside path.
bool IsHeldOpen(const std::string& path, const FileSystem& files);

// Writes book to path in the kind its name says: a workbook of every sheet, or the first sheet
// as delimited text. Tells the user through services.notifier when it fails; *reason (when
// given) says why in a few words.
SaveStatus SaveExport(const std::string& path, const Workbook& book, const Services& services,
                      std::string* reason = nullptr);

// Reads an existing workbook of either kind (by its name); false with *error when it cannot be
// read.
bool ReadExportWorkbook(const std::string& path, Workbook* book, std::string* error);

}  // namespace vx
