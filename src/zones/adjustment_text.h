// The AdjustArena text of a test: its arena adjustment and the positions of its movable zones.
//
//   "2|ref left|top|right|bottom|adj left|top|right|bottom|angle|" then, per movable zone,
//   "zone id;x;y;adjusted x;adjusted y;angle|".
//
// An empty text means no adjustment. Version 0 texts stop after the rectangles, version 1
// after the angle; only version 2 carries zone positions.
#pragma once

#include <string>

#include "zones/test_adjustment.h"
#include "zones/zone_set.h"

namespace vx {

struct AdjustmentReading {
  // What the test is measured with: a malformed number anywhere gives no adjustment at all
  // (rectangles empty, angle 0, scales 1.0, no zone positions); an angle beyond ±45 is
  // clamped; positions of zones the protocol no longer has are dropped.
  TestAdjustment adjustment;
  // "" when the text is exactly what this program writes; otherwise why it is not (a text
  // typed by a user is refused for it, a stored one is reported).
  std::string problem;
};

// Reads text against the protocol's zones (set) that the zone positions must name.
AdjustmentReading ParseAdjustment(const std::string& text, const ZoneSet& set);

// The stored text, with the positions of the zones that set still has; "" for an adjustment
// that neither moves, turns nor places anything.
std::string FormatAdjustment(const TestAdjustment& adjustment, const ZoneSet& set);

}  // namespace vx
