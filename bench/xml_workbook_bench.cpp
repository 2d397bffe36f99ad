// Speed of exporting a result table of 500 tests x 200 columns to an XML workbook (.xlsx)
// through the whole export path (lock check, temporary file, rename), and of updating it in
// place (read back, area rewritten, saved whole again).
// Run: /usr/bin/time -v build/bench/vx_bench --benchmark_filter=XmlWorkbook
// (the peak memory is the "Maximum resident set size" line). Goals: under 2 s, under 200 MB.
#include <benchmark/benchmark.h>

#include <string>

#include "result_table_sheet.h"
#include "results/result_table_export.h"
#include "support/fakes.h"
#include "support/temp_dir.h"

namespace {

class AlwaysUpdate : public vx::UpdateChooser {
 public:
  vx::UpdateChoice Choose(const vx::UpdateQuestion&) override { return vx::UpdateChoice::kUpdate; }
};

void Export(benchmark::State& state, bool update) {
  const vx::Sheet table = BenchResultTable(500, 200);
  vx::testing::TempDir dir;
  vx::testing::TestServices services;
  AlwaysUpdate chooser;
  const std::string path = dir.File("results.xlsx");
  if (update) vx::ExportResultTable(path, "Velantrix", table, services.Bundle(), chooser);
  for (auto _ : state) {
    if (!update) services.files.RemoveFile(path);
    const vx::ExportOutcome outcome =
        vx::ExportResultTable(path, "Velantrix", table, services.Bundle(), chooser);
    if (outcome.status != vx::ExportStatus::kSaved) state.SkipWithError(outcome.reason.c_str());
  }
}

void BM_XmlWorkbookOf500TestsBy200Columns(benchmark::State& state) { Export(state, false); }
BENCHMARK(BM_XmlWorkbookOf500TestsBy200Columns)->Unit(benchmark::kMillisecond);

void BM_XmlWorkbookUpdateOf500TestsBy200Columns(benchmark::State& state) { Export(state, true); }
BENCHMARK(BM_XmlWorkbookUpdateOf500TestsBy200Columns)->Unit(benchmark::kMillisecond);

}  // namespace
