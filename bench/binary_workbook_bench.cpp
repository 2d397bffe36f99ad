// Speed of writing a result table of 500 tests x 200 columns to a binary workbook (.xls): a
// header row of texts, ids, the test names, numbers and durations in both formats.
// Run: /usr/bin/time -v build/bench/vx_bench --benchmark_filter=BinaryWorkbook
// (the peak memory is the "Maximum resident set size" line).
#include <benchmark/benchmark.h>

#include <cstdio>
#include <string>

#include "result_table_sheet.h"
#include "results/workbook_files.h"

namespace {

void BM_BinaryWorkbookOf500TestsBy200Columns(benchmark::State& state) {
  vx::Workbook book;
  book.sheets.push_back(BenchResultTable(500, 200));
  const std::string path = "/tmp/vx-bench-result-table.xls";
  std::string error;
  for (auto _ : state) {
    if (!vx::WriteBinaryWorkbook(path, book, &error)) state.SkipWithError(error.c_str());
  }
  std::remove(path.c_str());
}
BENCHMARK(BM_BinaryWorkbookOf500TestsBy200Columns)->Unit(benchmark::kMillisecond);

}  // namespace
