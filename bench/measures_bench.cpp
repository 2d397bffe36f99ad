// Speed of the zone measures: time in zone for 10 zones of mixed kinds over a one-hour test
// at 30 frames/s (108 000 points), with the centre rule and with the percentage-of-body rule.
// One iteration is one test. Run: build/vx_bench --benchmark_filter=Measure
#include <benchmark/benchmark.h>

#include <cmath>

#include "measures/measure_engine.h"
#include "support/synthetic_trajectory.h"
#include "zones/draw_boolean.h"
#include "zones/draw_poly.h"
#include "zones/draw_rect.h"

namespace {

constexpr int kPoints = 108000;  // one hour at 30 frames/s

vx::Trajectory HourLongTrajectory() {
  std::vector<vx::tMyPoint> points =
      vx::testing::SyntheticPath({.count = kPoints, .maxGap = 1, .outlinePoints = 24, .seed = 7});
  vx::Trajectory trajectory({vx::kLowessLite, 3, vx::kThresholdMm}, 0.4);
  trajectory.Reserve(points.size());
  for (vx::tMyPoint& p : points) {
    p.time = static_cast<int>(std::lround(p.frame * 1000.0 / 30));
    trajectory.Append(std::move(p), true);
  }
  trajectory.FinishAppending();
  return trajectory;
}

// An arena and ten zones: rectangles, rounded rectangles, ellipses, polygons and two
// combined zones.
vx::ZoneSet MixedZones(int detectInZone) {
  vx::ZoneSet set;
  set.SetImageSize(640, 480, false, false);
  vx::CDrawObj* arena =
      set.AddZone(std::make_unique<vx::CDrawRect>(vx::kKindRectangle, vx::PixelRect{20, 20, 620, 460}));
  set.SetMainArena(arena);
  std::vector<vx::CDrawObj*> zones;
  const int kinds[] = {vx::kKindRectangle, vx::kKindRoundRect, vx::kKindEllipse, vx::kKindRectangle,
                       vx::kKindEllipse, vx::kKindRoundRect, vx::kKindEllipse, vx::kKindRectangle};
  for (int i = 0; i < 8; ++i) {
    const int left = 40 + (i % 4) * 140, top = 40 + (i / 4) * 200;
    const vx::PixelRect box{left, top, left + 120, top + 160};
    if (i == 3 || i == 6) {
      zones.push_back(set.AddZone(std::make_unique<vx::CDrawPoly>(std::vector<cv::Point>{
          {left, top}, {left + 120, top + 20}, {left + 90, top + 160}, {left + 10, top + 120}})));
    } else {
      zones.push_back(set.AddZone(std::make_unique<vx::CDrawRect>(kinds[i], box)));
    }
  }
  for (int i = 0; i < 2; ++i) {
    auto combined = std::make_unique<vx::CDrawBoolean>();
    combined->SetCombination(i == 0 ? vx::kCombineUnion : vx::kCombineIntersection,
                             {zones[static_cast<size_t>(i)]->id, zones[static_cast<size_t>(i + 4)]->id});
    zones.push_back(set.AddZone(std::move(combined)));
  }
  for (vx::CDrawObj* zone : zones) zone->detectInZone = detectInZone;
  set.UpdateRegions();
  return set;
}

void TimeInZones(benchmark::State& state, int detectInZone) {
  static const vx::Trajectory trajectory = HourLongTrajectory();
  const vx::ZoneSet zones = MixedZones(detectInZone);
  vx::MeasureDefinition definition;
  definition.measure = vx::kMeasureTimeInZone;
  vx::MeasureInput input;
  input.trajectory = &trajectory;
  input.zones = &zones;
  input.scale = 0.4;
  for (auto _ : state) {
    vx::MeasureTable table;
    benchmark::DoNotOptimize(vx::ComputeMeasure(definition, input, table));
    benchmark::DoNotOptimize(table.values.data());
  }
  state.SetItemsProcessed(state.iterations() * kPoints);
  state.SetLabel("one-hour test, 10 zones");
}

void BM_MeasureTimeInZoneCentre(benchmark::State& state) { TimeInZones(state, vx::kDetectCentre); }
void BM_MeasureTimeInZoneBody(benchmark::State& state) { TimeInZones(state, vx::kDetectBody); }
BENCHMARK(BM_MeasureTimeInZoneCentre)->Unit(benchmark::kMillisecond);
BENCHMARK(BM_MeasureTimeInZoneBody)->Unit(benchmark::kMillisecond)->Iterations(3);

}  // namespace
