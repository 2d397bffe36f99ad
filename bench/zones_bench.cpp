// Speed of the per-frame zone test: the centre rule and the body-percentage rule, per shape
// kind, on a 640 x 480 image. Run: build/vx_bench --benchmark_filter=Zone
#include <benchmark/benchmark.h>

#include <cmath>
#include <random>

#include "zones/draw_boolean.h"
#include "zones/draw_poly.h"
#include "zones/draw_rect.h"
#include "zones/zone_set.h"

namespace {

constexpr int kZones = 10;

// Ten zones of one kind spread over the image, inside a set (combined zones unite two of
// the set's ellipses each).
vx::ZoneSet MakeZones(int kind) {
  vx::ZoneSet set;
  set.SetImageSize(640, 480, true, false);
  std::mt19937 random(kind + 1);
  std::uniform_int_distribution<int> x(0, 500), y(0, 360), size(40, 140);
  std::vector<int> ellipses;
  for (int i = 0; i < 2 * kZones; ++i) {
    const int left = x(random), top = y(random);
    const vx::PixelRect box{left, top, left + size(random), top + size(random)};
    std::unique_ptr<vx::CDrawObj> zone;
    if (kind == vx::kKindPolygon) {
      const cv::Point c((box.left + box.right) / 2, (box.top + box.bottom) / 2);
      std::vector<cv::Point> star;
      for (int k = 0; k < 12; ++k) {
        const double r = (k % 2 == 0 ? 1.0 : 0.5) * static_cast<double>(box.Width()) / 2;
        star.emplace_back(c.x + static_cast<int>(r * std::cos(k * CV_PI / 6)), c.y + static_cast<int>(r * std::sin(k * CV_PI / 6)));
      }
      zone = std::make_unique<vx::CDrawPoly>(star);
    } else {
      zone = std::make_unique<vx::CDrawRect>(kind == vx::kKindCombined ? vx::kKindEllipse : kind, box);
    }
    if (kind != vx::kKindCombined && i >= kZones) break;
    ellipses.push_back(set.AddZone(std::move(zone))->id);
  }
  if (kind == vx::kKindCombined) {
    for (int i = 0; i < kZones; ++i) {
      auto combined = std::make_unique<vx::CDrawBoolean>();
      combined->SetCombination(vx::kCombineUnion, {ellipses[2 * i], ellipses[2 * i + 1]});
      set.AddZone(std::move(combined));
    }
  }
  set.UpdateRegions();
  return set;
}

std::vector<const vx::CDrawObj*> ZonesOfKind(const vx::ZoneSet& set, int kind) {
  std::vector<const vx::CDrawObj*> zones;
  for (const auto& zone : set.Zones()) {
    if (zone->GetTypeRect() == kind) zones.push_back(zone.get());
  }
  return zones;
}

void BM_ZoneCentreRule(benchmark::State& state) {
  const int kind = static_cast<int>(state.range(0));
  const vx::ZoneSet set = MakeZones(kind);
  const auto zones = ZonesOfKind(set, kind);
  std::mt19937 random(3);
  std::uniform_int_distribution<int> x(0, 639), y(0, 479);
  std::vector<cv::Point> points(1000000);
  for (cv::Point& p : points) p = {x(random), y(random)};
  const std::vector<cv::Point> noContour;
  for (auto _ : state) {
    int inside = 0;
    for (const cv::Point& p : points) {
      for (const vx::CDrawObj* zone : zones) {
        inside += zone->GetZoneState(p, {-1, -1}, noContour, nullptr, nullptr) == vx::ZoneState::Inside;
      }
    }
    benchmark::DoNotOptimize(inside);
  }
  state.SetItemsProcessed(state.iterations() * static_cast<int64_t>(points.size() * zones.size()));
  state.SetLabel("zone tests");
}
BENCHMARK(BM_ZoneCentreRule)->DenseRange(vx::kKindRectangle, vx::kKindPolygon)->Unit(benchmark::kMillisecond);

void BM_ZoneBodyRule(benchmark::State& state) {
  const int kind = static_cast<int>(state.range(0));
  vx::ZoneSet set = MakeZones(kind);
  for (const auto& zone : set.Zones()) zone->detectInZone = vx::kDetectBody;
  const auto zones = ZonesOfKind(set, kind);
  std::mt19937 random(5);
  std::uniform_int_distribution<int> x(30, 610), y(30, 450), radius(12, 25);
  std::vector<std::vector<cv::Point>> contours(100000);
  for (auto& contour : contours) {
    const int cx = x(random), cy = y(random), rx = radius(random), ry = radius(random);
    for (int k = 0; k < 40; ++k) {
      contour.emplace_back(cx + static_cast<int>(rx * std::cos(k * CV_PI / 20)), cy + static_cast<int>(ry * std::sin(k * CV_PI / 20)));
    }
  }
  for (auto _ : state) {
    int inside = 0;
    size_t next = 0;
    for (const auto& contour : contours) {
      const vx::CDrawObj* zone = zones[next++ % zones.size()];
      inside += zone->GetZoneState({}, {}, contour, nullptr, nullptr) == vx::ZoneState::Inside;
    }
    benchmark::DoNotOptimize(inside);
  }
  state.SetItemsProcessed(state.iterations() * static_cast<int64_t>(contours.size()));
  state.SetLabel("outlines");
}
BENCHMARK(BM_ZoneBodyRule)->DenseRange(vx::kKindRectangle, vx::kKindPolygon)->Unit(benchmark::kMillisecond);

}  // namespace
