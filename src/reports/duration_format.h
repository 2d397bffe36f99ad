// How a report shows durations: the duration display codes 0 to 12 of a report column, and
// the number formats durations take in a spreadsheet.
//
// Durations are stored in seconds. Codes 4 to 12 show a duration per surface area: the value
// reaches them in seconds per mm² and codes 5, 8, 11 show it per cm² (×100), codes 6, 9, 12
// per m² (×1 000 000); 4, 7, 10 keep mm².
//
//   code        rounding        shown as
//   0           whole seconds   "%02d:%02d:%02d"           hours (may exceed 99), minutes, seconds
//   1, 4, 5, 6  milliseconds    "%02d:%02d:%02d %03d"      the same and the milliseconds
//   2, 7, 8, 9  whole seconds   "%d"                       seconds
//   3, 10-12    milliseconds    "%d.%03d"                  seconds and milliseconds
//
// Rounding adds half a unit (0.5 s or 0.0005 s) and truncates. A negative duration (a latency
// never reached is -1) is shown as its magnitude behind a minus sign. An unknown code shows as
// code 0.
#pragma once

#include <string>

namespace vx {

inline constexpr int kDurationFormatCount = 13;  // codes 0 to 12

// The display text of a duration in seconds (per mm² for codes 4 to 12).
std::string FormatDuration(double seconds, int code);

// The factor that turns seconds per mm² into the code's surface unit (1, 100 or 1 000 000).
double DurationSurfaceFactor(int code);

// True for the codes rounded to whole seconds (0, 2, 7, 8, 9).
bool DurationInWholeSeconds(int code);

// Spreadsheet number formats of durations, for cells holding days (seconds / 86 400).
inline constexpr const char* kSheetDurationSeconds = "[h]:mm:ss";
inline constexpr const char* kSheetDurationMilliseconds = "[h]:mm:ss.000";

// How a duration cell of a code is written to a spreadsheet: the clock codes (0, 1, 4 to 6) as
// a time of day count with one of the formats above; the others as a plain number of seconds
// (per surface for 7 to 12) with "0" or "0.000".
struct SheetDuration {
  double value = 0;          // days for a clock format, else the number shown
  const char* numberFormat = kSheetDurationSeconds;
};
SheetDuration SheetDurationCell(double seconds, int code);

}  // namespace vx
