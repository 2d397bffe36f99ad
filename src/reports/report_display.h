// The display text of a report's values: in the report's own unit and precision (not the
// user's defaults), durations in the report's duration format.
//
//   speeds (0)                     speedUnit, "%s cm/s"...
//   distances (3, 16 to 19)        distanceUnit, "%s mm"...; distance per surface area as the
//                                  number alone in its 3..11 code
//   durations                      duration_format.h with durationFormat
//   percentages, counts, ranges    the number alone (counts without decimals in automatic)
// A negative latency or distance to a zone means "never": it shows as "-".
#pragma once

#include <string>

#include "measures/measure_definition.h"

namespace vx {

std::string DisplayResultValue(const MeasureDefinition& definition, double value);

// The same value as a number for a spreadsheet, in the same unit as the display text: a number
// (speed, distance, count, percentage...), a duration in seconds (per surface area scaled as the
// duration format says is left to the sheet's duration cell), or nothing where the display
// shows "-" or the measure has no number (entry events, images).
struct ResultNumber {
  enum Kind { kNone, kNumber, kDuration } kind = kNone;
  double value = 0;
};
ResultNumber ResultValueNumber(const MeasureDefinition& definition, double value);

// The unit the numbers of ResultValueNumber are in ("cm/s", "mm"...), "" for plain numbers and
// durations.
std::string ResultValueUnit(const MeasureDefinition& definition);

}  // namespace vx
