// Verbs on measures and the stage program: measure, program check.
#include <CLI/CLI.hpp>

#include <memory>

#include "measures/measure_engine.h"
#include "measures/test_measure_data.h"
#include "base/messages.h"
#include "base/text.h"
#include "commands.h"
#include "context.h"
#include "option_values.h"
#include "output.h"
#include "protocol/stage_program.h"
#include "zones/zone_rows.h"

namespace vx::cli {

namespace {

OutputFormat FormatOf(bool json, bool csv) {
  return json ? OutputFormat::Json : (csv ? OutputFormat::Csv : OutputFormat::Text);
}

Cell NumberCell(double value) { return {Cell::Number, JsonNumber(value)}; }

// Loads the experiment's lists; a failure is explained.
int LoadExperiment(Context& context, const std::string& path, Experiment& experiment) {
  if (const int status = context.CheckExperimentFile(path); status != kExitOk) return status;
  experiment.file = context.Experiment(path);
  if (!experiment.LoadAll()) return context.Fail(Format("Unable to read '%s'.", path.c_str()));
  return kExitOk;
}

void PrintMeasureTable(Context& context, int testId, const MeasureTable& table,
                       OutputFormat format) {
  std::ostream& out = context.io.out;
  if (format == OutputFormat::Json) {
    out << "{\"test\": " << testId << ", \"measure\": " << table.measure << ", \"periods\": [";
    for (size_t p = 0; p < table.PeriodCount(); ++p) out << (p ? ", " : "") << JsonString(table.periods[p]);
    out << "], \"cells\": [";
    for (size_t c = 0; c < table.CellCount(); ++c) out << (c ? ", " : "") << JsonString(table.cells[c]);
    out << "], \"values\": [";
    for (size_t p = 0; p < table.PeriodCount(); ++p) {
      out << (p ? ", [" : "[");
      for (size_t c = 0; c < table.CellCount(); ++c) out << (c ? ", " : "") << JsonNumber(table.At(p, c));
      out << "]";
    }
    out << "]";
    if (table.measure == kMeasureEntryEvents) out << ", \"text\": " << JsonString(table.text);
    out << "}\n";
    return;
  }
  if (table.measure == kMeasureEntryEvents) {  // its only result is the text
    RecordTable records({"text"});
    records.Add({Cell::Str(table.text)});
    records.Print(out, format);
    return;
  }
  std::vector<std::string> columns{"period"};
  columns.insert(columns.end(), table.cells.begin(), table.cells.end());
  RecordTable records(columns);
  for (size_t p = 0; p < table.PeriodCount(); ++p) {
    std::vector<Cell> row{Cell::Str(table.periods[p])};
    for (size_t c = 0; c < table.CellCount(); ++c) row.push_back(NumberCell(table.At(p, c)));
    records.Add(std::move(row));
  }
  records.Print(out, format);
}

int RunMeasure(Context& context, const std::string& path, int testId, const std::string& config,
               OutputFormat format) {
  MeasureDefinition definition;
  if (!ParseMeasureConfig(config, definition)) {
    return context.Fail(Format("--config: '%s' is not a measure definition.", config.c_str()),
                        kExitUsage);
  }
  if (const int refused = ValidateMeasureDefinition(definition); refused != 0) {
    return context.Fail(MessageText(refused), kExitUsage);
  }
  if (IsImageMeasure(definition.measure)) {
    return context.Fail(Format("Measure %d is an image, not a table of values.", definition.measure),
                        kExitUsage);
  }
  Experiment experiment;
  if (const int status = LoadExperiment(context, path, experiment); status != kExitOk) return status;
  auto data = std::make_unique<TestMeasureData>();
  switch (LoadTestMeasureData(experiment, testId, *data)) {
    case TestDataStatus::kOk:
      break;
    case TestDataStatus::kNoTest:
      return context.Fail(Format("There is no test %d in '%s'.", testId, path.c_str()));
    case TestDataStatus::kNoProtocol:
      return context.Fail(Format("The protocol of test %d no longer exists.", testId));
    case TestDataStatus::kCorruptTrajectory:
      return context.Fail(Format("The stored trajectory of test %d is corrupt.", testId));
    case TestDataStatus::kReadFailed:
      return context.Fail(Format("Unable to read '%s'.", path.c_str()));
  }
  // Behaviour measures in modes 4 to 7 run on tests that are only acquired.
  const bool acquiredIsEnough =
      IsBehaviorMeasure(definition.measure) && definition.periodMode >= 4;
  if (acquiredIsEnough ? data->test->source < 0 : !data->test->IsAnalysed()) {
    return context.Fail(Format(acquiredIsEnough ? "Test %d has no video." : "Test %d is not analysed.",
                               testId));
  }
  MeasureTable table;
  ComputeMeasure(definition, data->input, table);
  PrintMeasureTable(context, testId, table, format);
  return kExitOk;
}

int RunProgramCheck(Context& context, const std::string& path, int protocolId, bool json) {
  Experiment experiment;
  if (const int status = LoadExperiment(context, path, experiment); status != kExitOk) return status;
  const CProtocol* protocol = experiment.FindProtocol(protocolId);
  if (protocol == nullptr) {
    return context.Fail(Format("There is no protocol %d in '%s'.", protocolId, path.c_str()));
  }
  StageProgram program;
  LoadProgram(program, *protocol);
  ZoneSet zones;
  LoadZoneSet(*protocol, zones);
  RecordTable events({"id", "type", "description", "zone", "armed_by"});
  for (const CMyEvent& e : program.events) {
    const CDrawObj* zone = e.IsZoneCondition() ? zones.FindZone(e.zoneId) : nullptr;
    events.Add({Cell::Int(e.eventId), Cell::Int(e.type),
                Cell::Str(e.Describe(zone != nullptr ? zone->GetName() : "?")),
                Cell::Int(e.zoneId), Cell::Int(e.armedBy)});
  }
  RecordTable actions({"id", "kind", "source_event", "video", "codec", "value_a", "value_b"});
  for (const CAction& a : program.actions) {
    actions.Add({Cell::Int(a.id), Cell::Str(a.kind == kActionStart ? "start"
                                            : a.kind == kActionStop ? "stop"
                                                                    : std::to_string(a.kind)),
                 Cell::Int(a.sourceEvent), Cell::Bool(a.videoFlag), Cell::Int(a.codec),
                 Cell::Int(a.valueA), Cell::Int(a.valueB)});
  }
  const long long limit = program.maxDuration >= 1
                              ? MaximumDurationSeconds(program.maxDuration, program.maxDurationUnit)
                              : -1;
  std::ostream& out = context.io.out;
  if (json) {
    out << "{\"protocol\": " << protocolId << ", \"max_duration_s\": " << limit
        << ", \"events\": ";
    events.Print(out, OutputFormat::Json);
    out << ", \"actions\": ";
    actions.Print(out, OutputFormat::Json);
    out << "}\n";
    return kExitOk;
  }
  out << "Events:\n";
  events.Print(out, OutputFormat::Text);
  out << "Actions:\n";
  actions.Print(out, OutputFormat::Text);
  out << "Maximum duration: " << (limit < 0 ? std::string("none") : Format("%lld s", limit)) << '\n';
  return kExitOk;
}

}  // namespace

void RegisterMeasureCommands(CLI::App& app, Context& context, CommandResult& result) {
  auto path = std::make_shared<std::string>();
  auto testId = std::make_shared<int>(-1);
  auto protocolId = std::make_shared<int>(-1);
  auto config = std::make_shared<std::string>();
  auto csv = std::make_shared<bool>(false);
  auto json = std::make_shared<bool>(false);

  CLI::App* measure = app.add_subcommand(
      "measure", "Compute one measure definition (a report's Config text) for one test");
  measure->add_option("EXP", *path, "Experiment file")->required();
  measure->add_option("TEST_ID", *testId, "Test id")->required()->check(NumberIn(RecordId()));
  measure->add_option("--config", *config, "The measure definition in its stored text form")
      ->required();
  CLI::Option* csvFlag = measure->add_flag("--csv", *csv, "Comma-separated values");
  measure->add_flag("--json", *json, "One JSON document")->excludes(csvFlag);
  measure->callback([&, path, testId, config, csv, json] {
    result.Select([&, path, testId, config, csv, json] {
      return RunMeasure(context, *path, *testId, *config, FormatOf(*json, *csv));
    });
  });

  CLI::App* program = app.add_subcommand("program", "The stage program of a protocol");
  program->require_subcommand(1);
  CLI::App* check = program->add_subcommand("check", "Print the parsed events and actions");
  check->add_option("EXP", *path, "Experiment file")->required();
  check->add_option("--protocol", *protocolId, "Protocol id")->required()->check(NumberIn(RecordId()));
  check->add_flag("--json", *json, "One JSON document");
  check->callback([&, path, protocolId, json] {
    result.Select([&, path, protocolId, json] {
      return RunProgramCheck(context, *path, *protocolId, *json);
    });
  });
}

}  // namespace vx::cli
