// Distances from a point to zones, checked against brute force over densely sampled outlines.
#include <gtest/gtest.h>

#include <cmath>
#include <functional>

#include "zones/draw_boolean.h"
#include "zones/draw_poly.h"
#include "zones/draw_rect.h"
#include "zones/zone_set.h"

namespace {

using vx::CDrawRect;

// The smallest distance from p to a closed outline given by a parametric function on [0, 1).
double BruteForce(cv::Point p, const std::function<cv::Point2d(double)>& outline, int samples = 200000) {
  double best = INFINITY;
  for (int i = 0; i < samples; ++i) {
    const cv::Point2d q = outline(static_cast<double>(i) / samples);
    best = std::min(best, std::hypot(p.x - q.x, p.y - q.y));
  }
  return best;
}

// The boundary of a polygon walked at constant parameter speed per edge.
std::function<cv::Point2d(double)> PolylineOutline(std::vector<cv::Point2d> vertices) {
  return [vertices](double t) {
    const double s = t * static_cast<double>(vertices.size());
    const size_t i = static_cast<size_t>(s);
    const double f = s - static_cast<double>(i);
    const cv::Point2d a = vertices[i], b = vertices[(i + 1) % vertices.size()];
    return a + (b - a) * f;
  };
}

const cv::Point kProbes[] = {{-20, -30}, {5, 50}, {45, 12}, {130, 140}, {60, 45},
                             {100, 5},   {61, 30}, {150, 45}, {20, 80},   {99, 75}};

TEST(ZoneDistance, RectangleIsDistanceToTheNearestSide) {
  CDrawRect zone(vx::kKindRectangle, {100, 80, 10, 20});  // stored reversed
  const auto outline = PolylineOutline({{10, 20}, {100, 20}, {100, 80}, {10, 80}});
  for (const cv::Point& p : kProbes) {
    const bool inside = zone.PtInZone(p.x, p.y, nullptr);
    EXPECT_NEAR(zone.GetDistance(p, nullptr, nullptr, true), inside ? 0.0 : BruteForce(p, outline), 1e-3);
    EXPECT_NEAR(zone.GetDistance(p, nullptr, nullptr, false), inside ? BruteForce(p, outline) : 0.0, 1e-3);
  }
}

TEST(ZoneDistance, EllipseByEvoluteIterationMatchesBruteForce) {
  const vx::PixelRect boxes[] = {{10, 20, 110, 80}, {0, 0, 60, 60}, {30, 0, 50, 120}};
  for (const vx::PixelRect& box : boxes) {
    CDrawRect zone(vx::kKindEllipse, box);
    const cv::Point c = zone.GetCenter();
    const double a = box.Width() / 2.0, b = box.Height() / 2.0;
    const auto outline = [&](double t) {
      return cv::Point2d(c.x + a * std::cos(2 * CV_PI * t), c.y + b * std::sin(2 * CV_PI * t));
    };
    for (const cv::Point& p : kProbes) {
      const bool inside = zone.PtInZone(p.x, p.y, nullptr);
      // Four iterations give the nearest point to well under a tenth of a pixel.
      EXPECT_NEAR(zone.GetDistance(p, nullptr, nullptr, !inside), BruteForce(p, outline), 0.05)
          << p.x << "," << p.y << " box " << box.left;
      EXPECT_EQ(zone.GetDistance(p, nullptr, nullptr, inside), 0.0);
    }
  }
  // A flat ellipse degenerates into its axis.
  EXPECT_NEAR(vx::DistanceToEllipse({0, 10}, {0, 0}, 5, 0), 10.0, 1e-9);
}

TEST(ZoneDistance, RoundedRectangleFollowsItsOutline) {
  CDrawRect zone(vx::kKindRoundRect, {10, 20, 110, 80});
  zone.SetRoundness(40, 30);
  // Outline: straight sides between the corner arcs of semi-axes 20 and 15.
  const auto outline = [](double t) -> cv::Point2d {
    const double angle = 2 * CV_PI * t;
    const double cx = std::cos(angle) >= 0 ? 90 : 30, cy = std::sin(angle) >= 0 ? 65 : 35;
    return {cx + 20 * std::cos(angle), cy + 15 * std::sin(angle)};
  };
  const auto sides = PolylineOutline({{30, 20}, {90, 20}, {110, 35}, {110, 65}, {90, 80}, {30, 80}, {10, 65}, {10, 35}});
  for (const cv::Point& p : kProbes) {
    if (zone.PtInZone(p.x, p.y, nullptr)) continue;
    // The straight parts come from the polyline's axis-aligned edges only.
    double best = BruteForce(p, outline);
    for (int edge : {0, 2, 4, 6}) {
      best = std::min(best, BruteForce(p, [&](double t) { return sides((edge + t) / 8.0); }, 20000));
    }
    EXPECT_NEAR(zone.GetDistance(p, nullptr, nullptr, true), best, 0.05) << p.x << "," << p.y;
  }
}

TEST(ZoneDistance, LinesCountOnlyFromOutside) {
  CDrawRect line(vx::kKindLine, {0, 0, 30, 40});
  EXPECT_NEAR(line.GetDistance({30, 0}, nullptr, nullptr, true), 24.0, 1e-9);
  EXPECT_NEAR(line.GetDistance({60, 80}, nullptr, nullptr, true), 50.0, 1e-9);  // beyond the end
  EXPECT_EQ(line.GetDistance({30, 0}, nullptr, nullptr, false), 0.0);
  CDrawRect point(vx::kKindRuler, {5, 5, 5, 5});
  EXPECT_NEAR(point.GetDistance({8, 9}, nullptr, nullptr, true), 5.0, 1e-9);
}

TEST(ZoneDistance, PolygonIncludesTheClosingEdge) {
  vx::CDrawPoly zone({{0, 0}, {100, 0}, {100, 100}});
  const auto outline = PolylineOutline({{0, 0}, {100, 0}, {100, 100}});
  for (const cv::Point& p : kProbes) {
    const bool inside = zone.PtInZone(p.x, p.y, nullptr);
    EXPECT_NEAR(zone.GetDistance(p, nullptr, nullptr, !inside), BruteForce(p, outline), 1e-2) << p.x << "," << p.y;
  }
  EXPECT_EQ(vx::CDrawPoly().GetDistance({5, 5}, nullptr, nullptr, true), 0.0);
  EXPECT_NEAR(vx::CDrawPoly({{3, 4}}).GetDistance({0, 0}, nullptr, nullptr, true), 5.0, 1e-9);
}

TEST(ZoneDistance, AdjustmentIsAppliedOnce) {
  vx::ArenaAdjustment adjustment{{0, 0, 100, 100}, 90};
  CDrawRect zone(vx::kKindRectangle, {40, 0, 60, 20});
  // (50, 40) in the protocol is (60, 50) in the test's video: 20 pixels below the zone.
  EXPECT_NEAR(zone.GetDistance({60, 50}, &adjustment, nullptr, true), 20.0, 1e-9);
  vx::ZoneSet set;
  auto* a = set.AddZone(std::make_unique<CDrawRect>(zone));
  auto combined = std::make_unique<vx::CDrawBoolean>();
  combined->SetCombination(vx::kCombineUnion, {a->id});
  auto* c = set.AddZone(std::move(combined));
  EXPECT_NEAR(c->GetDistance({60, 50}, &adjustment, nullptr, true), 20.0, 1e-9);
}

TEST(ZoneDistance, HiddenPresenceUsesTheLimitInMillimetres) {
  CDrawRect shelter(vx::kKindRectangle, {100, 100, 200, 200});
  EXPECT_FALSE(shelter.IsHiddenPresence({95, 150}, {150, 150}, nullptr, nullptr, 1.0));
  shelter.hidden = 1;
  shelter.hiddenDistance = 1;  // 1 cm = 10 mm
  shelter.hiddenUnit = 0;
  // 2 mm per pixel: 10 mm is 5 pixels.
  EXPECT_TRUE(shelter.IsHiddenPresence({95, 150}, {150, 150}, nullptr, nullptr, 2.0));
  EXPECT_TRUE(shelter.IsHiddenPresence({95, 150}, {205, 150}, nullptr, nullptr, 2.0));
  EXPECT_FALSE(shelter.IsHiddenPresence({94, 150}, {150, 150}, nullptr, nullptr, 2.0));
  shelter.hiddenUnit = 1;  // 1 mm
  EXPECT_FALSE(shelter.IsHiddenPresence({95, 150}, {150, 150}, nullptr, nullptr, 2.0));
  EXPECT_TRUE(shelter.IsHiddenPresence({100, 150}, {150, 150}, nullptr, nullptr, 2.0));
}

}  // namespace
