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

}  // namespace vx
