// Verbs on reports: report list, report run (add, set, show and delete: commands_report_edit.cpp).
#include <CLI/CLI.hpp>

#include <charconv>
#include <cmath>
#include <memory>

#include "analysis/analysis_facts.h"
#include "measures/measure_catalogue.h"
#include "reports/report_display.h"
#include "reports/report_runner.h"
#include "reports/report_table.h"
#include "results/filter_selection.h"
#include "base/messages.h"
#include "base/text.h"
#include "commands_extra.h"
#include "context.h"
#include "experiment_access.h"
#include "option_values.h"
#include "output.h"

namespace vx::cli {

namespace {

// Report values are kept in single precision: printed as the shortest text that reads back
// as the same float, they show 0.4 rather than 0.4000000059604645.
std::string StoredNumber(double value) {
  if (!std::isfinite(value)) return "null";
  const float f = static_cast<float>(value);
  if (static_cast<double>(f) != value) return JsonNumber(value);
  char text[32];
  const auto end = std::to_chars(text, text + sizeof text, f);
  return std::string(text, end.ptr);
}

int RunList(Context& context, const std::string& path, int protocolId, OutputFormat format) {
  Experiment experiment;
  int status = kExitOk;
  if (!OpenExperimentForCommand(context, path, experiment, status)) return status;
  if (protocolId != -1 && experiment.FindProtocol(protocolId) == nullptr) {
    return context.Fail(Format("There is no protocol %d in '%s'.", protocolId, path.c_str()));
  }
  RecordTable table({"id", "protocol", "name", "measure", "measure_name", "config"});
  for (const CProtocol& protocol : experiment.protocols) {
    if (protocolId != -1 && protocol.id != protocolId) continue;
    for (const Report& r : ProtocolReports(protocol)) {
      table.Add({Cell::Int(r.id), Cell::Int(r.protocolId), Cell::Str(r.name),
                 Cell::Int(r.readable ? r.definition.measure : -1),
                 Cell::Str(r.readable ? MeasureLabel(r.definition.measure) : "unreadable definition"),
                 Cell::Str(r.config)});
    }
  }
  table.Print(context.io.out, format);
  return kExitOk;
}

// Why a report could not run, in words.
int RunFailure(Context& context, ReportRunStatus status, const Report& report,
               const std::string& path) {
  switch (status) {
    case ReportRunStatus::kUnreadableConfig:
      return context.Fail(Format("The definition of report %d cannot be read: '%s'.", report.id,
                                 report.config.c_str()));
    case ReportRunStatus::kRefused:
      return context.Fail(MessageText(ValidateMeasureDefinition(report.definition)));
    case ReportRunStatus::kNoProtocol:
      return context.Fail(Format("The protocol of report %d no longer exists.", report.id));
    case ReportRunStatus::kCancelled:
      return context.Fail("The report was cancelled.");
    default:
      return context.Fail(Format("Unable to read '%s'.", path.c_str()));
  }
}

// The detection behind a row: whether its numbers come from a trustworthy analysis.
AnalysisFacts DetectionOfTest(Experiment& experiment, int testId) {
  const auto test = experiment.tests.find(testId);
  if (test == experiment.tests.end()) return AnalysisFacts();
  return ReadAnalysisFacts(test->second, experiment.FindVideo(test->second.source));
}

std::string RateText(const AnalysisFacts& d) {
  return d.detectionRate >= 0 ? JsonNumber(RoundHalfAway(d.detectionRate * 100.0) / 100.0) : "null";
}

void PrintJson(Context& context, Experiment& experiment, const Report& report,
               const std::vector<TestResult>& results, const ReportTable& table) {
  std::ostream& out = context.io.out;
  out << "{\"report\": " << report.id << ", \"measure\": " << report.definition.measure
      << ", \"columns\": [";
  for (size_t c = 0; c < table.columns.size(); ++c) {
    out << (c ? ", " : "") << JsonString(table.columns[c].label);
  }
  out << "], \"rows\": [";
  for (size_t i = 0; i < results.size(); ++i) {
    const TestResult& r = results[i];
    out << (i ? ",\n  " : "\n  ") << "{\"test\": " << r.testId
        << ", \"title\": " << JsonString(r.title) << ", \"values\": [";
    for (size_t c = 0; c < table.rows[i].size(); ++c) {
      const std::optional<double>& v = table.rows[i][c];
      out << (c ? ", " : "") << (v ? StoredNumber(*v) : "null");
    }
    out << "]";
    if (report.definition.measure == kMeasureEntryEvents) {
      out << ", \"text\": " << (r.text ? JsonString(*r.text) : "null");
    }
    const AnalysisFacts detection = DetectionOfTest(experiment, r.testId);
    const bool known = detection.detectionRate >= 0;
    out << ", \"detection_rate\": " << RateText(detection) << ", \"frames\": "
        << (known ? std::to_string(detection.framesAnalysed) : "null") << "}";
  }
  out << (results.empty() ? "]}\n" : "\n]}\n");
}

// CSV and text: one row per test; the entry events as a column "text".
void PrintTable(Context& context, Experiment& experiment, const Report& report,
                const std::vector<TestResult>& results, const ReportTable& table,
                OutputFormat format) {
  const bool events = report.definition.measure == kMeasureEntryEvents;
  std::vector<std::string> columns{"test", "title"};
  for (const ReportColumn& column : table.columns) columns.push_back(column.label);
  if (events) columns.push_back("text");
  const bool human = format == OutputFormat::Text;
  columns.push_back(human ? "Detection rate (%)" : "detection_rate");
  columns.push_back(human ? "Frames" : "frames");
  RecordTable records(columns);
  for (size_t i = 0; i < results.size(); ++i) {
    std::vector<Cell> row{Cell::Int(results[i].testId), Cell::Str(results[i].title)};
    for (const std::optional<double>& v : table.rows[i]) {
      if (!v) {
        row.push_back(Cell::Str(""));
      } else if (format == OutputFormat::Text) {
        row.push_back(Cell::Str(DisplayResultValue(report.definition, *v)));
      } else {
        row.push_back({Cell::Number, StoredNumber(*v)});
      }
    }
    if (events) row.push_back(Cell::Str(results[i].text.value_or("")));
    const AnalysisFacts detection = DetectionOfTest(experiment, results[i].testId);
    const bool known = detection.detectionRate >= 0;
    row.push_back(known ? Cell{Cell::Number, RateText(detection)} : Cell{Cell::Literal, "null"});
    row.push_back(known ? Cell::Int(detection.framesAnalysed) : Cell{Cell::Literal, "null"});
    records.Add(std::move(row));
  }
  records.Print(context.io.out, format);
}

}  // namespace

int RunReportRows(Context& context, Experiment& experiment, const std::string& path, int reportId,
                  int filterId, ReportRows& rows) {
  if (!FindReport(experiment, reportId, rows.report)) {
    return context.Fail(Format("There is no report %d in '%s'.", reportId, path.c_str()));
  }
  const Report& report = rows.report;
  ReportRunOptions options;
  std::vector<int> filtered;
  if (filterId != -1) {
    FilterSelection selected;
    switch (FilterTestIds(experiment, filterId, report.protocolId, filtered, &selected)) {
      case FilterUse::kNoFilter:
        return context.Fail(Format("There is no filter %d in '%s'.", filterId, path.c_str()));
      case FilterUse::kOtherProtocol:
        return context.Fail(Format("Filter %d selects tests of another protocol than report %d's.",
                                   filterId, reportId), kExitUsage);
      case FilterUse::kOk:
        break;
    }
    if (!selected.error.empty()) context.io.err << selected.error << '\n';
    options.testIds = &filtered;
  }
  const bool progress = context.ShowProgress();
  if (progress) {
    options.progress = [&](int done, int total) {
      context.io.err << Format("\rComputing the report: %d / %d tests", done, total)
                     << std::flush;
    };
  }
  const ReportRunStatus run = RunReport(experiment, report, options, rows.results, &rows.stats);
  if (progress) context.io.err << '\n';
  if (run != ReportRunStatus::kOk) return RunFailure(context, run, report, path);
  rows.table = BuildReportTable(report.definition, rows.results);
  return kExitOk;
}

int ReportFailedTests(Context& context, const ReportRows& rows) {
  for (const auto& [testId, status] : rows.stats.failedTests) {
    std::string title;
    for (const TestResult& result : rows.results) {
      if (result.testId == testId) title = result.title;
    }
    const char* why = status == TestDataStatus::kCorruptTrajectory
                          ? "its stored trajectory is corrupt"
                          : "it could not be read";
    context.Fail(Format("Test %d (%s): %s; its row is empty.", testId, title.c_str(), why));
  }
  return rows.stats.failedTests.empty() ? kExitOk : kExitFailed;
}

namespace {

int RunReportCommand(Context& context, const std::string& path, int reportId, int filterId,
                     OutputFormat format) {
  Experiment experiment;
  int status = kExitOk;
  if (!OpenExperimentForCommand(context, path, experiment, status)) return status;
  ReportRows rows;
  status = RunReportRows(context, experiment, path, reportId, filterId, rows);
  if (status != kExitOk) return status;
  if (format == OutputFormat::Json) {
    PrintJson(context, experiment, rows.report, rows.results, rows.table);
  } else {
    PrintTable(context, experiment, rows.report, rows.results, rows.table, format);
  }
  return ReportFailedTests(context, rows);
}

}  // namespace

void RegisterReportCommands(CLI::App& app, Context& context, CommandResult& result) {
  CLI::App* verb = Verb(app, "report", "Reports: measure definitions of a protocol, run over its tests");
  verb->require_subcommand(1);

  RegisterReportEditCommands(*verb, context, result);

  auto path = std::make_shared<std::string>();
  auto protocolId = std::make_shared<int>(-1);
  auto reportId = std::make_shared<int>(-1);
  auto filterId = std::make_shared<int>(-1);
  auto json = std::make_shared<bool>(false);
  auto csv = std::make_shared<bool>(false);

  CLI::App* list = verb->add_subcommand("list", "List the reports");
  list->add_option("EXP", *path, "Experiment file")->required();
  list->add_option("--protocol", *protocolId, "Only the reports of this protocol")->check(NumberIn(RecordId()));
  list->add_flag("--json", *json, "One JSON document")
      ->excludes(list->add_flag("--csv", *csv, "CSV: a header row, then one row per report"));
  list->callback([&context, &result, path, protocolId, json, csv] {
    result.Select([&context, path, protocolId, json, csv] {
      return RunList(context, *path, *protocolId, ChosenFormat(*json, *csv));
    });
  });

  CLI::App* run = verb->add_subcommand(
      "run", "Run a report over its protocol's tests: one row per test, one column per period "
             "and cell (cached results are used and fresh ones cached)");
  run->add_option("EXP", *path, "Experiment file")->required();
  run->add_option("REPORT_ID", *reportId, "Report id")->required()->check(NumberIn(RecordId()));
  run->add_option("--filter", *filterId, "Only the tests a filter selects")->check(NumberIn(RecordId()));
  run->add_flag("--json", *json, "One JSON document")
      ->excludes(run->add_flag("--csv", *csv, "CSV: a header row, then one row per test"));
  run->callback([&context, &result, path, reportId, filterId, json, csv] {
    result.Select([&context, path, reportId, filterId, json, csv] {
      return RunReportCommand(context, *path, *reportId, *filterId, ChosenFormat(*json, *csv));
    });
  });
}

}  // namespace vx::cli
