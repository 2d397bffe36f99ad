// Opening a report over many long tests: every result computed from the trajectories (an empty
// cache) against every result decoded from the cache. The ratio is measured in one run, on the
// same file, by the same process.
//
// The experiment: one protocol (a 640 x 480 arena and four zones), `tests` analysed tests of
// ten minutes at 30 frames/s (18 000 points with 12-point outlines each), the default smoothing.
// The report: time in zone per one-minute slice, every zone's cells (ten slices of nine cells
// per test: the arena, and each zone in and out).
//
//   build/bench/vx_bench --benchmark_filter=Report
//
// Counters: fresh_ms and cached_ms are one whole report (all tests); fresh_over_cached is how
// many times faster the cache opens it.
#include <benchmark/benchmark.h>

#include <chrono>

#include "reports/report_runner.h"
#include "base/text.h"
#include "support/experiment_fixture.h"
#include "support/stored_test.h"
#include "support/synthetic_trajectory.h"

namespace {

constexpr int kPointsPerTest = 18000;  // ten minutes at 30 frames/s
constexpr const char* kTimeInZonePerMinute = "5|12|0||0|-1|0|1|1|-2|0|0|";

// The experiment and its report, built once per test count.
struct ReportBench {
  explicit ReportBench(int tests) {
    using vx::testing::ExecuteSql;
    ExecuteSql(fixture.path(),
               "insert into Protocols (Id, Name, Width, Height) values (1, 'p', 640, 480);"
               "insert into Zones (Id, IdProtocol, Name, bArena, TypeRect, Points) values "
               "(1, 1, 'Arena', 1, 0, '20;20;620;460'), (2, 1, 'A', 0, 0, '40;40;300;220'), "
               "(3, 1, 'B', 0, 2, '340;40;600;220'), (4, 1, 'C', 0, 0, '40;260;300;440'), "
               "(5, 1, 'D', 0, 2, '340;260;600;440')");
    std::vector<uint32_t> frames;
    for (uint32_t k = 0; k < kPointsPerTest; ++k) frames.push_back(k * 1000 / 30);
    const vx::FrameTimes times = vx::FrameTimes::FromList(frames);
    for (int t = 0; t < tests; ++t) {
      const std::vector<vx::tMyPoint> points = vx::testing::SyntheticPath(
          {.count = kPointsPerTest, .seed = static_cast<unsigned>(t + 1)});
      vx::testing::StoreAnalysedTest(fixture, t + 1, 1, 1, 0.4, points, times);
    }
    ok = fixture.experiment.LoadAll();
    report.protocolId = 1;
    report.name = "Time in zones";
    ok = ok && vx::ParseMeasureConfig(kTimeInZonePerMinute, report.definition) &&
         vx::SaveReport(fixture.experiment, report);
  }

  void DropCache() {
    vx::testing::ExecuteSql(fixture.path(),
                            vx::Format("delete from ReportsData where IdReport=%d", report.id));
  }

  // One run of the report; false when it did not run over every test as expected.
  bool Run(bool fromCache, int tests) {
    std::vector<vx::TestResult> results;
    vx::ReportRunStats stats;
    const vx::ReportRunStatus status =
        vx::RunReport(fixture.experiment, report, {}, results, &stats);
    benchmark::DoNotOptimize(results.data());
    values = results.empty() ? 0 : results.front().values.size();
    return status == vx::ReportRunStatus::kOk && static_cast<int>(results.size()) == tests &&
           (fromCache ? stats.fromCache : stats.computed) == tests;
  }

  vx::testing::ExperimentFixture fixture;
  vx::Report report;
  bool ok = false;
  size_t values = 0;  // of the first test's result
};

double SecondsOf(const auto& run) {
  const auto start = std::chrono::steady_clock::now();
  run();
  return std::chrono::duration<double>(std::chrono::steady_clock::now() - start).count();
}

// Each iteration: the report with an empty cache (which fills it), then the same report again.
// The iteration time is the cached run alone; both totals are in the counters.
void ReportFreshVsCached(benchmark::State& state) {
  const int tests = static_cast<int>(state.range(0));
  ReportBench bench(tests);
  if (!bench.ok) {
    state.SkipWithError("the experiment could not be built");
    return;
  }
  double fresh = 0, cached = 0;
  for (auto _ : state) {
    bench.DropCache();
    bool ran = true;
    fresh += SecondsOf([&] { ran = bench.Run(false, tests) && ran; });
    const double once = SecondsOf([&] { ran = bench.Run(true, tests) && ran; });
    cached += once;
    state.SetIterationTime(once);
    if (!ran) {
      state.SkipWithError("the report did not run as expected");
      return;
    }
  }
  const double n = static_cast<double>(state.iterations());
  state.counters["fresh_ms"] = fresh / n * 1000;
  state.counters["cached_ms"] = cached / n * 1000;
  state.counters["fresh_over_cached"] = cached > 0 ? fresh / cached : 0;
  state.counters["values_per_test"] = static_cast<double>(bench.values);
  state.SetItemsProcessed(state.iterations() * tests);
  state.SetLabel("tests of 10 min at 30 frames/s, time in zone per minute");
}
BENCHMARK(ReportFreshVsCached)
    ->Arg(300)
    ->UseManualTime()
    ->Iterations(3)
    ->Unit(benchmark::kMillisecond);

}  // namespace
