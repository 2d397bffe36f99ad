// A report run laid out for the results page: the export's header (units in the labels), the
// values as the result table shows them, then the detection rate and frames of each test.
#pragma once

#include <QStringList>
#include <string>
#include <vector>

#include "record_table_model.h"
#include "reports/report_definition.h"
#include "reports/report_result.h"
#include "reports/report_runner.h"
#include "reports/report_table.h"
#include "results/workbook.h"

namespace vx::gui {

struct ResultRun {
  Report report;
  std::vector<TestResult> results;
  ReportTable table;
  ReportRunStats stats;
  ReportRunStatus status = ReportRunStatus::kReadFailed;
  std::string filterError;  // a filter formula's error, "" when none
};

// Runs report over its protocol's tests, or those filterId selects (-1: no filter).
ResultRun RunResults(Experiment& experiment, const Report& report, int filterId);

QStringList ResultHeaders(const Experiment& experiment, const ResultRun& run);
std::vector<RecordTableModel::Row> ResultRows(const Experiment& experiment, const ResultRun& run);

// Why a run gave no table, in words ("" when it did).
std::string ResultRunProblem(const ResultRun& run);

}  // namespace vx::gui
