// Verbs on protocols: protocol add, set, list, show.
#include <CLI/CLI.hpp>

#include <memory>

#include "base/text.h"
#include "commands.h"
#include "context.h"
#include "db/protocol_store.h"
#include "db/protocol_units.h"
#include "measures/movement_summary.h"
#include "experiment_access.h"
#include "option_values.h"
#include "output.h"
#include "shell/protocol_setup.h"
#include "video/recording_format.h"
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

int RunAdd(Context& context, const AddOptions& options) {
  CProtocol protocol = NewProtocol(options.name);
  protocol.headDetection = options.head;
  if (Trim(options.name).empty()) return context.Fail("The protocol needs a name.", kExitUsage);
  if (!options.size.empty()) {
    std::vector<int> size;
    if (const std::string problem = ReadWholeNumbers(options.size, ImageSize(), size);
        !problem.empty()) {
      return context.Fail("--size: " + problem + ".", kExitUsage);
    }
    SetProtocolImageSize(protocol, size[0], size[1]);
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

struct SetOptions {
  RecordEdit edit;
  std::string size, inactivityUnit, maxDuration, maxUnit, delayUnit, durationUnit, recordFormat;
  int inactivity = 0, delay = 0, duration = 0;
  bool head = false, noHead = false;
  // The flags with a value, to change only what was typed.
  CLI::Option *inactivityFlag = nullptr, *inactivityUnitFlag = nullptr,
              *maxUnitFlag = nullptr, *delayFlag = nullptr, *delayUnitFlag = nullptr, *durationFlag = nullptr,
              *durationUnitFlag = nullptr;
};

void SetDuration(const CLI::Option* amountFlag, int amount, const CLI::Option* unitFlag, const std::string& unit,
                 int& storedAmount, int& storedUnit) {
  if (amountFlag->count() > 0) storedAmount = amount;
  if (unitFlag->count() > 0) storedUnit = DurationUnitCode(unit);
}

// The typed size: the zones and the ruler are scaled to it, as in the desktop program when
// the camera's size changes. False (after printing) when the value is malformed.
int ApplySize(Context& context, const std::string& text, CProtocol& protocol, bool& resized) {
  std::vector<int> size;
  if (const std::string problem = ReadWholeNumbers(text, ImageSize(), size); !problem.empty()) {
    return context.Fail("--size: " + problem + ".", kExitUsage);
  }
  resized = SetProtocolImageSize(protocol, size[0], size[1]);
  return kExitOk;
}

int RunSet(Context& context, const SetOptions& o) {
  Experiment experiment;
  int status = kExitOk;
  if (!OpenExperimentForCommand(context, o.edit.path, experiment, status)) return status;
  const CProtocol* found = experiment.FindProtocol(o.edit.id);
  if (found == nullptr) {
    return context.Fail(Format("There is no protocol %d in '%s'.", o.edit.id, o.edit.path.c_str()));
  }
  CProtocol protocol = *found;
  if (const int failed = o.edit.Apply(context, "protocol", protocol.name, protocol.notes)) return failed;
  bool resized = false;
  if (!o.size.empty()) {
    if (const int failed = ApplySize(context, o.size, protocol, resized)) return failed;
  }
  if (o.head || o.noHead) protocol.headDetection = o.head;
  if (o.inactivityFlag->count() > 0) protocol.inactivityDelay = o.inactivity;
  if (o.inactivityUnitFlag->count() > 0) protocol.inactivityUnit = InactivityUnitCode(o.inactivityUnit);
  if (!o.maxDuration.empty()) protocol.maxDuration = o.maxDuration == "none" ? -1 : ToInt(o.maxDuration);
  if (o.maxUnitFlag->count() > 0) protocol.maxTypeDuration = DurationUnitCode(o.maxUnit);
  SetDuration(o.delayFlag, o.delay, o.delayUnitFlag, o.delayUnit, protocol.delayRecordNoA, protocol.typeDelayRecordNoA);
  SetDuration(o.durationFlag, o.duration, o.durationUnitFlag, o.durationUnit, protocol.durationRecordNoA,
              protocol.typeDurationRecordNoA);
  if (const RecordingFormat* format = FindRecordingFormat(o.recordFormat)) protocol.formatRecordNoA = format->number;
  if (o.recordFormat == "best") protocol.formatRecordNoA = -1;
  // A new size moves the zones: every cached result of the protocol's reports is stale. A new
  // inactivity delay changes the tests' inactive times, recomputed with the save.
  return o.edit.Saved(context, SaveProtocolAndInactivity(experiment, protocol, resized), "protocol");
}

void RegisterSet(CLI::App& protocol, Context& context, CommandResult& result) {
  auto o = std::make_shared<SetOptions>();
  const CLI::IsMember durationUnits({"h", "min", "s"});
  const NumberRange amount{0, 1000000, true, ""};
  CLI::App* set = AddSetVerb(protocol, o->edit, "Change a protocol's settings (the others stay)");
  set->add_option("--size", o->size, "Image size WIDTHxHEIGHT (pixels); the zones are scaled to it")
      ->check(NumbersIn(ImageSize()));
  CLI::Option* head = set->add_flag("--head", o->head, "Detect the animal's head");
  set->add_flag("--no-head", o->noHead, "Do not detect the head")->excludes(head);
  o->inactivityFlag = set->add_option("--inactivity", o->inactivity, "Inactivity delay")->check(NumberIn(amount));
  o->inactivityUnitFlag = set->add_option("--inactivity-unit", o->inactivityUnit, "ms, s or min")
                              ->check(CLI::IsMember({"ms", "s", "min"}));
  set->add_option("--max-duration", o->maxDuration, "Longest test, or none")
      ->check(NumberIn({1, 1000000, true, ""}) | CLI::IsMember({"none"}));
  o->maxUnitFlag = set->add_option("--max-duration-unit", o->maxUnit, "h, min or s")->check(durationUnits);
  o->delayFlag = set->add_option("--record-delay", o->delay, "Recording without analysis: delay before it")
                     ->check(NumberIn(amount));
  o->delayUnitFlag = set->add_option("--record-delay-unit", o->delayUnit, "h, min or s")->check(durationUnits);
  o->durationFlag = set->add_option("--record-duration", o->duration, "Recording without analysis: its length")
                        ->check(NumberIn(amount));
  o->durationUnitFlag = set->add_option("--record-duration-unit", o->durationUnit, "h, min or s")->check(durationUnits);
  set->add_option("--record-format", o->recordFormat, "Recording format: best (the first this machine writes), mpeg4, h264, ffv1, mjpg or iyuv")
      ->check(CLI::IsMember({"best", "mpeg4", "h264", "ffv1", "mjpg", "iyuv"}));
  set->callback([&, o] { result.Select([&, o] { return RunSet(context, *o); }); });
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
        << ", \"max_duration_unit\": " << JsonString(DurationUnitName(p->maxTypeDuration))
        << ", \"record_delay\": " << p->delayRecordNoA
        << ", \"record_delay_unit\": " << JsonString(DurationUnitName(p->typeDelayRecordNoA))
        << ", \"record_duration\": " << p->durationRecordNoA
        << ", \"record_duration_unit\": " << JsonString(DurationUnitName(p->typeDurationRecordNoA))
        << ", \"record_format\": " << JsonString(RecordingFormatName(p->formatRecordNoA))
        << ", \"reports\": " << p->results.size() << ", \"filters\": " << p->filters.size()
        << ", \"zones\": ";
    zones.Print(out, OutputFormat::Json);
    out << "}\n";
    return kExitOk;
  }
  out << "Protocol " << p->id << ": " << p->name << '\n';
  if (!p->notes.empty()) out << "Notes: " << p->notes << '\n';
  out << "Size: " << p->width << "x" << p->height << '\n'
      << "Ruler: " << p->rulerLength << (p->rulerUnit == 0 ? " cm" : " mm") << '\n'
      << "Head detection: " << (p->headDetection ? "yes" : "no") << '\n'
      << "Inactivity: " << p->inactivityDelay << ' ' << InactivityUnitName(p->inactivityUnit)
      << '\n'
      << "Maximum duration: "
      << (p->maxDuration >= 1 ? Format("%d %s", p->maxDuration, DurationUnitName(p->maxTypeDuration)) : "none") << '\n'
      << "Recording without analysis: delay " << p->delayRecordNoA << ' ' << DurationUnitName(p->typeDelayRecordNoA)
      << ", duration " << p->durationRecordNoA << ' ' << DurationUnitName(p->typeDurationRecordNoA) << '\n'
      << "Recording format: " << RecordingFormatName(p->formatRecordNoA) << '\n'
      << "Reports: " << p->results.size() << ", filters: " << p->filters.size() << '\n'
      << "Zones: " << p->zones.size() << '\n';
  if (!p->zones.empty()) zones.Print(out, OutputFormat::Text);
  return kExitOk;
}

}  // namespace

void RegisterProtocolCommands(CLI::App& app, Context& context, CommandResult& result) {
  CLI::App* protocol = Verb(app, "protocol", "Protocols: add, set, list, show");

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

  RegisterSet(*protocol, context, result);
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
