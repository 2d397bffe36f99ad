// Verbs that write reports: report add, set, show, delete, with the measure definition given
// by name (--measure, --zones, --periods, --value, --unit, --precision) or as stored text.
#include <CLI/CLI.hpp>

#include <memory>

#include "base/messages.h"
#include "base/text.h"
#include "commands_extra.h"
#include "context.h"
#include "db/result_store.h"
#include "experiment_access.h"
#include "measures/measure_catalogue.h"
#include "measures/measure_names.h"
#include "option_values.h"
#include "output.h"
#include "reports/report_definition.h"
#include "reports/report_fields.h"

namespace vx::cli {

namespace {

// Filled while the command line is parsed.
struct EditOptions {
  std::string path, name, config;
  int protocolId = -1, reportId = -1;
  bool nameGiven = false, configGiven = false;
  std::vector<std::string> values;
  std::vector<bool> given;
  bool json = false;

  bool NamedGiven() const {
    for (bool g : given) {
      if (g) return true;
    }
    return false;
  }
};

// The help of a flag; the measure's lists every name.
std::string HelpOf(const ReportField& field) {
  std::string help = field.accepted;
  if (std::string_view(field.name) != "measure") return help;
  help += ":";
  for (int m = 0; m < kMeasureCount; ++m) {
    if (m != kMeasureTimeInZoneOld) help += Format(" %s (%d)", MeasureName(m), m);
  }
  return help;
}

void AddDefinitionFlags(CLI::App& command, EditOptions& options) {
  command.add_option_function<std::string>(
      "--config",
      [&options](const std::string& text) {
        options.config = text;
        options.configGiven = true;
      },
      "The measure definition in its stored text form (named flags apply on top)");
  const std::vector<ReportField>& fields = ReportFields();
  options.values.assign(fields.size(), "");
  options.given.assign(fields.size(), false);
  for (size_t i = 0; i < fields.size(); ++i) {
    command
        .add_option_function<std::string>(
            std::string("--") + fields[i].name,
            [&options, i](const std::string& value) {
              options.values[i] = value;
              options.given[i] = true;
            },
            HelpOf(fields[i]))
        ->group("Report settings by name");
  }
}

// The stored text (read completely), then the named flags, on definition.
int ApplyDefinitionFlags(Context& context, const EditOptions& options, const CProtocol& protocol,
                         MeasureDefinition& definition) {
  if (options.configGiven) {
    MeasureDefinition read;
    if (!ParseMeasureConfig(options.config, read) || FormatMeasureConfig(read) != options.config) {
      return context.Fail(Format("--config: '%s' is not a measure definition (a complete version-5 text).",
                                 options.config.c_str()),
                          kExitUsage);
    }
    definition = read;
  }
  const std::vector<ReportField>& fields = ReportFields();
  for (size_t i = 0; i < fields.size(); ++i) {
    if (!options.given[i]) continue;
    const std::string refused = SetReportField(definition, protocol, fields[i].name, options.values[i]);
    if (!refused.empty()) {
      return context.Fail(Format("--%s '%s': expected %s.", fields[i].name, options.values[i].c_str(),
                                 refused.c_str()),
                          kExitUsage);
    }
  }
  if (const int refused = ValidateMeasureDefinition(definition); refused != 0) {
    return context.Fail(MessageText(refused), kExitUsage);
  }
  return kExitOk;
}

int SaveEdited(Context& context, const EditOptions& options, bool adding) {
  if (options.nameGiven && Trim(options.name).empty()) return context.Fail(MessageText(msg::kEnterName), kExitUsage);
  if (adding && !options.configGiven && !options.given[0]) {
    return context.Fail("report add: give the measure (--measure NAME, see 'velantrix measures') "
                        "or the stored text (--config).", kExitUsage);
  }
  if (!adding && !options.nameGiven && !options.configGiven && !options.NamedGiven()) {
    return context.Fail("report set: give at least one thing to change (see --help).", kExitUsage);
  }
  Experiment experiment;
  int status = kExitOk;
  if (!OpenExperimentForCommand(context, options.path, experiment, status)) return status;
  Report report;
  if (!adding && !FindReport(experiment, options.reportId, report)) {
    return context.Fail(Format("There is no report %d in '%s'.", options.reportId, options.path.c_str()));
  }
  const int protocolId = adding ? options.protocolId : report.protocolId;
  const CProtocol* protocol = experiment.FindProtocol(protocolId);
  if (protocol == nullptr) {
    return context.Fail(Format("There is no protocol %d in '%s'.", protocolId, options.path.c_str()));
  }
  report.protocolId = protocolId;
  if (options.nameGiven) report.name = options.name;
  if (status = ApplyDefinitionFlags(context, options, *protocol, report.definition); status != kExitOk) {
    return status;
  }
  const bool saved = SaveReport(experiment, report);
  if (adding) return ReportCreated(context, saved, report.id, "report");
  return saved ? kExitOk : context.Fail(Format("Unable to save report %d.", report.id));
}

int RunShow(Context& context, const EditOptions& options) {
  Experiment experiment;
  int status = kExitOk;
  if (!OpenExperimentForCommand(context, options.path, experiment, status)) return status;
  Report report;
  const CProtocol* protocol = nullptr;
  if (!FindReport(experiment, options.reportId, report) ||
      (protocol = experiment.FindProtocol(report.protocolId)) == nullptr) {
    return context.Fail(Format("There is no report %d in '%s'.", options.reportId, options.path.c_str()));
  }
  const auto fields = report.readable ? DescribeReport(report.definition, *protocol)
                                      : std::vector<std::pair<std::string, std::string>>{};
  std::ostream& out = context.io.out;
  if (options.json) {
    out << "{\"id\": " << report.id << ", \"protocol\": " << report.protocolId
        << ", \"name\": " << JsonString(report.name) << ", \"readable\": " << (report.readable ? "true" : "false");
    for (const auto& [name, value] : fields) out << ", " << JsonString(name) << ": " << JsonString(value);
    out << ", \"config\": " << JsonString(report.config) << "}\n";
    return kExitOk;
  }
  out << "Report " << report.id << ": " << report.name << " (protocol " << report.protocolId << ")\n";
  if (!report.readable) out << "  (the stored definition cannot be read)\n";
  if (report.readable) out << "  label: " << MeasureLabel(report.definition.measure) << '\n';
  for (const auto& [name, value] : fields) out << "  " << name << ": " << value << '\n';
  out << "  config: " << report.config << '\n';
  return kExitOk;
}

int RunDelete(Context& context, const EditOptions& options) {
  Experiment experiment;
  int status = kExitOk;
  if (!OpenExperimentForCommand(context, options.path, experiment, status)) return status;
  Report report;
  if (!FindReport(experiment, options.reportId, report)) {
    return context.Fail(Format("There is no report %d in '%s'.", options.reportId, options.path.c_str()));
  }
  return DeleteResultDefinition(experiment, report.id)
             ? kExitOk
             : context.Fail(Format("Unable to delete report %d.", report.id));
}

CLI::App* EditCommand(CLI::App& verb, const char* name, const char* description, EditOptions& options) {
  CLI::App* command = verb.add_subcommand(name, description);
  command->add_option("EXP", options.path, "Experiment file")->required();
  return command;
}

}  // namespace

void RegisterReportEditCommands(CLI::App& verb, Context& context, CommandResult& result) {
  auto add = std::make_shared<EditOptions>();
  CLI::App* addCommand = EditCommand(verb, "add", "Add a report to a protocol; prints its id", *add);
  addCommand->add_option("--protocol", add->protocolId, "Protocol id")->required()->check(NumberIn(RecordId()));
  addCommand->add_option_function<std::string>("--name", [add](const std::string& n) {
    add->name = n;
    add->nameGiven = true;
  }, "Report name")->required();
  AddDefinitionFlags(*addCommand, *add);
  addCommand->callback([&, add] { result.Select([&, add] { return SaveEdited(context, *add, true); }); });

  auto set = std::make_shared<EditOptions>();
  CLI::App* setCommand = EditCommand(verb, "set", "Change a report's name or definition (its cached results are dropped)", *set);
  setCommand->add_option("REPORT_ID", set->reportId, "Report id")->required();
  setCommand->add_option_function<std::string>("--name", [set](const std::string& n) {
    set->name = n;
    set->nameGiven = true;
  }, "New name");
  AddDefinitionFlags(*setCommand, *set);
  setCommand->callback([&, set] { result.Select([&, set] { return SaveEdited(context, *set, false); }); });

  auto show = std::make_shared<EditOptions>();
  CLI::App* showCommand = EditCommand(verb, "show", "A report's definition by name and as stored text", *show);
  showCommand->add_option("REPORT_ID", show->reportId, "Report id")->required();
  showCommand->add_flag("--json", show->json, "One JSON document");
  showCommand->callback([&, show] { result.Select([&, show] { return RunShow(context, *show); }); });

  auto remove = std::make_shared<EditOptions>();
  CLI::App* deleteCommand = EditCommand(verb, "delete", "Delete a report with its cached results", *remove);
  deleteCommand->add_option("REPORT_ID", remove->reportId, "Report id")->required();
  deleteCommand->callback([&, remove] { result.Select([&, remove] { return RunDelete(context, *remove); }); });
}

}  // namespace vx::cli
