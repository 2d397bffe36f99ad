// The movement measures per zone and period, on the walk of zone_walk.h (a step counts for a
// cell when the animal was in the cell at the step's first position):
// - 0 average speed: path length / time in the cell, mm/s (0 without time);
// - 1 average speed by time slice, then the share of time per speed range (speed_ranges.h);
// - 3 distance by zone, mm, by value kind: 0 mm; 1 percent of the distance travelled in the
//   period; 2 percent of the sum over the period's cells; 3 mm per mm² of the cell's area;
//   4 mm times the cell's share of the arena's area;
// - 10 activity and 11 inactivity duration: the time in the cell whose steps end on an active
//   (inactive) point (inactivity.h, the protocol's delay), by value kind: 0 seconds; 1 percent
//   of the period's length; 2 percent of the time spent in the cell.
#pragma once

#include "measures/measure_definition.h"
#include "measures/measure_input.h"

namespace vx {

// Requires: definition.measure is 0, 1, 3, 10 or 11. For 1 the table holds, before the speed
// ranges are formed, the average speed of each period (slice) per cell.
void ComputeMovementMeasure(const MeasureDefinition& definition, const MeasureInput& input,
                            const MeasureSetup& setup, MeasureTable& table);

}  // namespace vx
