// The experiment's lists as sheets, with the columns their lists show (animal list, test list,
// video list), header row first. Numbers stay numbers, in the user's display units for the
// per-test summary, and durations are spreadsheet durations.
#pragma once

#include "db/experiment.h"
#include "results/workbook.h"
#include "trajectory/display_units.h"

namespace vx {

Sheet AnimalListSheet(const Experiment& experiment);
Sheet TestListSheet(const Experiment& experiment, const DisplayUnits& units);
Sheet VideoListSheet(const Experiment& experiment);

}  // namespace vx
