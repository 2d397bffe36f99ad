// Decoding and smoothing a stored trajectory of one hour at 30 frames/s (108 000 points with
// 40-point outlines), the work done for every test each time its results are recomputed.
//
//   build/bench/vx_bench --benchmark_filter=Trajectory
//   /usr/bin/time -v build/bench/vx_bench --benchmark_filter=TrajectoryDecodeSmoothStrong
//
// Each decode builds about 47 MB of fresh points and outlines; the allocator hands that memory
// back between iterations, so the figures include first-touch page faults. To see the decode
// itself on memory the allocator keeps, run with
//   GLIBC_TUNABLES=glibc.malloc.trim_threshold=2000000000:glibc.malloc.mmap_threshold=2000000000
#include <benchmark/benchmark.h>

#include "db/frame_times.h"
#include "trajectory/trajectory_blob.h"
#include "support/synthetic_trajectory.h"

namespace {

constexpr int kHourAt30Fps = 108000;

struct HourOfTracking {
  std::vector<uint8_t> points;
  std::vector<uint8_t> times;
  HourOfTracking() {
    const std::vector<vx::tMyPoint> path =
        vx::testing::SyntheticPath({.count = kHourAt30Fps, .outlinePoints = 40, .seed = 3});
    points = vx::WritePoints(path, false);
    times = vx::WriteFrameTimes(vx::FrameTimes::Uniform(kHourAt30Fps, 3600000));
  }
};

const HourOfTracking& Hour() {
  static const HourOfTracking hour;
  return hour;
}

void Decode(benchmark::State& state, int method) {
  const HourOfTracking& hour = Hour();
  for (auto _ : state) {
    vx::Trajectory trajectory({.method = method, .threshold = 3, .thresholdUnit = vx::kThresholdMm},
                              0.4);
    vx::ReadTrajectory(trajectory, hour.points, hour.times, false);
    benchmark::DoNotOptimize(trajectory.points().data());
  }
  state.SetItemsProcessed(state.iterations() * kHourAt30Fps);
  state.counters["blob_MB"] = static_cast<double>(hour.points.size()) / 1e6;
}

void TrajectoryDecodeSmoothStrong(benchmark::State& state) { Decode(state, vx::kLowessStrong); }
void TrajectoryDecodeSmoothLite(benchmark::State& state) { Decode(state, vx::kLowessLite); }
void TrajectoryDecodeNoSmoothing(benchmark::State& state) { Decode(state, vx::kNoSmoothing); }
void TrajectoryDecodeSavitzkyGolay(benchmark::State& state) { Decode(state, vx::kSavitzkyGolay); }

// Smoothing alone, over points already decoded: the share of the work that Lowess takes.
void TrajectoryResmoothStrong(benchmark::State& state) {
  vx::Trajectory trajectory({.method = vx::kLowessStrong, .threshold = 0}, 0.4);
  vx::ReadTrajectory(trajectory, Hour().points, Hour().times, false);
  double scale = 0.4;
  for (auto _ : state) {
    scale = scale == 0.4 ? 0.5 : 0.4;  // a new scale re-filters and re-smooths everything
    trajectory.SetScale(scale);
    benchmark::DoNotOptimize(trajectory.points().data());
  }
  state.SetItemsProcessed(state.iterations() * kHourAt30Fps);
}

void TrajectoryEncode(benchmark::State& state) {
  vx::Trajectory trajectory({.method = vx::kNoSmoothing, .threshold = 0}, 0.4);
  vx::ReadTrajectory(trajectory, Hour().points, Hour().times, false);
  for (auto _ : state) {
    std::vector<uint8_t> blob = vx::WritePoints(trajectory, false);
    benchmark::DoNotOptimize(blob.data());
  }
  state.SetItemsProcessed(state.iterations() * kHourAt30Fps);
}

BENCHMARK(TrajectoryDecodeSmoothStrong)->Unit(benchmark::kMillisecond);
BENCHMARK(TrajectoryDecodeSmoothLite)->Unit(benchmark::kMillisecond);
BENCHMARK(TrajectoryDecodeSavitzkyGolay)->Unit(benchmark::kMillisecond);
BENCHMARK(TrajectoryDecodeNoSmoothing)->Unit(benchmark::kMillisecond);
BENCHMARK(TrajectoryResmoothStrong)->Unit(benchmark::kMillisecond);
BENCHMARK(TrajectoryEncode)->Unit(benchmark::kMillisecond);

}  // namespace
