// Which results a test's scored behaviours feed, so that storing a new scoring drops exactly
// the cached results it makes stale.
#pragma once

#include <vector>

#include "db/protocol.h"

namespace vx {

// The ids of a protocol's reports that show behaviour measures: their cached results must go
// when a test's scored behaviours change.
std::vector<int> BehaviorReportIds(const CProtocol& protocol);

}  // namespace vx
