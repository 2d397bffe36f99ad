// The export verb: a report's result table (with the update mode of a workbook exported
// before), the lists of animals, tests and videos, and a test's events, analysis or trajectory,
// to .xlsx, .xls, .csv (";") or .txt (tab). What goes in the file is decided in the core
// (results/); this file only chooses, asks and says what happened.
#include <CLI/CLI.hpp>

#include <memory>

#include "base/text.h"
#include "commands_extra.h"
#include "context.h"
#include "experiment_access.h"
#include "option_values.h"
#include "output.h"
#include "results/delimited_text.h"
#include "results/export_save.h"
#include "results/list_exports.h"
#include "results/result_table_export.h"
#include "results/test_exports.h"
#include "results/workbook_files.h"

namespace vx::cli {

namespace {

struct ExportOptions {
  std::string path, out;
  int id = -1, filterId = -1, behaviourId = -1;
  bool update = false, replace = false, force = false, json = false;
  bool tests = false, animals = false, videos = false;
  bool events = false, analysis = false, trajectory = false;
};

// The update question answered from --update, --replace and --force, or at the terminal.
class FlagChooser : public UpdateChooser {
 public:
  FlagChooser(Io& io, const ExportOptions& o) : io_(io), o_(o) {}
  UpdateChoice Choose(const UpdateQuestion& question) override {
    if (o_.update && (!question.cellsOutsideNotEmpty || o_.force)) return UpdateChoice::kUpdate;
    if (o_.replace) return UpdateChoice::kReplace;
    if (!io_.inIsTerminal) {
      unanswered = true;
      return UpdateChoice::kCancel;
    }
    io_.err << question.text << "\n[u]pdate, [r]eplace, [c]ancel or [h]elp? ";
    io_.err.flush();
    std::string line;
    if (!std::getline(io_.in, line) || line.empty()) return UpdateChoice::kCancel;
    switch (line[0]) {
      case 'u': case 'U': return UpdateChoice::kUpdate;
      case 'r': case 'R': return UpdateChoice::kReplace;
      case 'h': case 'H': return UpdateChoice::kHelp;
      default: return UpdateChoice::kCancel;
    }
  }
  bool unanswered = false;

