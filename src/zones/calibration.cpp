#include "zones/calibration.h"

#include <cmath>
#include <set>

#include "base/messages.h"

namespace vx {

double MmPerPixel(const ZoneSet& set) {
  const CDrawObj* ruler = set.Ruler();
  if (ruler == nullptr) return 0.0;
  const PixelRect r = ruler->GetRect();
  // As stored, so a ruler drawn right to left or bottom to top has negative extents; the
  // squares make that irrelevant.
  const double dx = static_cast<double>(r.Width());
  const double dy = static_cast<double>(r.Height());
  const double length = std::sqrt(dx * dx + dy * dy);
  if (length == 0) return 0.0;
  const double real = set.rulerUnit == 0 ? set.rulerLength * 10.0 : static_cast<double>(set.rulerLength);
  return real / length;
}

void RefreshRuler(ZoneSet& set, int rulerLength, int rulerUnit) {
  const CDrawObj* ruler = set.Ruler();
  if (ruler == nullptr) return;
  set.rulerLength = rulerLength;
  set.rulerUnit = rulerUnit;
  const PixelRect r = ruler->GetRect();
  set.rulerDx = ClampToInt(r.Width());
  set.rulerDy = ClampToInt(r.Height());
}

int ValidateZonesPage(const ZoneSet& set, int rulerLengthEntered) {
  if (const CDrawObj* ruler = set.Ruler()) {
    const PixelRect r = ruler->GetRect();
    if (r.left == r.right && r.top == r.bottom) return msg::kRulerEndsCoincide;
  }
  if (rulerLengthEntered < 1) return msg::kRulerLengthMissing;
  int arenas = 0;
  std::set<int> ids;
  for (const auto& zone : set.Zones()) {
    arenas += zone->isArena != 0 ? 1 : 0;
    if (!ids.insert(zone->id).second) return msg::kProtocolInconsistent;
  }
  return arenas > 1 ? msg::kProtocolInconsistent : 0;
}

}  // namespace vx
