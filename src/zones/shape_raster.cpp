#include "zones/shape_raster.h"

#include <algorithm>
#include <cmath>

namespace vx {

namespace {

using Wide = __int128;
using UWide = unsigned __int128;

int64_t CeilDiv(Wide n, Wide d) {  // d > 0
  Wide q = n / d;
  if (n % d != 0 && n > 0) ++q;
  return static_cast<int64_t>(q);
}

// The largest u >= 0 with u * u * scale2 <= limit.
uint64_t LargestWithin(UWide limit, UWide scale2) {
  if (scale2 == 0) return 0;
  const long double guess = std::sqrt(static_cast<long double>(limit) / static_cast<long double>(scale2));
  uint64_t u = guess > 0 ? static_cast<uint64_t>(guess) : 0;
  while (u > 0 && UWide{u} * u * scale2 > limit) --u;
  while (UWide{u + 1} * (u + 1) * scale2 <= limit) ++u;
  return u;
}

struct Edge {
  int64_t xa, ya, xb, yb;  // ya < yb
};

}  // namespace

PixelRegion RoundRectRegion(const PixelRect& box, int roundW, int roundH) {
  const int64_t width = box.Width();
  const int64_t height = box.Height();
  if (width <= 0 || height <= 0) return {};
  const int64_t rw = std::clamp<int64_t>(roundW, 0, width);
  const int64_t rh = std::clamp<int64_t>(roundH, 0, height);
  if (rw == 0 || rh == 0) return PixelRegion::FromRect(box);

  PixelRegion::Builder builder;
  const int first = std::max(box.top, -kRegionLimit);
  const int last = std::min(box.bottom, kRegionLimit);
  const UWide rw2 = UWide(rw) * rw;
  const UWide rh2 = UWide(rh) * rh;
  for (int y = first; y < last; ++y) {
    // Work on the upper half: the shape is symmetric about the box's middle row.
    const int64_t fromEdge = std::min<int64_t>(int64_t{y} - box.top, int64_t{box.bottom} - 1 - y);
    // Doubled coordinates keep every centre and semi-axis an integer.
    const int64_t rowCentre = 2 * fromEdge + 1;
    if (rowCentre >= rh) {
      builder.AddSpan(y, box.left, box.right);
      continue;
    }
    const int64_t d = rh - rowCentre;  // doubled distance from the corner ellipse's centre row
    const UWide limit = rw2 * (rh2 - UWide(d) * d);
    const int64_t umax = static_cast<int64_t>(LargestWithin(limit, rh2));
    const int64_t xs = CeilDiv(Wide{2} * box.left + rw - umax - 1, 2);
    const int64_t xe = int64_t{box.left} + box.right - xs;
    if (xe > xs) builder.AddSpan(y, ClampToInt(xs), ClampToInt(xe));
  }
  return builder.Build();
}

PixelRegion EllipseRegion(const PixelRect& box) {
  return RoundRectRegion(box, ClampToInt(box.Width()), ClampToInt(box.Height()));
}

PixelRegion PolygonsRegion(const std::vector<std::vector<cv::Point>>& polygons) {
  std::vector<Edge> edges;
  int64_t minY = INT64_MAX, maxY = INT64_MIN;
  for (const auto& vertices : polygons) {
    if (vertices.size() < 3) continue;
    for (size_t i = 0; i < vertices.size(); ++i) {
      const cv::Point& a = vertices[i];
      const cv::Point& b = vertices[(i + 1) % vertices.size()];
      minY = std::min<int64_t>(minY, a.y);
      maxY = std::max<int64_t>(maxY, a.y);
      if (a.y == b.y) continue;  // horizontal edges never cross a pixel-centre row
      if (a.y < b.y) edges.push_back({a.x, a.y, b.x, b.y});
      else edges.push_back({b.x, b.y, a.x, a.y});
    }
  }
  PixelRegion::Builder builder;
  if (edges.empty()) return builder.Build();
  const int64_t first = std::max<int64_t>(minY, -kRegionLimit);
  const int64_t last = std::min<int64_t>(maxY, kRegionLimit);
  std::vector<int64_t> cuts;
  for (int64_t y = first; y < last; ++y) {
    cuts.clear();
    const Wide rowCentre = 2 * Wide{y} + 1;
    for (const Edge& e : edges) {
      if (y < e.ya || y >= e.yb) continue;
      // The edge crosses the row at X / 2 with X = n / d; the first pixel at or right of the
      // crossing is the smallest x with 2x + 1 >= X.
      const Wide d = e.yb - e.ya;
      const Wide n = 2 * Wide{e.xa} * d + (rowCentre - 2 * Wide{e.ya}) * (e.xb - e.xa);
      cuts.push_back(CeilDiv(n - d, 2 * d));
    }
    std::sort(cuts.begin(), cuts.end());
    for (size_t i = 0; i + 1 < cuts.size(); i += 2) {
      builder.AddSpan(static_cast<int>(y), ClampToInt(cuts[i]), ClampToInt(cuts[i + 1]));
    }
  }
  return builder.Build();
}

PixelRegion PolygonRegion(const std::vector<cv::Point>& vertices) {
  return PolygonsRegion({vertices});
}

}  // namespace vx
