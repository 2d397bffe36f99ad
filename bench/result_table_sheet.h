// The result table both workbook benchmarks write: ids, test titles, then numbers with every
// tenth column a duration of each format, under a header row of zone labels.
#pragma once

#include <string>

#include "results/workbook.h"

inline vx::Sheet BenchResultTable(int tests, int columns) {
  vx::Sheet table("Results");
  for (int column = 0; column < columns; ++column) {
    table.WriteText(0, column, "Period " + std::to_string(column / 7) + " / Zone " +
                                   std::to_string(column % 7) + " ( in )");
  }
  for (int row = 1; row <= tests; ++row) {
    table.WriteNumber(row, 0, row);
    table.WriteText(row, 1, "Mouse " + std::to_string(row) + ", day 1");
    for (int column = 2; column < columns; ++column) {
      const double value = row * 1.25 + column / 3.0;
      if (column % 10 == 1) {
        table.WriteDuration(row, column, value, vx::DurationFormat::WholeSeconds);
      } else if (column % 10 == 2) {
        table.WriteDuration(row, column, value, vx::DurationFormat::Milliseconds);
      } else {
        table.WriteNumber(row, column, value);
      }
    }
  }
  return table;
}
