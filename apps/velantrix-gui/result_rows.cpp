#include "result_rows.h"

#include "analysis/analysis_facts.h"
#include "base/messages.h"
#include "base/text.h"
#include "measures/measure_definition.h"
#include "reports/report_display.h"
#include "results/filter_selection.h"
#include "results/result_table_export.h"

namespace vx::gui {

namespace {

constexpr int kFixedColumns = 3;  // Id, Test, Animal

AnalysisFacts FactsOf(const Experiment& experiment, int testId) {
  const auto test = experiment.tests.find(testId);
  if (test == experiment.tests.end()) return {};
  const auto video = experiment.videos.find(test->second.source);
  return ReadAnalysisFacts(test->second, video != experiment.videos.end() ? &video->second : nullptr);
}

}  // namespace

ResultRun RunResults(Experiment& experiment, const Report& report, int filterId) {
  ResultRun run;
  run.report = report;
  ReportRunOptions options;
  std::vector<int> selected;
  if (filterId >= 0) {
    FilterSelection evaluation;
    if (FilterTestIds(experiment, filterId, report.protocolId, selected, &evaluation) == FilterUse::kOk) {
      options.testIds = &selected;
      run.filterError = evaluation.error;
    }
  }
  run.status = RunReport(experiment, report, options, run.results, &run.stats);
  if (run.status == ReportRunStatus::kOk) run.table = BuildReportTable(report.definition, run.results);
  return run;
}

QStringList ResultHeaders(const Experiment& experiment, const ResultRun& run) {
  const Sheet sheet = ResultTableSheet(experiment, run.report, run.results, run.table);
  QStringList headers;
  for (int c = 0; c < sheet.ColumnCount(); ++c) headers << QString::fromStdString(sheet.ReadText(0, c));
  return headers << "Detection rate (%)" << "Frames";
}

std::vector<RecordTableModel::Row> ResultRows(const Experiment& experiment, const ResultRun& run) {
  const Sheet sheet = ResultTableSheet(experiment, run.report, run.results, run.table);
  const int columns = sheet.ColumnCount();
  const int values = static_cast<int>(run.table.columns.size());
  std::vector<RecordTableModel::Row> rows;
  for (size_t i = 0; i < run.results.size(); ++i) {
    const int row = static_cast<int>(i) + 1;
    QStringList cells{QString::number(run.results[i].testId), QString::fromStdString(run.results[i].title),
                      QString::fromStdString(sheet.ReadText(row, 2))};
    for (int c = 0; c < values; ++c) {
      const std::optional<double>& value = run.table.rows[i][c];
      cells << (value ? QString::fromStdString(DisplayResultValue(run.report.definition, *value)) : QString());
    }
    for (int c = kFixedColumns + values; c < columns; ++c) cells << QString::fromStdString(sheet.ReadText(row, c));
    const AnalysisFacts facts = FactsOf(experiment, run.results[i].testId);
    cells << (facts.detectionRate >= 0 ? QString::number(facts.detectionRate, 'f', 2) : QString())
          << (facts.analysed ? QString::number(facts.framesAnalysed) : QString());
    rows.push_back({run.results[i].testId, cells});
  }
  return rows;
}

std::string ResultRunProblem(const ResultRun& run) {
  switch (run.status) {
    case ReportRunStatus::kOk: return "";
    case ReportRunStatus::kCancelled: return "The report was cancelled.";
    case ReportRunStatus::kReadFailed: return "The experiment file could not be read.";
    case ReportRunStatus::kNoProtocol: return "The report's protocol no longer exists.";
    case ReportRunStatus::kUnreadableConfig:
      return Format("The definition of report %d cannot be read.", run.report.id);
    case ReportRunStatus::kRefused: return MessageText(ValidateMeasureDefinition(run.report.definition));
  }
  return "";
}

}  // namespace vx::gui
