// Verbs on tests: test add, list (with the per-test summary). (Not named commands_test.cpp:
// that name is taken for unit tests by the build.)
#include <CLI/CLI.hpp>

#include <memory>

#include "base/text.h"
#include "commands.h"
#include "context.h"
#include "db/test_analysis_store.h"
#include "db/test_store.h"
#include "experiment_access.h"
#include "option_values.h"
#include "output.h"

namespace vx::cli {

namespace {

struct AddOptions {
  std::string path, title, detection;
  int protocol = -1, video = -1, animal = -1;
  bool detectionGiven = false;
};

int RunAdd(Context& context, const AddOptions& options) {
  Experiment experiment;
  int status = kExitOk;
  if (!OpenExperimentForCommand(context, options.path, experiment, status)) return status;
  if (experiment.FindProtocol(options.protocol) == nullptr) {
    return context.Fail(Format("There is no protocol %d in '%s'.", options.protocol,
                               options.path.c_str()));
  }
  const CVideoFile* video = experiment.FindVideo(options.video);
  if (video == nullptr) {
    return context.Fail(Format("There is no video %d in '%s'.", options.video,
                               options.path.c_str()));
  }
  if (options.animal != -1 && experiment.FindAnimal(options.animal) == nullptr) {
    return context.Fail(Format("There is no animal %d in '%s'.", options.animal,
                               options.path.c_str()));
  }
  CInfosTest test;
  test.idProtocol = options.protocol;
  test.source = options.video;
  test.idAnimal = options.animal;
  test.title = options.title.empty() ? video->name : options.title;
  if (options.detectionGiven) {
    test.paramsDetection = options.detection;
  } else if (options.animal != -1) {
    // A new test of an animal starts from the settings of its latest analysed test.
    LatestDetectionSettingsOfAnimal(experiment, options.animal, test.paramsDetection);
  }
  const bool saved = SaveTest(experiment, test, false);
  return ReportCreated(context, saved, test.id, "test");
}

int RunList(Context& context, const std::string& path, OutputFormat format) {
  Experiment experiment;
  int status = kExitOk;
  if (!OpenExperimentForCommand(context, path, experiment, status)) return status;
  RecordTable table({"id", "title", "animal", "protocol", "video", "analysed", "duration",
                     "distance", "average_speed", "max_speed", "max_raw_speed", "average_accel",
                     "max_accel", "inactive"});
  for (const auto& [id, t] : experiment.tests) {
    table.Add({Cell::Int(t.id), Cell::Str(t.title), Cell::Int(t.idAnimal),
               Cell::Int(t.idProtocol), Cell::Int(t.source), Cell::Bool(t.IsAnalysed()),
               Cell::Int(t.duration), Cell::Real(t.distance, 3), Cell::Real(t.averageSpeed, 3),
               Cell::Real(t.maxSpeed, 3), Cell::Real(t.maxRawSpeed, 3),
               Cell::Real(t.averageAccel, 6), Cell::Real(t.maxAccel, 6), Cell::Int(t.inactive)});
  }
  table.Print(context.io.out, format);
  return kExitOk;
}

}  // namespace

void RegisterTestCommands(CLI::App& app, Context& context, CommandResult& result) {
  CLI::App* test = Verb(app, "test", "Tests: add, list");
  auto add = std::make_shared<AddOptions>();
  CLI::App* addCommand = test->add_subcommand("add", "Add a test; prints its id");
  addCommand->add_option("EXP", add->path, "Experiment file")->required();
  addCommand->add_option("--protocol", add->protocol, "Protocol id")->required()->check(NumberIn(RecordId()));
  addCommand->add_option("--video", add->video, "Video id")->required()->check(NumberIn(RecordId()));
  addCommand->add_option("--animal", add->animal, "Animal id")->check(NumberIn(RecordId()));
  addCommand->add_option("--title", add->title, "Title (default: the video's name)");
  CLI::Option* detection =
      addCommand->add_option("--detection", add->detection, "Detection settings (stored text)");
  addCommand->callback([&, add, detection] {
    add->detectionGiven = detection->count() > 0;
    result.Select([&, add] { return RunAdd(context, *add); });
  });

  AddListVerb(*test, context, result, "List the tests with their summary", RunList);
}

}  // namespace vx::cli
