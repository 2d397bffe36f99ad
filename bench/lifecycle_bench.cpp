// What the working copy costs a small writing verb: one whole cycle (open through a working
// copy, write one animal, save back, close) on an experiment of realistic size, against the
// same write made directly on the file (UseTempFile off).
//
//   build/bench/vx_bench --benchmark_filter=WritingVerbCycle
#include <benchmark/benchmark.h>

#include "db/experiment_db.h"
#include "document/experiment_document.h"
#include "support/experiment_fixture.h"

namespace {

// `tests` analysed tests, each with the trajectory of an hour at 25 frames per second
// (90 000 points of about 24 bytes: 2.1 MB).
void PopulateAnalysed(const std::string& path, int tests) {
  for (int t = 1; t <= tests; ++t) {
    vx::testing::ExecuteSql(path, "insert into Tests(Title, IdProtocol, DateAnalyse) values ('Test " +
                                      std::to_string(t) + "', 1, 1700000000);"
                                      "insert into TestsPoints(Id, PointsAnalyse) values (last_insert_rowid(), "
                                      "randomblob(2160000));");
  }
}

void WritingVerbCycle(benchmark::State& state) {
  vx::testing::ExperimentFixture fixture;
  PopulateAnalysed(fixture.path(), static_cast<int>(state.range(0)));
  fixture.services.settings.SetInt("Config", "UseTempFile", static_cast<int>(state.range(1)));
  for (auto _ : state) {
    vx::ExperimentDocument document(fixture.services.Bundle());
    if (document.OpenExperiment(fixture.path(), {.upgrade = false, .loadLists = false}) != vx::DocumentResult::Ok ||
        !vx::RunWriteTransaction(document.experiment.file, [](SQLite::Database& db) {
          db.Execute("insert into Animals(Name) values('Rex')");
        }) ||
        !document.SaveExperiment() || !document.CloseExperiment(false)) {
      state.SkipWithError("the cycle failed");
    }
  }
  state.counters["file_MB"] = static_cast<double>(fixture.services.files.FileSize(fixture.path())) / 1e6;
}
BENCHMARK(WritingVerbCycle)->Args({300, 1})->Args({300, 0})->Args({30, 1})->Args({30, 0})
    ->Unit(benchmark::kMillisecond)->Iterations(3);

}  // namespace
