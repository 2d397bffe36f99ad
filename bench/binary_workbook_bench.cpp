// Speed of writing a result table of 500 tests x 200 columns to a binary workbook (.xls): a
// header row of texts, the test names, numbers and durations in both formats.
// Run: /usr/bin/time -v build/bench/vx_bench --benchmark_filter=BinaryWorkbook
// (the peak memory is the "Maximum resident set size" line).
#include <benchmark/benchmark.h>

#include <cstdio>
#include <string>

#include "results/workbook_files.h"

namespace {

vx::Workbook ResultTable(int tests, int columns) {
  vx::Workbook book;
  vx::Sheet& sheet = book.AddSheet("Results");
  for (int column = 0; column < columns; ++column) {
    sheet.WriteText(0, column, "Measure " + std::to_string(column) + " (zone " + std::to_string(column % 7) + ")");
  }
  for (int row = 1; row <= tests; ++row) {
    sheet.WriteText(row, 0, "Test " + std::to_string(row));
    for (int column = 1; column < columns; ++column) {
      const double value = row * 1.25 + column / 3.0;
      if (column % 10 == 1) {
        sheet.WriteDuration(row, column, value, vx::DurationFormat::WholeSeconds);
      } else if (column % 10 == 2) {
        sheet.WriteDuration(row, column, value, vx::DurationFormat::Milliseconds);
      } else {
        sheet.WriteNumber(row, column, value);
      }
    }
  }
  return book;
}

void BM_BinaryWorkbookOf500TestsBy200Columns(benchmark::State& state) {
  const vx::Workbook book = ResultTable(500, 200);
  const std::string path = "/tmp/vx-bench-result-table.xls";
  std::string error;
  for (auto _ : state) {
    if (!vx::WriteBinaryWorkbook(path, book, &error)) state.SkipWithError(error.c_str());
  }
  std::remove(path.c_str());
}
BENCHMARK(BM_BinaryWorkbookOf500TestsBy200Columns)->Unit(benchmark::kMillisecond);

}  // namespace
