#include "zones/shape_raster.h"

#include <gtest/gtest.h>
#include <opencv2/imgproc.hpp>

#include <random>

namespace {

using vx::PixelRect;
using vx::PixelRegion;

// Pixel-centre rule for the ellipse inscribed in [x0, x1) x [y0, y1), in doubled integer
// coordinates: ((2x+1 - (x0+x1)) / w)^2 + ((2y+1 - (y0+y1)) / h)^2 <= 1.
bool InEllipse(int x, int y, const PixelRect& b) {
  const int64_t w = b.Width(), h = b.Height();
  const int64_t u = 2 * int64_t{x} + 1 - (int64_t{b.left} + b.right);
  const int64_t v = 2 * int64_t{y} + 1 - (int64_t{b.top} + b.bottom);
  return u * u * h * h + v * v * w * w <= w * w * h * h;
}

// Pixel-centre rule for a rounded rectangle: inside the box and either in the cross formed
// by the two inner bands or within one of the four corner ellipses.
bool InRoundRect(int x, int y, const PixelRect& b, int rw, int rh) {
  const int64_t px = 2 * int64_t{x} + 1, py = 2 * int64_t{y} + 1;  // doubled centre
  const int64_t l = 2 * int64_t{b.left}, r = 2 * int64_t{b.right};
  const int64_t t = 2 * int64_t{b.top}, bo = 2 * int64_t{b.bottom};
  if (px < l || px > r || py < t || py > bo) return false;
  if ((px >= l + rw && px <= r - rw) || (py >= t + rh && py <= bo - rh)) return true;
  for (int64_t cx : {l + rw, r - rw}) {
    for (int64_t cy : {t + rh, bo - rh}) {
      const int64_t dx = px - cx, dy = py - cy;
      if (dx * dx * rh * rh + dy * dy * rw * rw <= int64_t{rw} * rw * rh * rh) return true;
    }
  }
  return false;
}

// Even-odd rule by casting a ray to the left of the pixel centre: an edge counts when it
// crosses the centre's row at or left of the centre (exact rational comparison).
bool InPolygon(int x, int y, const std::vector<cv::Point>& poly) {
  bool inside = false;
  const int64_t py2 = 2 * int64_t{y} + 1, px2 = 2 * int64_t{x} + 1;
  for (size_t i = 0; i < poly.size(); ++i) {
    cv::Point a = poly[i], b = poly[(i + 1) % poly.size()];
    if (a.y == b.y) continue;
    if (a.y > b.y) std::swap(a, b);
    if (py2 < 2 * int64_t{a.y} || py2 > 2 * int64_t{b.y}) continue;
    // crossing x (doubled) = 2 a.x + (py2 - 2 a.y) (b.x - a.x) / (b.y - a.y) <= px2 ?
    const int64_t d = b.y - a.y;
    if ((2 * int64_t{a.x} * d + (py2 - 2 * int64_t{a.y}) * (b.x - a.x)) <= px2 * d) inside = !inside;
  }
  return inside;
}

TEST(ShapeRaster, EllipseFollowsPixelCentreRuleExactly) {
  const PixelRect boxes[] = {{0, 0, 11, 11}, {3, 5, 24, 12}, {-7, -3, 8, 30}, {2, 2, 3, 9},
                             {0, 0, 1, 1},   {10, 10, 12, 40}, {-20, 4, 21, 5}};
  for (const PixelRect& box : boxes) {
    const PixelRegion region = vx::EllipseRegion(box);
    int64_t count = 0;
    for (int y = box.top - 2; y < box.bottom + 2; ++y) {
      for (int x = box.left - 2; x < box.right + 2; ++x) {
        ASSERT_EQ(region.Contains(x, y), InEllipse(x, y, box)) << x << "," << y;
        count += InEllipse(x, y, box) ? 1 : 0;
      }
    }
    EXPECT_EQ(region.PixelCount(), count);
  }
}

TEST(ShapeRaster, RoundRectFollowsPixelCentreRuleExactly) {
  struct Case {
    PixelRect box;
    int rw, rh;
  } cases[] = {{{0, 0, 40, 30}, 16, 16}, {{5, 5, 26, 18}, 7, 11}, {{0, 0, 10, 10}, 30, 30},
               {{-4, 2, 20, 9}, 0, 6},   {{0, 0, 17, 23}, 17, 23}, {{3, 1, 50, 40}, 1, 1}};
  for (const Case& c : cases) {
    const PixelRegion region = vx::RoundRectRegion(c.box, c.rw, c.rh);
    const int rw = std::min<int>(c.rw, static_cast<int>(c.box.Width()));
    const int rh = std::min<int>(c.rh, static_cast<int>(c.box.Height()));
    for (int y = c.box.top - 2; y < c.box.bottom + 2; ++y) {
      for (int x = c.box.left - 2; x < c.box.right + 2; ++x) {
        const bool expected = rw == 0 || rh == 0 ? (x >= c.box.left && x < c.box.right &&
                                                      y >= c.box.top && y < c.box.bottom)
                                                   : InRoundRect(x, y, c.box, rw, rh);
        ASSERT_EQ(region.Contains(x, y), expected) << x << "," << y << " case " << c.rw;
      }
    }
  }
}

TEST(ShapeRaster, PolygonFollowsEvenOddPixelCentreRule) {
  std::mt19937 random(42);
  std::uniform_int_distribution<int> coord(-5, 45);
  for (int trial = 0; trial < 40; ++trial) {
    std::vector<cv::Point> poly(3 + trial % 6);
    for (cv::Point& p : poly) p = {coord(random), coord(random)};  // often self-intersecting
    const PixelRegion region = vx::PolygonRegion(poly);
    for (int y = -8; y < 48; ++y) {
      for (int x = -8; x < 48; ++x) {
        ASSERT_EQ(region.Contains(x, y), InPolygon(x, y, poly)) << "trial " << trial << " at " << x << "," << y;
      }
    }
  }
}

TEST(ShapeRaster, PolygonsSharingAnEdgeShareNoPixel) {
  const std::vector<cv::Point> left{{0, 0}, {13, 0}, {7, 20}, {0, 20}};
  const std::vector<cv::Point> right{{13, 0}, {30, 0}, {30, 20}, {7, 20}};
  const PixelRegion a = vx::PolygonRegion(left), b = vx::PolygonRegion(right);
  EXPECT_FALSE(a.Intersects(b));
  EXPECT_EQ(a.Union(b).PixelCount(), 30 * 20);
}

TEST(ShapeRaster, DegenerateInputGivesEmptyRegions) {
  EXPECT_TRUE(vx::PolygonRegion({}).IsEmpty());
  EXPECT_TRUE(vx::PolygonRegion({{1, 1}}).IsEmpty());
  EXPECT_TRUE(vx::PolygonRegion({{1, 1}, {20, 30}}).IsEmpty());
  EXPECT_TRUE(vx::PolygonRegion({{1, 1}, {20, 1}, {40, 1}}).IsEmpty());
  EXPECT_TRUE(vx::EllipseRegion({5, 5, 5, 20}).IsEmpty());
  EXPECT_TRUE(vx::RoundRectRegion({5, 5, 3, 20}, 16, 16).IsEmpty());
}

TEST(ShapeRaster, HugeCoordinatesStayBounded) {
  const PixelRegion ellipse = vx::EllipseRegion({INT32_MIN, INT32_MIN, INT32_MAX, INT32_MAX});
  EXPECT_TRUE(ellipse.Contains(0, 0));
  const PixelRegion poly = vx::PolygonRegion({{INT32_MIN, INT32_MIN}, {INT32_MAX, INT32_MIN}, {0, INT32_MAX}});
  EXPECT_TRUE(poly.Contains(0, 0));
  EXPECT_FALSE(poly.Contains(0, vx::kRegionLimit));
}

}  // namespace
