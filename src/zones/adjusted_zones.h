// The zones of one test: its protocol's zones as the test's arena adjustment places them.
//
// A test is detected, measured and drawn with these zones, never with the protocol's own:
// the arena found elsewhere in the test's video moves and scales every zone with it, and a
// movable zone sits where the test puts it. The rotation is not applied to the zones;
// positions are turned back by the zone tests instead (zones/arena_adjustment.h).
#pragma once

#include "db/protocol.h"
#include "db/test_record.h"
#include "zones/adjustment_text.h"
#include "zones/zone_set.h"

namespace vx {

// Applies adjustment to set, a copy of a protocol's zones: each movable zone placed by the
// adjustment first moves (size unchanged) so that its top-left corner is its adjusted
// position; then every zone but the combined ones, and every secondary arena, is mapped
// with MapRectToTest (a polygon's vertices follow its rectangle). Combined zones follow their
// components. The ruler moves and scales too, so the set's calibration becomes the test's.
void AdjustZones(ZoneSet& set, const TestAdjustment& adjustment);

// A test's zones: the protocol's zone set adjusted by the test's stored AdjustArena text.
// The reading is returned so that a stored text that does not parse can be reported (the
// zones are then the protocol's, unadjusted).
AdjustmentReading LoadTestZones(const CProtocol& protocol, const CInfosTest& test, ZoneSet& set);

}  // namespace vx
