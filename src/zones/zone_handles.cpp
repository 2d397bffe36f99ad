#include "zones/zone_handles.h"

#include <algorithm>
#include <cstdlib>
#include <limits>

#include "zones/draw_poly.h"
#include "zones/draw_rect.h"

namespace vx {

namespace {

constexpr int kFramedHandles = 8;
constexpr int kRoundnessHandle = 8;

// Corners and edge middles of r, clockwise from the top-left corner.
cv::Point FramedHandle(const PixelRect& r, int handle) {
  const int midX = static_cast<int>((int64_t{r.left} + r.right) / 2);
  const int midY = static_cast<int>((int64_t{r.top} + r.bottom) / 2);
  switch (handle) {
    case 0: return {r.left, r.top};
    case 1: return {midX, r.top};
    case 2: return {r.right, r.top};
    case 3: return {r.right, midY};
    case 4: return {r.right, r.bottom};
    case 5: return {midX, r.bottom};
    case 6: return {r.left, r.bottom};
    case 7: return {r.left, midY};
    default: return {0, 0};
  }
}

PixelRect DragFramedHandle(PixelRect r, int handle, cv::Point p) {
  if (handle == 0 || handle == 6 || handle == 7) r.left = p.x;
  if (handle == 2 || handle == 3 || handle == 4) r.right = p.x;
  if (handle == 0 || handle == 1 || handle == 2) r.top = p.y;
  if (handle == 4 || handle == 5 || handle == 6) r.bottom = p.y;
  return r;
}

cv::Point InsideImage(const CDrawObj& zone, cv::Point p) {
  if (zone.owner == nullptr || zone.owner->imageWidth < 1 || zone.owner->imageHeight < 1) return p;
  return {std::clamp(p.x, 0, zone.owner->imageWidth - 1), std::clamp(p.y, 0, zone.owner->imageHeight - 1)};
}

int64_t AreaForPicking(const CDrawObj& zone) {
  return zone.HasArea() ? zone.GetArea() : 0;  // an outline under the pointer beats any area
}

}  // namespace

int HandleCount(const CDrawObj& zone) {
  if (const auto* poly = dynamic_cast<const CDrawPoly*>(&zone)) return static_cast<int>(poly->Vertices().size());
  const auto* rect = dynamic_cast<const CDrawRect*>(&zone);
  if (rect == nullptr) return 0;
  if (rect->IsLine()) return 2;
  return rect->GetTypeRect() == kKindRoundRect ? kFramedHandles + 1 : kFramedHandles;
}

cv::Point HandlePoint(const CDrawObj& zone, int handle) {
  if (handle < 0 || handle >= HandleCount(zone)) return {0, 0};
  if (const auto* poly = dynamic_cast<const CDrawPoly*>(&zone)) return poly->Vertices()[handle];
  const auto& rect = static_cast<const CDrawRect&>(zone);
  const PixelRect r = rect.GetRect();
  if (rect.IsLine()) return handle == 0 ? cv::Point(r.left, r.top) : cv::Point(r.right, r.bottom);
  if (handle == kRoundnessHandle) {
    const PixelRect n = r.Normalized();
    return {n.right - rect.RoundWidth() / 2, n.bottom - rect.RoundHeight() / 2};
  }
  return FramedHandle(r, handle);
}

int HandleAt(const CDrawObj& zone, cv::Point point, int tolerance) {
  for (int handle = HandleCount(zone) - 1; handle >= 0; --handle) {
    const cv::Point h = HandlePoint(zone, handle);
    if (std::abs(int64_t{h.x} - point.x) <= tolerance && std::abs(int64_t{h.y} - point.y) <= tolerance) {
      return handle;
    }
  }
  return -1;
}

bool MoveHandleTo(CDrawObj& zone, int handle, cv::Point point) {
  if (handle < 0 || handle >= HandleCount(zone)) return false;
  if (auto* poly = dynamic_cast<CDrawPoly*>(&zone)) {
    std::vector<cv::Point> vertices = poly->Vertices();
    if (vertices[handle] == point) return false;
    vertices[handle] = point;
    poly->SetVertices(std::move(vertices));
    return true;
  }
  auto& rect = static_cast<CDrawRect&>(zone);
  PixelRect r = rect.GetRect();
  if (rect.IsLine()) {
    const cv::Point p = InsideImage(zone, point);
    (handle == 0 ? r.left : r.right) = p.x;
    (handle == 0 ? r.top : r.bottom) = p.y;
  } else if (handle == kRoundnessHandle) {
    const PixelRect n = r.Normalized();
    const int width = std::max(0, ClampToInt(2 * (int64_t{n.right} - point.x)));
    const int height = std::max(0, ClampToInt(2 * (int64_t{n.bottom} - point.y)));
    if (width == rect.RoundWidth() && height == rect.RoundHeight()) return false;
    rect.SetRoundness(width, height);
    return true;
  } else {
    r = DragFramedHandle(r, handle, point);
  }
  if (r == rect.GetRect()) return false;
  rect.MoveTo(r);
  return true;
}

bool MoveZoneBy(CDrawObj& zone, cv::Point offset) {
  if (zone.IsCombined() || offset == cv::Point(0, 0)) return false;
  const PixelRect r = zone.GetRect();
  zone.MoveTo({ClampToInt(int64_t{r.left} + offset.x), ClampToInt(int64_t{r.top} + offset.y),
               ClampToInt(int64_t{r.right} + offset.x), ClampToInt(int64_t{r.bottom} + offset.y)});
  return true;
}

CDrawObj* ZoneAt(const ZoneSet& set, cv::Point point, int tolerance) {
  CDrawObj* best = nullptr;
  int64_t bestArea = std::numeric_limits<int64_t>::max();
  for (const auto& zone : set.Zones()) {
    const bool hit = zone->HasArea() ? zone->PtInZone(point.x, point.y, nullptr)
                                     : zone->GetDistance(point, nullptr, nullptr, true) <= tolerance;
    if (!hit) continue;
    const int64_t area = AreaForPicking(*zone);
    if (area <= bestArea) {
      best = zone.get();
      bestArea = area;
    }
  }
  return best;
}

}  // namespace vx
