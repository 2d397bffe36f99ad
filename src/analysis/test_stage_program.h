// The stage program of each test of a batch analysis: the protocol's program, evaluated with
// what the test's measures use (its zones, its field values for choice zones, the protocol's
// inactivity delay, the experiment's displacement threshold and the zones' scale).
#pragma once

#include <memory>
#include <vector>

#include "analysis/batch_analysis.h"
#include "db/field.h"

namespace vx {

// A factory for BatchOptions::programFactory. fields: the experiment's field definitions
// (copied; they tell a choice zone which zone a test chose). A protocol whose diagram holds no
// event and no action records the whole video, as the default program does.
ProgramFactory StageProgramFactory(const std::vector<CField>& fields);

}  // namespace vx
