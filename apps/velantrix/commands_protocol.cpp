// Verbs on protocols: protocol add, list, show.
#include <CLI/CLI.hpp>

#include <memory>

#include "base/text.h"
#include "commands.h"
#include "context.h"
#include "db/protocol_store.h"
#include "experiment_access.h"
#include "option_values.h"
#include "output.h"
#include "zone_session.h"
#include "zones/zone_rows.h"

namespace vx::cli {

namespace {

NumberList ImageSize() { return {"WIDTHxHEIGHT", 'x', 2, {1, 100000, true, "pixels"}, false}; }

struct AddOptions {
  std::string path, name, size, inactivityUnit = "s";
  bool head = false;
  int inactivity = -1;
};

int InactivityUnitCode(const std::string& unit) {
  if (unit == "ms") return 0;
  if (unit == "s") return 1;
  if (unit == "min") return 2;
  return -1;
}

const char* InactivityUnitName(int code) {
  switch (code) {
    case 0: return "ms";
    case 1: return "s";
    case 2: return "min";
    default: return "?";
  }
}

int RunAdd(Context& context, const AddOptions& options) {
  CProtocol protocol;
  protocol.name = options.name;
  protocol.diagram = kDefaultDiagram;
  protocol.headDetection = options.head;
  if (Trim(options.name).empty()) return context.Fail("The protocol needs a name.", kExitUsage);
  if (!options.size.empty()) {
    std::vector<int> size;
    if (const std::string problem = ReadWholeNumbers(options.size, ImageSize(), size);
        !problem.empty()) {
      return context.Fail("--size: " + problem + ".", kExitUsage);
    }
    protocol.width = size[0];
    protocol.height = size[1];
    // The default ruler is stored with the size, so that the calibration exists before the
    // first zone (it would otherwise live only in memory until then).
    ZoneSet zones;
    LoadZoneSet(protocol, zones);
    zones.SetImageSize(protocol.width, protocol.height, true, false);
    StoreZoneSet(zones, protocol);
  }
  if (options.inactivity >= 0) {
    protocol.inactivityDelay = options.inactivity;
    protocol.inactivityUnit = InactivityUnitCode(options.inactivityUnit);
  }
  Experiment experiment;
  int status = kExitOk;
  if (!OpenExperimentForCommand(context, options.path, experiment, status)) return status;
  const bool saved = SaveProtocol(experiment, protocol, false);
  return ReportCreated(context, saved, protocol.id, "protocol");
}

int RunList(Context& context, const std::string& path, OutputFormat format) {
  Experiment experiment;
  int status = kExitOk;
  if (!OpenExperimentForCommand(context, path, experiment, status)) return status;
  RecordTable table({"id", "name", "width", "height", "head", "inactivity", "inactivity_unit",
                     "zones", "reports", "filters", "tests"});
  for (const CProtocol& p : experiment.protocols) {
    int tests = 0;
    for (const auto& [id, test] : experiment.tests) tests += test.idProtocol == p.id ? 1 : 0;
    table.Add({Cell::Int(p.id), Cell::Str(p.name), Cell::Int(p.width), Cell::Int(p.height),
               Cell::Bool(p.headDetection), Cell::Int(p.inactivityDelay),
               Cell::Str(InactivityUnitName(p.inactivityUnit)), Cell::Int(p.zones.size()),
               Cell::Int(p.results.size()), Cell::Int(p.filters.size()), Cell::Int(tests)});
  }
  table.Print(context.io.out, format);
  return kExitOk;
}

int RunShow(Context& context, const std::string& path, int id, bool json) {
  Experiment experiment;
  int status = kExitOk;
  if (!OpenExperimentForCommand(context, path, experiment, status)) return status;
  const CProtocol* p = experiment.FindProtocol(id);
  if (p == nullptr) return context.Fail(Format("There is no protocol %d in '%s'.", id, path.c_str()));
  std::ostream& out = context.io.out;
  ZoneSet zoneSet;
  LoadZoneSet(*p, zoneSet);
  const RecordTable zones = ZoneTable(zoneSet);
  if (json) {
    out << "{\"id\": " << p->id << ", \"name\": " << JsonString(p->name)
        << ", \"notes\": " << JsonString(p->notes) << ", \"width\": " << p->width
        << ", \"height\": " << p->height << ", \"ruler_length\": " << p->rulerLength
        << ", \"ruler_unit\": " << p->rulerUnit
        << ", \"head\": " << (p->headDetection ? "true" : "false")
        << ", \"inactivity\": " << p->inactivityDelay
        << ", \"inactivity_unit\": " << JsonString(InactivityUnitName(p->inactivityUnit))
        << ", \"max_duration\": " << p->maxDuration
        << ", \"max_duration_unit\": " << p->maxTypeDuration
        << ", \"reports\": " << p->results.size() << ", \"filters\": " << p->filters.size()
        << ", \"zones\": ";
    zones.Print(out, OutputFormat::Json);
    out << "}\n";
    return kExitOk;
  }
  out << "Protocol " << p->id << ": " << p->name << '\n'
      << "Size: " << p->width << "x" << p->height << '\n'
      << "Ruler: " << p->rulerLength << (p->rulerUnit == 0 ? " cm" : " mm") << '\n'
      << "Head detection: " << (p->headDetection ? "yes" : "no") << '\n'
      << "Inactivity: " << p->inactivityDelay << ' ' << InactivityUnitName(p->inactivityUnit)
      << '\n'
      << "Reports: " << p->results.size() << ", filters: " << p->filters.size() << '\n'
      << "Zones: " << p->zones.size() << '\n';
  if (!p->zones.empty()) zones.Print(out, OutputFormat::Text);
  return kExitOk;
}

}  // namespace

void RegisterProtocolCommands(CLI::App& app, Context& context, CommandResult& result) {
  CLI::App* protocol = Verb(app, "protocol", "Protocols: add, list, show");

  auto add = std::make_shared<AddOptions>();
  CLI::App* addCommand = protocol->add_subcommand("add", "Add a protocol; prints its id");
  addCommand->add_option("EXP", add->path, "Experiment file")->required();
  addCommand->add_option("--name", add->name, "Protocol name")->required();
  addCommand->add_option("--size", add->size, "Image size WIDTHxHEIGHT (pixels)")
      ->check(NumbersIn(ImageSize()));
  addCommand->add_flag("--head", add->head, "Detect the animal's head");
  addCommand->add_option("--inactivity", add->inactivity, "Inactivity delay")
      ->check(NumberIn({0, 1000000, true, ""}));
  addCommand->add_option("--inactivity-unit", add->inactivityUnit, "ms, s or min (default s)")
      ->check(CLI::IsMember({"ms", "s", "min"}));
  addCommand->callback([&, add] { result.Select([&, add] { return RunAdd(context, *add); }); });

  AddListVerb(*protocol, context, result, "List the protocols", RunList);

  auto path = std::make_shared<std::string>();
  auto id = std::make_shared<int>(-1);
  auto json = std::make_shared<bool>(false);
  CLI::App* show = protocol->add_subcommand("show", "Show a protocol with its zones");
  show->add_option("EXP", *path, "Experiment file")->required();
  show->add_option("ID", *id, "Protocol id")->required()->check(NumberIn(RecordId()));
  show->add_flag("--json", *json, "One JSON document");
  show->callback([&, path, id, json] {
    result.Select([&, path, id, json] { return RunShow(context, *path, *id, *json); });
  });
}

}  // namespace vx::cli
