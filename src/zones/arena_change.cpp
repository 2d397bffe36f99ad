#include "zones/arena_change.h"

#include <algorithm>
#include <cmath>

#include "base/text.h"
#include "db/test_analysis_store.h"
#include "zones/adjustment_text.h"

namespace vx {

namespace {

std::string CheckScale(cv::Point2d scale) {
  for (double factor : {scale.x, scale.y}) {
    if (!std::isfinite(factor) || factor < kMinArenaScale || factor > kMaxArenaScale) {
      return Format("the scale %g is outside %g to %g", factor, kMinArenaScale, kMaxArenaScale);
    }
  }
  return {};
}

// The size scaled, halves to even, never below one pixel.
int ScaledSize(int64_t size, double factor) {
  return std::max(1, SaturateToInt(std::nearbyint(static_cast<double>(size) * factor)));
}

bool MeetsImage(const PixelRect& rect, int width, int height) {
  if (width <= 0 || height <= 0) return true;  // no image size: nothing to check against
  return rect.right > 0 && rect.bottom > 0 && rect.left < width && rect.top < height;
}

}  // namespace

std::string ApplyArenaChange(const ArenaChange& change, const ZoneSet& protocolZones,
                             int arenaIndex, TestAdjustment& adjustment) {
  const PixelRect reference = protocolZones.ArenaRect(arenaIndex);
  if (reference.IsEmpty()) return "the protocol's arena has no area";
  const int angle = change.angle.value_or(adjustment.angle);
  if (std::abs(angle) > kMaxAdjustAngle) {
    return Format("the angle %d is outside -%d to %d degrees", angle, kMaxAdjustAngle, kMaxAdjustAngle);
  }
  PixelRect adjusted;
  if (change.rect) {
    adjusted = *change.rect;
    if (adjusted.IsEmpty()) return "the arena's rectangle must have its left before its right and its top before its bottom";
  } else {
    const bool moved = adjustment.MovesZones();
    cv::Point move = moved ? cv::Point(adjustment.adjusted.left - adjustment.reference.left,
                                       adjustment.adjusted.top - adjustment.reference.top)
                           : cv::Point(0, 0);
    cv::Point2d scale = moved ? cv::Point2d(adjustment.scaleX, adjustment.scaleY) : cv::Point2d(1, 1);
    if (change.move) move = *change.move;
    if (change.scale) {
      if (std::string problem = CheckScale(*change.scale); !problem.empty()) return problem;
      scale = *change.scale;
    }
    const int left = ClampToInt(int64_t{reference.left} + move.x);
    const int top = ClampToInt(int64_t{reference.top} + move.y);
    adjusted = {left, top, ClampToInt(int64_t{left} + ScaledSize(reference.Width(), scale.x)),
                ClampToInt(int64_t{top} + ScaledSize(reference.Height(), scale.y))};
  }
  if (!MeetsImage(adjusted, protocolZones.imageWidth, protocolZones.imageHeight)) {
    return Format("the arena would lie at (%d, %d, %d, %d), outside the %dx%d image", adjusted.left,
                  adjusted.top, adjusted.right, adjusted.bottom, protocolZones.imageWidth,
                  protocolZones.imageHeight);
  }
  adjustment.reference = reference;
  adjustment.adjusted = adjusted;
  adjustment.angle = angle;
  adjustment.Settle();
  return {};
}

void ClearArenaAdjustment(TestAdjustment& adjustment) {
  TestAdjustment cleared;
  cleared.objects = std::move(adjustment.objects);
  adjustment = std::move(cleared);
}

std::string PlaceMovableZone(const CDrawObj& zone, int x, int y, int angle, TestAdjustment& adjustment) {
  if (zone.IsCombined()) {
    return Format("zone %d ('%s') is a combined zone: place the movable zones it combines",
                  zone.id, zone.GetName().c_str());
  }
  if (!zone.IsMovable()) {
    return Format("zone %d ('%s') is not movable", zone.id, zone.GetName().c_str());
  }
  const PixelRect rect = zone.GetRect();
  const tObjectAdjust position{zone.id, rect.left, rect.top, x, y, angle};
  adjustment.SetObject(zone.id, &position);
  return {};
}

bool SaveTestAdjustment(Experiment& experiment, const CInfosTest& test,
                        const TestAdjustment& adjustment, const ZoneSet& protocolZones) {
  return SaveArenaAdjustment(experiment, test.id, FormatAdjustment(adjustment, protocolZones),
                             test.idArena);
}

}  // namespace vx
