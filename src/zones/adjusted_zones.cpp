#include "zones/adjusted_zones.h"

#include "zones/calibration.h"
#include "zones/zone_rows.h"

namespace vx {

namespace {

// rect moved so that its first corner is at (x, y); a line keeps its direction and length.
PixelRect MovedTo(const PixelRect& rect, int x, int y) {
  const int64_t dx = int64_t{x} - rect.left;
  const int64_t dy = int64_t{y} - rect.top;
  return {x, y, ClampToInt(rect.right + dx), ClampToInt(rect.bottom + dy)};
}

}  // namespace

void AdjustZones(ZoneSet& set, const TestAdjustment& adjustment) {
  for (const auto& zone : set.Zones()) {
    if (zone->IsCombined()) continue;
    PixelRect rect = zone->GetRect();
    if (zone->IsMovable()) {
      if (const tObjectAdjust* placed = adjustment.FindObject(zone->id)) {
        rect = MovedTo(rect, placed->adjustedX, placed->adjustedY);
      }
    }
    rect = adjustment.MapRectToTest(rect);
    if (rect != zone->GetRect()) zone->MoveTo(rect);
  }
  for (tSecondaryArena& arena : set.secondaryArenas) arena.rect = adjustment.MapRectToTest(arena.rect);
  RefreshRuler(set, set.rulerLength, set.rulerUnit);
}

AdjustmentReading LoadTestZones(const CProtocol& protocol, const CInfosTest& test, ZoneSet& set) {
  LoadZoneSet(protocol, set);
  AdjustmentReading reading = ParseAdjustment(test.adjustArena, set);
  AdjustZones(set, reading.adjustment);
  return reading;
}

}  // namespace vx
