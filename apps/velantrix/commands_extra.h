// Families of verbs registered apart from commands.h: the catalogues (measures, variables) and
// the report verbs that write definitions.
#pragma once

#include <string>
#include <vector>

#include "commands.h"
#include "reports/report_definition.h"
#include "reports/report_runner.h"
#include "reports/report_table.h"

namespace vx {
class Experiment;
}

namespace vx::cli {

void RegisterCatalogueCommands(CLI::App& app, Context& context, CommandResult& result);
// report add, set, show and delete, on the "report" verb.
void RegisterReportEditCommands(CLI::App& verb, Context& context, CommandResult& result);
void RegisterExportCommands(CLI::App& app, Context& context, CommandResult& result);

// A report run over its protocol's tests, or those a filter selects, laid out as the result
// table (shared by report run and export).
struct ReportRows {
  Report report;
  std::vector<TestResult> results;
  ReportRunStats stats;
  ReportTable table;
};
// Runs the report with progress on a terminal: kExitOk, or the failure status after saying why.
int RunReportRows(Context& context, Experiment& experiment, const std::string& path, int reportId,
                  int filterId, ReportRows& rows);
// Says on standard error which tests' rows are empty because their result could not be
// computed: kExitFailed when there is any (an empty row alone would read as a result).
int ReportFailedTests(Context& context, const ReportRows& rows);

}  // namespace vx::cli
