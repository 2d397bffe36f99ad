// One measure definition computed for one test: the entry point of report columns and of the
// `measure` command.
//
// Dispatch: zone measures (2, 4 to 9, 12 to 19: zone_measures.h), movement measures (0, 1, 3,
// 10, 11: movement_measures.h, speed_ranges.h), behaviour measures (20 to 25: behavior.h).
// The image measures (26 to 28) are not computed here and give no result.
#pragma once

#include <cstdint>
#include <utility>
#include <vector>

#include "measures/measure_definition.h"
#include "measures/measure_input.h"

namespace vx {

// Fills table and returns its number of periods. 0, with an empty table, when nothing can be
// computed: no point in the analysed window (zone and movement measures), no zone or
// behaviour taking part, no period, or an image measure. Requires: input.trajectory and
// input.zones are set.
int ComputeMeasure(const MeasureDefinition& definition, const MeasureInput& input,
                   MeasureTable& table);

// The video times [start, end) in ms that the definition's periods cover in the input, as the
// measures divide it (an event-bounded period from the start condition's firing to the end
// condition's); empty when no period is formed.
std::vector<std::pair<int64_t, int64_t>> PeriodTimes(const MeasureDefinition& definition,
                                                    const MeasureInput& input);

}  // namespace vx
