// A sheet as delimited text: ";" between cells in a ".csv" file, a tab in a ".txt" file.
//
// Choices, so that the file reads back the same in a spreadsheet, R or Python:
//   - numbers with a point as decimal separator, no thousands separator, in the shortest form
//     that reads back as the same double (a spreadsheet in a comma-decimal locale reads them as
//     numbers when its text import is told the file is in English, the one setting that works
//     in every locale; a comma would be read as a thousands separator elsewhere);
//   - durations as a number of seconds (a clock text such as 0:01:01.250 would need the
//     locale's decimal separator too);
//   - texts quoted only when they hold the separator, a double quote or a line break, with
//     quotes doubled inside;
//   - UTF-8 with a byte order mark (without it, the common office suites take the text for the
//     system's legacy code page and break every accented name), lines ended by CR LF.
#pragma once

#include <string>

#include "results/workbook.h"

namespace vx {

enum class TextKind { None, Semicolons, Tabs };

// ".csv" (any case) -> Semicolons, ".txt" -> Tabs, anything else -> None (a workbook).
TextKind TextKindForPath(const std::string& path);

// The whole text of sheet (every row up to the last used one).
std::string DelimitedText(const Sheet& sheet, TextKind kind);

// A number as written in the text (shortest round-trip form, point as decimal separator).
std::string NumberText(double value);

}  // namespace vx
