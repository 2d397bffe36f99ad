// A test's recorded behaviours as stored in TestsPoints.Behaviors.
//
// Layout, varints after the first byte (db/varint.h):
//   byte 1 (format version), protocol id, R (number of lists stored),
//   per list: behaviour id, further value, K, then K occurrences as
//             (start - previous end, end - start), the first measured from 0.
// Only lists of the set's protocol with at least one occurrence are stored; when none
// qualifies there is no blob (store NULL). Negative differences (overlapping occurrences) are
// stored as 0, like every other stored quantity.
#pragma once

#include <cstdint>
#include <span>
#include <vector>

#include "trajectory/rec_behavior.h"

namespace vx {

inline constexpr uint8_t kBehaviorBlobVersion = 1;

std::vector<uint8_t> WriteBehaviors(const RecordedBehaviors& behaviors);

// Decodes a blob read for a test of protocol protocolId. No bytes: an empty set, valid. A blob
// of another version or protocol, or one cut short, gives an empty set and false. On success
// the set and each list carry protocolId. Bytes after the R-th list are ignored.
bool ReadBehaviors(RecordedBehaviors& behaviors, std::span<const uint8_t> blob, int protocolId);

}  // namespace vx
