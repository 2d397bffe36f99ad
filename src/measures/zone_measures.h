// The zone measures: time in zone (2, 12), entries (4), exits (5), longest, shortest and mean
// visit (6, 7, 8), latency to the first entry (9), entry events (13), visits (14), latency to
// the first presence (15), and the nearest and farthest distances of the centre (16, 17) and
// of the head (18, 19) to each zone. All walk the trajectory of zone_walk.h.
//
// Values after finalisation, per (period, cell):
// - 2, 6, 7, 8, 12: durations, shown by the column's value kind: 0 seconds; 1 percent of the
//   period's length; 2 percent of the sum over the period's cells; 3 seconds per mm² of the
//   cell's area; 4 seconds times the cell's share of the arena's area. A cell never visited
//   has 0 for the visits.
// - 4, 5, 14: counts. 13: no values; the table's text lists "period:signed zone id;" per entry
//   (the animal found in a zone when a period starts is listed with 0 for the period).
// - 9, 15: seconds from the period's start, -1 when never reached.
// - 16 to 19: mm, -1 when no position (with a head, for 18 and 19) was seen.
#pragma once

#include "measures/measure_definition.h"
#include "measures/measure_input.h"

namespace vx {

// Requires: definition.measure is one of the measures above.
void ComputeZoneMeasure(const MeasureDefinition& definition, const MeasureInput& input,
                        const MeasureSetup& setup, MeasureTable& table);

}  // namespace vx