 private:
  Io& io_;
  const ExportOptions& o_;
};

std::string KindName(const std::string& path) {
  switch (TextKindForPath(path)) {
    case TextKind::Semicolons: return "csv";
    case TextKind::Tabs: return "txt";
    case TextKind::None: break;
  }
  return WorkbookKindForPath(path) == WorkbookKind::Binary ? "xls" : "xlsx";
}

// Data rows of every sheet (header rows not counted).
int DataRows(const Workbook& book) {
  int rows = 0;
  for (const Sheet& sheet : book.sheets) rows += std::max(0, sheet.LastUsedRow());
  return rows;
}

int Written(Context& context, const ExportOptions& o, const std::string& what,
            const Workbook& book, bool updated) {
  if (o.json) {
    context.io.out << "{\"file\": " << JsonString(o.out) << ", \"kind\": \"" << KindName(o.out)
                   << "\", \"sheets\": " << book.sheets.size() << ", \"rows\": " << DataRows(book)
                   << ", \"updated\": " << (updated ? "true" : "false") << "}\n";
  } else {
    const int rows = DataRows(book);
    context.io.out << what << Format(", %d %s, ", rows, rows == 1 ? "row" : "rows")
                   << (updated ? "updated in " : "written to ") << o.out << '\n';
  }
  return kExitOk;
}

int SaveBook(Context& context, const ExportOptions& o, const std::string& what, const Workbook& book) {
  std::string reason;
  if (SaveExport(o.out, book, context.services(), &reason) != SaveStatus::kSaved) {
    return context.Fail(Format("'%s' was not written: %s.", o.out.c_str(), reason.c_str()));
  }
  return Written(context, o, what, book, false);
}

int RunReportExport(Context& context, const ExportOptions& o, Experiment& experiment) {
  ReportRows rows;
  if (const int status = RunReportRows(context, experiment, o.path, o.id, o.filterId, rows);
      status != kExitOk) {
    return status;
  }
  const Sheet table = ResultTableSheet(experiment, rows.report, rows.results, rows.table);
  FlagChooser chooser(context.io, o);
  if (o.replace) context.asker.assumeYes = true;  // --replace answers "replace it ?" too
  const ExportOutcome outcome = ExportResultTable(
      o.out, "Velantrix - " + rows.report.name, table, context.services(), chooser);
  switch (outcome.status) {
    case ExportStatus::kSaved:
      break;
    case ExportStatus::kCancelled:
      return context.Fail(Format("'%s' exists: nothing was written. Give --update or --replace "
                                 "(and --force to overwrite cells beside the table).",
                                 o.out.c_str()),
                          kExitNotConfirmed);
    case ExportStatus::kLocked:
      return context.Fail(Format("'%s' was not written.", o.out.c_str()));
    case ExportStatus::kWriteFailed:
      return context.Fail(Format("'%s' was not written: %s.", o.out.c_str(), outcome.reason.c_str()));
  }
  Workbook shown;
  shown.sheets.push_back(table);
  Written(context, o, Format("Result table of report %d", o.id), shown, outcome.updated);
  return ReportFailedTests(context, rows);
}

int TestExportFailure(Context& context, const ExportOptions& o, TestExportStatus status) {
  switch (status) {
    case TestExportStatus::kNoTest:
      return context.Fail(Format("There is no test %d in '%s'.", o.id, o.path.c_str()));
    case TestExportStatus::kNoProtocol:
      return context.Fail(Format("Test %d has no protocol.", o.id));
    case TestExportStatus::kNoBehaviour:
      return context.Fail(Format("The protocol of test %d has no behaviour %d.", o.id, o.behaviourId),
                          kExitUsage);
    case TestExportStatus::kNotAnalysed:
      return context.Fail(Format("Test %d is not analysed: there is nothing to export.", o.id));
    case TestExportStatus::kCorrupt:
      return context.Fail(Format("The stored data of test %d are damaged.", o.id));
    default:
      return context.Fail(Format("Unable to read '%s'.", o.path.c_str()));
  }
}

int RunExport(Context& context, const ExportOptions& o) {
  const int lists = o.tests + o.animals + o.videos;
  const int testData = o.events + o.analysis + o.trajectory;
  if (lists + testData > 1) return context.Fail("Give one of --tests, --animals, --videos, --events, --analysis, --trajectory.", kExitUsage);
  if (lists == 1 && o.id != -1) return context.Fail("A list export takes no id.", kExitUsage);
  if (lists == 0 && o.id == -1) return context.Fail("Give a report id, a test id with --events, --analysis or --trajectory, or a list flag.", kExitUsage);
  const bool report = lists + testData == 0;
  if (!report && (o.update || o.replace || o.force || o.filterId != -1)) {
    return context.Fail("--update, --replace, --force and --filter belong to a report's export.", kExitUsage);
  }
  if (o.behaviourId != -1 && !o.events) return context.Fail("--behaviour goes with --events.", kExitUsage);
  Experiment experiment;
  int status = kExitOk;
  if (!OpenExperimentForCommand(context, o.path, experiment, status)) return status;
  if (report) return RunReportExport(context, o, experiment);

  const ExportShape shape = ShapeForPath(o.out);
  Workbook book;
  if (lists == 1) {
    book.sheets.push_back(o.animals ? AnimalListSheet(experiment)
                          : o.videos ? VideoListSheet(experiment)
                                     : TestListSheet(experiment, LoadDisplayUnits(*context.settings)));
    return SaveBook(context, o, o.animals ? "Animals" : o.videos ? "Videos" : "Tests", book);
  }
  const TestExportStatus made =
      o.events ? BehaviourEventsBook(experiment, o.id, o.behaviourId, shape, &book)
      : o.analysis ? AnalysisBook(experiment, o.id, LoadDisplayUnits(*context.settings), &book)
                   : TrajectoryBook(experiment, o.id, shape, &book);
  if (made != TestExportStatus::kOk) return TestExportFailure(context, o, made);
  const char* what = o.events ? "Behaviour events" : o.analysis ? "Analysis" : "Trajectory";
  return SaveBook(context, o, Format("%s of test %d", what, o.id), book);
}

}  // namespace

void RegisterExportCommands(CLI::App& app, Context& context, CommandResult& result) {
  auto o = std::make_shared<ExportOptions>();
  CLI::App* verb = app.add_subcommand(
      "export",
      "Export to a spreadsheet: .xlsx, .xls, .csv (\";\"-separated) or .txt (tab-separated), the "
      "kind chosen by the file name. EXP REPORT_ID: a report's result table (a workbook exported "
      "before is updated in place with --update: only its table is rewritten, every other cell "
      "kept). EXP --tests|--animals|--videos: a list. EXP TEST_ID --events|--analysis|"
      "--trajectory: a test's behaviour events (one sheet per behaviour), analysis or trajectory");
  verb->add_option("EXP", o->path, "Experiment file")->required();
  verb->add_option("ID", o->id, "Report id, or test id with --events, --analysis, --trajectory")
      ->check(NumberIn(RecordId()));
  verb->add_option("--out", o->out, "The file to write")->required();
  verb->add_option("--filter", o->filterId, "Only the tests a filter selects")->check(NumberIn(RecordId()));
  verb->add_flag("--update", o->update, "Rewrite the table of a workbook exported before, keeping every other cell")
      ->excludes(verb->add_flag("--replace", o->replace, "Replace an existing file"));
  verb->add_flag("--force", o->force, "With --update: also when cells beside the old table would be overwritten");
  verb->add_flag("--tests", o->tests, "The list of tests");
  verb->add_flag("--animals", o->animals, "The list of animals");
  verb->add_flag("--videos", o->videos, "The list of videos");
  verb->add_flag("--events", o->events, "A test's behaviour events");
  verb->add_option("--behaviour", o->behaviourId, "With --events: only this behaviour")->check(CLI::NonNegativeNumber);
  verb->add_flag("--analysis", o->analysis, "A test's analysis summary");
  verb->add_flag("--trajectory", o->trajectory, "A test's trajectory, one row per point");
  verb->add_flag("--json", o->json, "Say what was written as one JSON document");
  verb->callback([&context, &result, o] { result.Select([&context, o] { return RunExport(context, *o); }); });
}

}  // namespace vx::cli
