// Verbs on behaviours scored by an observer: behaviour add, list, score, events.
#include <CLI/CLI.hpp>

#include <fstream>
#include <memory>
#include <sstream>

#include "base/text.h"
#include "commands.h"
#include "context.h"
#include "db/protocol_store.h"
#include "db/test_analysis_store.h"
#include "db/test_store.h"
#include "db/video_store.h"
#include "experiment_access.h"
#include "measures/behavior_editing.h"
#include "measures/behavior_scoring.h"
#include "output.h"
#include "reports/behavior_reports.h"
#include "reports/report_definition.h"
#include "trajectory/behavior_blob.h"

namespace vx::cli {

namespace {

int RunBehaviourAdd(Context& context, const std::string& path, int protocolId,
                    const std::string& name, const std::string& key, int kind) {
  if (key.size() != 1) return context.Fail(Format("--key must be one letter, digit or sign, not '%s'.", key.c_str()), kExitUsage);
  Experiment experiment;
  int status = kExitOk;
  if (!OpenExperimentForCommand(context, path, experiment, status)) return status;
  CProtocol* protocol = experiment.FindProtocol(protocolId);
  if (protocol == nullptr) return context.Fail(Format("There is no protocol %d in '%s'.", protocolId, path.c_str()));
  BehaviorSet set = ParseBehaviors(protocol->behaviors, protocol->id);
  if (const std::string problem = AddBehavior(set, protocol->id, name, key[0], kind); !problem.empty()) {
    return context.Fail(problem, kExitUsage);
  }
  const CBehavior& behavior = set.behaviors.back();
  CProtocol changed = *protocol;
  changed.behaviors = FormatBehaviors(set);
  // A new behaviour has no occurrences yet: no result changes.
  const bool saved = SaveProtocol(experiment, changed, false);
  return ReportCreated(context, saved, static_cast<int>(behavior.id), "behaviour");
}

int RunBehaviourList(Context& context, const std::string& path, int protocolId, OutputFormat format) {
  Experiment experiment;
  int status = kExitOk;
  if (!OpenExperimentForCommand(context, path, experiment, status)) return status;
  RecordTable table({"id", "protocol", "name", "key", "kind"});
  for (const CProtocol& p : experiment.protocols) {
    if (protocolId >= 0 && p.id != protocolId) continue;
    for (const CBehavior& b : ParseBehaviors(p.behaviors, p.id).behaviors) {
      table.Add({Cell::Int(b.id), Cell::Int(p.id), Cell::Str(b.name), Cell::Str(std::string(1, static_cast<char>(b.key))),
                 Cell::Int(b.kind)});
    }
  }
  table.Print(context.io.out, format);
  return kExitOk;
}

struct TestBehaviours {
  Experiment experiment;
  CInfosTest test;
  const CProtocol* protocol = nullptr;
  std::vector<CBehavior> behaviors;
};

int OpenTestBehaviours(Context& context, const std::string& path, int testId, TestBehaviours& t) {
  int status = kExitOk;
  if (!OpenExperimentForCommand(context, path, t.experiment, status)) return status;
  if (!LoadTest(t.experiment, testId, t.test)) return context.Fail(Format("There is no test %d in '%s'.", testId, path.c_str()));
  t.protocol = t.experiment.FindProtocol(t.test.idProtocol);
  if (t.protocol == nullptr) return context.Fail(Format("Test %d has no protocol.", testId));
  t.behaviors = ParseBehaviors(t.protocol->behaviors, t.protocol->id).behaviors;
  return kExitOk;
}

bool ReadWholeFile(const std::string& path, std::string& text) {
  std::ifstream file(path, std::ios::binary);
  if (!file) return false;
  std::ostringstream bytes;
  bytes << file.rdbuf();
  text = bytes.str();
  return !file.bad();
}

int RunBehaviourScore(Context& context, const std::string& path, int testId, const std::string& events) {
  std::string text;
  if (!ReadWholeFile(events, text)) return context.Fail(Format("Cannot read '%s'.", events.c_str()));
  std::vector<KeyPress> presses;
  if (std::string problem = ParseKeyPresses(text, presses); !problem.empty()) {
    return context.Fail(Format("%s, %s.", events.c_str(), problem.c_str()), kExitUsage);
  }
  TestBehaviours t;
  if (const int status = OpenTestBehaviours(context, path, testId, t); status != kExitOk) return status;
  if (t.behaviors.empty()) {
    return context.Fail(Format("Protocol %d has no behaviours to score: velantrix behaviour add \"%s\" --protocol %d ...",
                               t.protocol->id, path.c_str(), t.protocol->id));
  }
  CVideoFile video;
  if (t.test.source < 0 || !LoadVideo(t.experiment, t.test.source, video)) {
    return context.Fail(Format("Test %d has no video to score.", testId));
  }
  RecordedBehaviors recorded;
  if (std::string problem = ScoreKeyPresses(presses, t.behaviors, t.protocol->id, video.duration, recorded); !problem.empty()) {
    return context.Fail(Format("%s, %s.", events.c_str(), problem.c_str()), kExitUsage);
  }
  if (!SaveBehaviors(t.experiment, testId, WriteBehaviors(recorded), BehaviorReportIds(*t.protocol))) {
    return context.Fail(Format("Unable to store the behaviours of test %d in '%s'.", testId, path.c_str()));
  }
  if (!context.quiet) {
    size_t occurrences = 0;
    for (const CListRecBehavior& list : recorded.lists) occurrences += list.occurrences.size();
    context.io.err << Format("velantrix: %zu occurrence(s) of %zu behaviour(s) stored for test %d.\n",
                             occurrences, recorded.lists.size(), testId);
  }
  return kExitOk;
}

int RunBehaviourEvents(Context& context, const std::string& path, int testId, OutputFormat format) {
  TestBehaviours t;
  if (const int status = OpenTestBehaviours(context, path, testId, t); status != kExitOk) return status;
  TestBlobs blobs;
  if (!LoadTestBlobs(t.experiment, t.test, blobs)) return context.Fail(Format("Unable to read '%s'.", path.c_str()));
  RecordedBehaviors recorded;
  if (!blobs.behaviors.empty() && !ReadRecordedBehaviors(blobs.behaviors, t.protocol->id, t.behaviors, recorded)) {
    return context.Fail(Format("The recorded behaviours of test %d are damaged.", testId));
  }
  RecordTable table({"behaviour", "name", "key", "start", "end"});
  for (const CListRecBehavior& list : recorded.lists) {
    const auto b = std::find_if(t.behaviors.begin(), t.behaviors.end(), [&](const CBehavior& d) { return d.id == list.behaviorId; });
    for (const tRecBehavior& o : list.occurrences) {
      table.Add({Cell::Int(list.behaviorId), Cell::Str(b->name), Cell::Str(std::string(1, static_cast<char>(b->key))),
                 Cell::Int(o.start), Cell::Int(o.end)});
    }
  }
  table.Print(context.io.out, format);
  return kExitOk;
}

}  // namespace

void RegisterBehaviourCommands(CLI::App& app, Context& context, CommandResult& result) {
  CLI::App* verb = Verb(app, "behaviour", "Behaviours scored by an observer: add, list, score, events");
  auto path = std::make_shared<std::string>();
  auto protocol = std::make_shared<int>(-1);
  auto name = std::make_shared<std::string>();
  auto key = std::make_shared<std::string>();
  auto kind = std::make_shared<int>(0);
  auto testId = std::make_shared<int>(-1);
  auto events = std::make_shared<std::string>();
  auto json = std::make_shared<bool>(false);
  auto csv = std::make_shared<bool>(false);

  CLI::App* add = verb->add_subcommand("add", "Add a behaviour to a protocol; prints its id");
  add->add_option("EXP", *path, "Experiment file")->required();
  add->add_option("--protocol", *protocol, "Protocol id")->required();
  add->add_option("--name", *name, "Behaviour name")->required();
  add->add_option("--key", *key, "The key that records it while scoring (one character)")->required();
  add->add_option("--kind", *kind, "0 or 1, stored with the behaviour (default 0)");
  add->callback([&, path, protocol, name, key, kind] {
    result.Select([&, path, protocol, name, key, kind] { return RunBehaviourAdd(context, *path, *protocol, *name, *key, *kind); });
  });

  CLI::App* list = verb->add_subcommand("list", "List the behaviours of every protocol (or of one)");
  list->add_option("EXP", *path, "Experiment file")->required();
  list->add_option("--protocol", *protocol, "Only this protocol's");
  CLI::Option* csvFlag = list->add_flag("--csv", *csv, "Comma-separated values");
  list->add_flag("--json", *json, "One JSON document")->excludes(csvFlag);
  list->callback([&, path, protocol, json, csv] {
    result.Select([&, path, protocol, json, csv] { return RunBehaviourList(context, *path, *protocol, ChosenFormat(*json, *csv)); });
  });

  CLI::App* score = verb->add_subcommand(
      "score", "Record a test's behaviours from a file of key presses, one \"TIME KEY\" per line "
               "(TIME in seconds or 1:30; a key's first press starts its behaviour, the next ends "
               "it); replaces what was scored before");
  score->add_option("EXP", *path, "Experiment file")->required();
  score->add_option("TEST_ID", *testId, "Test id")->required();
  score->add_option("--events", *events, "The file of key presses")->required();
  score->callback([&, path, testId, events] {
    result.Select([&, path, testId, events] { return RunBehaviourScore(context, *path, *testId, *events); });
  });

  CLI::App* shown = verb->add_subcommand("events", "List a test's recorded behaviour occurrences (ms)");
  shown->add_option("EXP", *path, "Experiment file")->required();
  shown->add_option("TEST_ID", *testId, "Test id")->required();
  CLI::Option* csvEvents = shown->add_flag("--csv", *csv, "Comma-separated values");
  shown->add_flag("--json", *json, "One JSON document")->excludes(csvEvents);
  shown->callback([&, path, testId, json, csv] {
    result.Select([&, path, testId, json, csv] { return RunBehaviourEvents(context, *path, *testId, ChosenFormat(*json, *csv)); });
  });
}

}  // namespace vx::cli
