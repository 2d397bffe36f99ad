// Verbs on a protocol's stage program (when tracking starts and stops): program show, set.
#include <CLI/CLI.hpp>

#include <memory>

#include "base/text.h"
#include "commands.h"
#include "context.h"
#include "db/protocol_store.h"
#include "db/test_store.h"
#include "experiment_access.h"
#include "output.h"
#include "protocol/program_rules.h"
#include "zones/zone_rows.h"

namespace vx::cli {

namespace {

struct ProgramOptions {
  std::string path;
  int protocol = -1;
  std::string start;
  std::string stop;
  std::string text;
  bool json = false;
};

int RunProgramShow(Context& context, const ProgramOptions& o) {
  Experiment experiment;
  int status = kExitOk;
  if (!OpenExperimentForCommand(context, o.path, experiment, status)) return status;
  const CProtocol* protocol = experiment.FindProtocol(o.protocol);
  if (protocol == nullptr) return context.Fail(Format("There is no protocol %d in '%s'.", o.protocol, o.path.c_str()));
  ZoneSet zones;
  LoadZoneSet(*protocol, zones);
  StageProgram program;
  LoadProgram(program, *protocol);
  const std::vector<std::string> steps = DescribeProgram(program, zones);
  std::ostream& out = context.io.out;
  if (o.json) {
    out << "{\"protocol\": " << protocol->id << ", \"steps\": [";
    for (size_t i = 0; i < steps.size(); ++i) out << (i ? ", " : "") << JsonString(steps[i]);
    out << "], \"text\": " << JsonString(protocol->diagram) << "}\n";
    return kExitOk;
  }
  for (const std::string& step : steps) out << step << '\n';
  if (steps.empty()) out << "No events: tracking never starts.\n";
  out << "Stored text: " << protocol->diagram << '\n';
  return kExitOk;
}

// The diagram text the options ask for, or the reason they are wrong (bad usage).
std::string WantedProgram(const ProgramOptions& o, const ZoneSet& zones, std::string& text) {
  if (!o.text.empty()) {
    if (!o.start.empty() || !o.stop.empty()) return "give either --text or --start/--stop";
    if (std::string problem = CheckProgramText(o.text); !problem.empty()) return "--text: " + problem;
    text = o.text;
    return {};
  }
  if (o.start.empty()) return "give --start RULE (and --stop RULE), or --text DIAGRAM";
  CMyEvent start, stop;
  if (std::string problem = ParseProgramRule(o.start, zones, start); !problem.empty()) return "--start: " + problem;
  if (!o.stop.empty()) {
    if (std::string problem = ParseProgramRule(o.stop, zones, stop); !problem.empty()) return "--stop: " + problem;
  }
  text = BuildProgramText(start, o.stop.empty() ? nullptr : &stop);
  return {};
}

int RunProgramSet(Context& context, const ProgramOptions& o) {
  Experiment experiment;
  int status = kExitOk;
  if (!OpenExperimentForCommand(context, o.path, experiment, status)) return status;
  const CProtocol* found = experiment.FindProtocol(o.protocol);
  if (found == nullptr) return context.Fail(Format("There is no protocol %d in '%s'.", o.protocol, o.path.c_str()));
  ZoneSet zones;
  LoadZoneSet(*found, zones);
  std::string text;
  if (std::string problem = WantedProgram(o, zones, text); !problem.empty()) {
    return context.Fail("program set: " + problem + ".", kExitUsage);
  }
  CProtocol protocol = *found;
  const bool differs = ProgramDiffers(protocol.diagram, text);
  protocol.diagram = text;
  // Stored results come from stored trajectories, which a new program changes only when the
  // tests are analysed again: nothing cached is dropped.
  if (!SaveProtocol(experiment, protocol, false)) {
    return context.Fail(Format("Unable to save protocol %d in '%s'.", o.protocol, o.path.c_str()));
  }
  const int analysed = CountAnalysedTests(experiment, protocol.id);
  if (differs && analysed > 0 && !context.quiet) {
    context.io.err << Format("velantrix: %d analysed test(s) of this protocol followed the previous "
                             "program; analyse them again to apply the new one.\n", analysed);
  }
  return kExitOk;
}

}  // namespace

void RegisterProgramCommands(CLI::App& app, Context& context, CommandResult& result) {
  CLI::App* verb = Verb(app, "program", "A protocol's stage program, which starts and stops tracking: show, set");
  auto o = std::make_shared<ProgramOptions>();
  CLI::App* show = verb->add_subcommand("show", "The program as readable steps and as its stored text");
  show->add_option("EXP", o->path, "Experiment file")->required();
  show->add_option("--protocol", o->protocol, "Protocol id")->required();
  show->add_flag("--json", o->json, "One JSON document");
  show->callback([&, o] { result.Select([&, o] { return RunProgramShow(context, *o); }); });

  const char* rules = "immediately, never, after:DURATION, active:DURATION, inactive:DURATION, "
                      "in:ZONE:DURATION, enter:ZONE[:N], out:ZONE:DURATION, leave:ZONE[:N] "
                      "(DURATION like 30s, 5min, 1h; ZONE a zone name or id)";
  CLI::App* set = verb->add_subcommand("set", "Replace the program: start tracking on one rule, stop it on another");
  set->add_option("EXP", o->path, "Experiment file")->required();
  set->add_option("--protocol", o->protocol, "Protocol id")->required();
  set->add_option("--start", o->start, std::string("When tracking starts: ") + rules);
  set->add_option("--stop", o->stop, "When tracking stops, counted from its start (same rules)");
  set->add_option("--text", o->text, "The whole diagram in its stored text form, for scripts");
  set->callback([&, o] { result.Select([&, o] { return RunProgramSet(context, *o); }); });
}

}  // namespace vx::cli
