// Speed of heat maps: one test of an hour at 30 frames/s (108 000 points) in a 600 x 440 arena,
// and the mean heat map of 100 such tests (their time grids averaged, then one image). The
// points are in memory: reading the trajectories from the file is the reports' own cost.
// Run: build/vx_bench --benchmark_filter=HeatMap
#include <benchmark/benchmark.h>

#include <cmath>

#include "measures/heat_map.h"
#include "support/synthetic_trajectory.h"
#include "zones/draw_rect.h"

namespace {

constexpr int kPoints = 108000;  // one hour at 30 frames/s

std::vector<vx::tMyPoint> HourLongPath(unsigned seed) {
  std::vector<vx::tMyPoint> points =
      vx::testing::SyntheticPath({.count = kPoints, .maxGap = 1, .outlinePoints = 24, .seed = seed});
  for (vx::tMyPoint& p : points) p.time = static_cast<int>(std::lround(p.frame * 1000.0 / 30));
  return points;
}

vx::HeatCanvas ArenaCanvas() {
  vx::ZoneSet set;
  set.SetImageSize(640, 480, false, false);
  set.SetMainArena(set.AddZone(std::make_unique<vx::CDrawRect>(vx::kKindEllipse, vx::PixelRect{20, 20, 620, 460})));
  return vx::HeatCanvasOf(set, -1, 0, 640, 480);
}

void BM_HeatMapOfAnHourLongTest(benchmark::State& state) {
  const std::vector<vx::tMyPoint> points = HourLongPath(7);
  const vx::HeatCanvas canvas = ArenaCanvas();
  for (auto _ : state) {
    benchmark::DoNotOptimize(vx::ComputeHeatMap(points, 0, points.size(), canvas, {-1, 30}));
  }
}
BENCHMARK(BM_HeatMapOfAnHourLongTest)->Unit(benchmark::kMillisecond);

void BM_GroupHeatMapOf100Tests(benchmark::State& state) {
  std::vector<std::vector<vx::tMyPoint>> tests;
  for (unsigned k = 0; k < 100; ++k) tests.push_back(HourLongPath(100 + k));
  const vx::HeatCanvas canvas = ArenaCanvas();
  const int width = static_cast<int>(canvas.rect.Width()), height = static_cast<int>(canvas.rect.Height());
  for (auto _ : state) {
    vx::TimeGridMean mean;
    for (const std::vector<vx::tMyPoint>& points : tests) {
      const int radius = vx::SpotRadius({}, points, width, height);
      mean.Add(points, 0, points.size(), canvas.rect, radius);
    }
    benchmark::DoNotOptimize(vx::HeatMapImage(mean.Mean(), {-1, 30}, canvas));
  }
}
BENCHMARK(BM_GroupHeatMapOf100Tests)->Unit(benchmark::kMillisecond)->Iterations(3);

}  // namespace
