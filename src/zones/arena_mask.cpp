#include "zones/arena_mask.h"

#include <opencv2/core.hpp>

#include <algorithm>

namespace vx {

namespace {

// Masks out every hidden zone (drawn inverted and combined with a bitwise and).
void MaskHiddenZones(const ZoneSet& set, cv::Mat& mask, int angle, cv::Point centre,
                     cv::Point origin) {
  cv::Mat hiddenMask(mask.size(), CV_8UC1);
  for (const auto& zone : set.Zones()) {
    if (zone->hidden == 0 || zone->IsArenaOrRuler()) continue;
    zone->DrawMask(hiddenMask, angle, centre, true, origin);
    cv::bitwise_and(mask, hiddenMask, mask);
  }
}

bool HasHiddenZone(const ZoneSet& set) {
  return std::any_of(set.Zones().begin(), set.Zones().end(), [](const auto& zone) {
    return zone->hidden != 0 && !zone->IsArenaOrRuler();
  });
}

// Detection masks beyond this many pixels come from damaged geometry.
constexpr int64_t kMaxMaskPixels = int64_t{1} << 28;

}  // namespace

DetectionArea BuildDetectionArea(const ZoneSet& set, int arenaIndex, int angle, bool maskHiddenZones) {
  DetectionArea area;
  const CDrawObj* mainArena = set.MainArena();
  if (mainArena == nullptr) {
    area.rect = {0, 0, set.imageWidth, set.imageHeight};
    if (maskHiddenZones && HasHiddenZone(set) && !area.rect.IsEmpty() &&
        SaturatedProduct(area.rect.Width(), area.rect.Height()) <= kMaxMaskPixels) {
      area.mask = cv::Mat(static_cast<int>(area.rect.Height()), static_cast<int>(area.rect.Width()),
                          CV_8UC1, cv::Scalar(255));
      MaskHiddenZones(set, area.mask, 0, {0, 0}, {0, 0});
    }
    return area;
  }
  // A secondary arena is the main arena's shape placed in the secondary rectangle.
  std::unique_ptr<CDrawObj> placed = mainArena->Clone();
  placed->owner = nullptr;
  if (arenaIndex >= 0 && arenaIndex < static_cast<int>(set.secondaryArenas.size())) {
    placed->MoveTo(set.secondaryArenas[static_cast<size_t>(arenaIndex)].rect);
  }
  const PixelRect arena = placed->GetRect().Normalized();
  const cv::Point centre = placed->GetCenter();
  PixelRect rect = RotatedBounds(arena, centre, angle);
  rect.left = std::max(rect.left, 0);
  rect.top = std::max(rect.top, 0);
  area.rect = rect;
  if (rect.IsEmpty() || SaturatedProduct(rect.Width(), rect.Height()) > kMaxMaskPixels) return area;
  area.mask = cv::Mat(static_cast<int>(rect.Height()), static_cast<int>(rect.Width()), CV_8UC1);
  const cv::Point origin(rect.left, rect.top);
  placed->DrawMask(area.mask, angle, centre, false, origin);
  if (maskHiddenZones) MaskHiddenZones(set, area.mask, angle, centre, origin);
  return area;
}

}  // namespace vx
