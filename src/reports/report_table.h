// A report's results laid out as the result table shows them: one row per test, one column
// per (period, cell) found in any test's result, in the order they first appear (tests of
// different lengths have different numbers of time slices; speed ranges with an automatic
// maximum, different numbers of ranges).
//
// A column is labelled by its cell ("A ( in )"), preceded by its period ("00:05:00 - 00:10:00
// / A ( in )") when the report's periods can be more than one: time slices of a set length
// and lists of periods. The whole analysis, an event-bounded period and the speed ranges are
// one period and go unnamed.
#pragma once

#include <optional>
#include <string>
#include <vector>

#include "measures/measure_definition.h"
#include "reports/report_result.h"

namespace vx {

struct ReportColumn {
  std::string period;
  std::string cell;
  std::string label;
};

struct ReportTable {
  std::vector<ReportColumn> columns;
  // rows[i][c]: the value of results[i] in column c; none where that test has no such cell.
  std::vector<std::vector<std::optional<double>>> rows;
};

ReportTable BuildReportTable(const MeasureDefinition& definition,
                             const std::vector<TestResult>& results);

// Whether the definition's results are named by period in their columns.
bool ColumnsNamePeriods(const MeasureDefinition& definition);

}  // namespace vx
