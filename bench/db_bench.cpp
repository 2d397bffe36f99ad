// The database work a user waits for: opening an experiment (every list loaded in one read
// transaction) and converting an old file (the tests rebuilt with their blobs, then compacted).
//
//   build/bench/vx_bench --benchmark_filter=Experiment
#include <benchmark/benchmark.h>

#include "db/experiment.h"
#include "db/experiment_db.h"
#include "db/upgrade.h"
#include "support/experiment_fixture.h"
#include "support/schema_history.h"

namespace {

// An experiment of `tests` tests over 5 protocols, 20 animals and one video per test.
void Populate(const std::string& path, int tests) {
  std::string sql = "BEGIN;";
  for (int p = 1; p <= 5; ++p) sql += "insert into Protocols(Name) values ('P" + std::to_string(p) + "');";
  for (int a = 1; a <= 20; ++a) sql += "insert into Animals(Name, AnimalSize) values ('A', 'Exp');";
  for (int t = 1; t <= tests; ++t) {
    const std::string id = std::to_string(t);
    sql += "insert into Videos(Name, NbFrames, ListePoints) values ('v" + id +
           "', 9000, randomblob(8));"
           "insert into Tests(Title, IdAnimal, IdProtocol, Source, DateAnalyse, Fields, "
           "InfosAnalyse) values ('Test " + id + "', " + std::to_string(t % 20 + 1) + ", " +
           std::to_string(t % 5 + 1) + ", " + id +
           ", 1700000000, '', '5|1|2|3|4|5|6|7|8|9|10|11|1900|1|0|0|299|0|0|65536');";
  }
  sql += "COMMIT;";
  vx::testing::ExecuteSql(path, sql);
}

void ExperimentLoadAll(benchmark::State& state) {
  vx::testing::ExperimentFixture fixture;
  Populate(fixture.path(), static_cast<int>(state.range(0)));
  for (auto _ : state) {
    if (!fixture.experiment.LoadAll()) state.SkipWithError("load failed");
    benchmark::DoNotOptimize(fixture.experiment.tests.size());
  }
  state.SetItemsProcessed(state.iterations() * state.range(0));
}
BENCHMARK(ExperimentLoadAll)->Arg(100)->Arg(2000)->Unit(benchmark::kMillisecond);

// A version-5 file whose tests carry 4 KB of points each, converted to the current version.
void ExperimentUpgradeFromVersion5(benchmark::State& state) {
  vx::testing::TempDir dir;
  const std::string original = dir.File("old.vxdb");
  vx::testing::CreateFileAtVersion(original, 5);
  std::string sql = "BEGIN;";
  for (int t = 1; t <= state.range(0); ++t) {
    sql += "insert into Tests(Title, Source, PointsAnalyse) values ('t', 'cam', randomblob(4096));";
  }
  vx::testing::ExecuteSql(original, sql + "COMMIT;");
  const std::string bytes = vx::testing::ReadFileBytes(original);
  vx::testing::TestServices services;
  for (auto _ : state) {
    state.PauseTiming();
    const std::string path = dir.File("work.vxdb");
    vx::testing::WriteFileBytes(path, bytes);
    vx::ExperimentFile file;
    file.path = path;
    file.services = services.Bundle();
    state.ResumeTiming();
    SQLite::Database db;
    vx::OpenExperimentDb(db, file, {.checkType = true});
    if (!vx::UpgradeExperimentDb(db, file) || db.lastError() != 0) {
      state.SkipWithError("upgrade failed");
    }
  }
  state.SetItemsProcessed(state.iterations() * state.range(0));
}
BENCHMARK(ExperimentUpgradeFromVersion5)->Arg(500)->Unit(benchmark::kMillisecond);

}  // namespace
