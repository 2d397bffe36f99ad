#include "zones/test_adjustment.h"

#include <cmath>

namespace vx {

bool TestAdjustment::IsAdjusted() const { return MovesZones() || angle != 0; }

bool TestAdjustment::MovesZones() const { return !adjusted.IsEmpty() && adjusted != reference; }

void TestAdjustment::Settle() {
  if (!adjusted.IsEmpty() && !reference.IsEmpty()) {
    scaleX = static_cast<double>(adjusted.Width()) / static_cast<double>(reference.Width());
    scaleY = static_cast<double>(adjusted.Height()) / static_cast<double>(reference.Height());
    return;
  }
  scaleX = scaleY = 1.0;
  if (angle == 0) {
    adjusted = reference = PixelRect();
  } else {
    adjusted = reference;
  }
}

const tObjectAdjust* TestAdjustment::FindObject(int zoneId) const {
  for (const tObjectAdjust& object : objects) {
    if (object.zoneId == zoneId) return &object;
  }
  return nullptr;
}

void TestAdjustment::SetObject(int zoneId, const tObjectAdjust* position) {
  std::erase_if(objects, [zoneId](const tObjectAdjust& o) { return o.zoneId == zoneId; });
  if (position == nullptr) return;
  objects.push_back(*position);
  objects.back().zoneId = zoneId;
}

namespace {

// (value - origin) * scale + target, the offset rounded with halves away from zero.
int MapCoordinate(int value, int origin, double scale, int target) {
  return ClampToInt(int64_t{SaturateToInt((static_cast<double>(value) - origin) * scale)} + target);
}

// A size scaled, plus one half, rounded with halves to even (so 20.5 gives 20).
int64_t ScaleSize(int64_t size, double scale) {
  return SaturateToInt(std::nearbyint(static_cast<double>(size) * scale + 0.5));
}

}  // namespace

PixelRect TestAdjustment::MapRectToTest(const PixelRect& rect) const {
  if (!MovesZones()) return rect;
  PixelRect mapped;
  mapped.left = MapCoordinate(rect.left, reference.left, scaleX, adjusted.left);
  mapped.top = MapCoordinate(rect.top, reference.top, scaleY, adjusted.top);
  mapped.right = ClampToInt(mapped.left + ScaleSize(rect.Width(), scaleX));
  mapped.bottom = ClampToInt(mapped.top + ScaleSize(rect.Height(), scaleY));
  return mapped;
}

cv::Point TestAdjustment::MapPointToProtocol(cv::Point p) const {
  if (!MovesZones()) return p;
  // Divided rather than multiplied by the inverse, so that halves round as they should.
  const auto back = [](int value, int origin, double scale, int target) {
    return ClampToInt(int64_t{SaturateToInt((static_cast<double>(value) - origin) / scale)} + target);
  };
  if (scaleX != 0) p.x = back(p.x, adjusted.left, scaleX, reference.left);
  if (scaleY != 0) p.y = back(p.y, adjusted.top, scaleY, reference.top);
  return p;
}

}  // namespace vx
