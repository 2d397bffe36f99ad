// Verbs on tests: test add, list (with the per-test summary), show, set, delete. (Not named
// commands_test.cpp: that name is taken for unit tests by the build.)
#include <CLI/CLI.hpp>

#include <memory>

#include "analysis/analysis_facts.h"
#include "base/text.h"
#include "commands.h"
#include "context.h"
#include "db/field_entry.h"
#include "db/test_analysis_store.h"
#include "db/test_store.h"
#include "detection/detection_fields.h"
#include "detection_flags.h"
#include "experiment_access.h"
#include "option_values.h"
#include "output.h"
#include "setup_warnings.h"
#include "reports/duration_format.h"
#include "trajectory/display_units.h"
#include "test_show.h"

namespace vx::cli {

namespace {

struct AddOptions {
  std::string path, title;
  int protocol = -1, video = -1, animal = -1;
  DetectionFlags detection;
};

int RunAdd(Context& context, const AddOptions& options) {
  Experiment experiment;
  int status = kExitOk;
  if (!OpenExperimentForCommand(context, options.path, experiment, status)) return status;
  if (experiment.FindProtocol(options.protocol) == nullptr) {
    return context.Fail(Format("There is no protocol %d in '%s'.", options.protocol,
                               options.path.c_str()));
  }
  // A test may be created before its video exists (it is recorded or given one later).
  const CVideoFile* video = experiment.FindVideo(options.video);
  if (options.video != -1 && video == nullptr) {
    return context.Fail(Format("There is no video %d in '%s'.", options.video,
                               options.path.c_str()));
  }
  if (options.animal != -1 && experiment.FindAnimal(options.animal) == nullptr) {
    return context.Fail(Format("There is no animal %d in '%s'.", options.animal,
                               options.path.c_str()));
  }
  const CProtocol& protocol = *experiment.FindProtocol(options.protocol);
  if (video != nullptr && CheckVideoSize(protocol.width, protocol.height, video->width, video->height) !=
      SetupProblem::kNone) {
    return context.Fail(Format("Video %d is %dx%d pixels but protocol %d is %dx%d: its zones and "
                               "ruler would not fit the frames. Give the test a video of the "
                               "protocol's size, or a protocol of the video's.",
                               video->id, video->width, video->height, protocol.id,
                               protocol.width, protocol.height));
  }
  CInfosTest test;
  test.idProtocol = options.protocol;
  test.source = options.video;
  test.idAnimal = options.animal;
  test.title = options.title.empty() && video != nullptr ? video->name : options.title;
  if (options.animal != -1) {
    // A new test of an animal starts from the settings of its latest analysed test.
    LatestDetectionSettingsOfAnimal(experiment, options.animal, test.paramsDetection);
  }
  if (const int status = ApplyDetectionFlagsToText(context, options.detection, test.paramsDetection);
      status != kExitOk) {
    return status;
  }
  const bool saved = SaveTest(experiment, test, false);
  if (saved && !context.quiet) {
    for (const std::string& warning : TestSetupWarnings(experiment, test)) {
      context.io.err << "velantrix: warning: " << warning << ".\n";
    }
  }
  return ReportCreated(context, saved, test.id, "test");
}

// The detection of a test's analysis: its rate (percent) and the frames of its period; empty
// for a test not analysed.
std::vector<Cell> DetectionCells(const AnalysisFacts& facts) {
  if (facts.detectionRate < 0) return {Cell{Cell::Literal, "null"}, Cell{Cell::Literal, "null"}};
  return {Cell::Real(facts.detectionRate, 2), Cell::Int(facts.framesAnalysed)};
}

// Scripts read the stored units under the contract's names; people read the user's display
// units, named in the headers, and durations as a clock.
RecordTable MachineTable(Experiment& experiment) {
  RecordTable table({"id", "title", "animal", "protocol", "video", "analysed", "duration",
                     "distance", "average_speed", "max_speed", "max_raw_speed", "average_accel",
                     "max_accel", "inactive", "detection_rate", "frames"});
  for (const auto& [id, t] : experiment.tests) {
    std::vector<Cell> row{
        Cell::Int(t.id), Cell::Str(t.title), Cell::Int(t.idAnimal),
        Cell::Int(t.idProtocol), Cell::Int(t.source), Cell::Bool(t.IsAnalysed()),
        Cell::Int(t.duration), Cell::Real(t.distance, 3), Cell::Real(t.averageSpeed, 3),
        Cell::Real(t.maxSpeed, 3), Cell::Real(t.maxRawSpeed, 3),
        Cell::Real(t.averageAccel, 6), Cell::Real(t.maxAccel, 6), Cell::Int(t.inactive)};
    const AnalysisFacts facts = ReadAnalysisFacts(t, experiment.FindVideo(t.source));
    for (Cell& cell : DetectionCells(facts)) row.push_back(std::move(cell));
    table.Add(std::move(row));
  }
  return table;
}


RecordTable HumanTable(Experiment& experiment, const DisplayUnits& units) {
  const std::string speed = UnitSymbol(SpeedUnitPattern(units.speed));
  RecordTable table({"Id", "Title", "Animal", "Protocol", "Video", "Analysed", "Duration",
                     "Distance (" + UnitSymbol(LengthUnitPattern(units.distTot)) + ")",
                     "Average speed (" + speed + ")", "Max speed (" + speed + ")",
                     "Max raw speed (" + speed + ")",
                     "Average accel. (" + UnitSymbol(AccelerationUnitPattern(units.accel)) + ")",
                     "Max accel. (" + UnitSymbol(AccelerationUnitPattern(units.accel)) + ")",
                     "Inactive", "Detection rate (%)", "Frames"});
  const auto length = [](double mm, int unit, int precision) {
    return Cell::Str(FormatNumber(LengthToDisplay(mm, unit), precision));
  };
  const auto accel = [&units](double stored) {
    return Cell::Str(FormatNumber(AccelerationToDisplay(stored, units.accel), units.accelPrecision));
  };
  for (const auto& [id, t] : experiment.tests) {
    std::vector<Cell> row{
        Cell::Int(t.id), Cell::Str(t.title), Cell::Int(t.idAnimal), Cell::Int(t.idProtocol),
        Cell::Int(t.source), Cell::Str(t.IsAnalysed() ? "yes" : "no"),
        Cell::Str(FormatDuration(t.duration, 0)),
        length(t.distance, units.distTot, units.distTotPrecision),
        length(t.averageSpeed, units.speed, units.speedPrecision),
        length(t.maxSpeed, units.speed, units.speedPrecision),
        length(t.maxRawSpeed, units.speed, units.speedPrecision), accel(t.averageAccel),
        accel(t.maxAccel), Cell::Str(FormatDuration(t.inactive, 0))};
    for (const Cell& cell : DetectionCells(ReadAnalysisFacts(t, experiment.FindVideo(t.source)))) {
      row.push_back(Cell::Str(cell.kind == Cell::Literal ? "" : cell.value));
    }
    table.Add(std::move(row));
  }
  return table;
}

int RunList(Context& context, const std::string& path, OutputFormat format) {
  Experiment experiment;
  int status = kExitOk;
  if (!OpenExperimentForCommand(context, path, experiment, status)) return status;
  const RecordTable table = format == OutputFormat::Text
                                ? HumanTable(experiment, LoadDisplayUnits(*context.settings))
                                : MachineTable(experiment);
  table.Print(context.io.out, format);
  return kExitOk;
}

struct SetOptions {
  std::string path, title, comment;
  int id = -1, animal = -1;
  bool exclude = false, include = false;
  bool titleGiven = false, commentGiven = false, animalGiven = false;
  DetectionFlags detection;
  std::vector<std::string> fields;  // NAME=VALUE
};

// Applies the options on test: kExitOk, or the failure status after saying why.
int ApplySetOptions(Context& context, Experiment& experiment, const SetOptions& options,
                    CInfosTest& test) {
  if (options.titleGiven) test.title = options.title;
  if (options.commentGiven) test.comment = options.comment;
  if (options.animalGiven) {
    if (options.animal != -1 && experiment.FindAnimal(options.animal) == nullptr) {
      return context.Fail(Format("There is no animal %d in '%s'.", options.animal,
                                 options.path.c_str()));
    }
    test.idAnimal = options.animal;
  }
  if (options.exclude || options.include) test.status = options.exclude ? 1 : 0;
  for (const std::string& assignment : options.fields) {
    if (std::string problem = SetFieldValue(experiment.fields, kTestFields, assignment, test.fields); !problem.empty()) {
      return context.Fail("--field: " + problem + ".", kExitUsage);
    }
  }
  if (const int status = ApplyDetectionFlagsToText(context, options.detection, test.paramsDetection);
      status != kExitOk) {
    return status;
  }
  return kExitOk;
}

int RunSet(Context& context, const SetOptions& options) {
  const bool anything = options.titleGiven || options.commentGiven ||
                        options.animalGiven || options.exclude || options.include ||
                        options.detection.Given() || !options.fields.empty();
  if (!anything) return context.Fail("test set: give at least one thing to change (see --help).", kExitUsage);
  Experiment experiment;
  int status = kExitOk;
  if (!OpenExperimentForCommand(context, options.path, experiment, status)) return status;
  // The list of all tests leaves the detection settings out: read the whole record.
  CInfosTest stored;
  if (experiment.FindTest(options.id) == nullptr || !LoadTest(experiment, options.id, stored)) {
    return context.Fail(Format("There is no test %d in '%s'.", options.id, options.path.c_str()));
  }
  CInfosTest test = stored;
  if (status = ApplySetOptions(context, experiment, options, test); status != kExitOk) return status;
  // Who is in a result and with which animal changes the results; new detection settings
  // only change them through a new analysis, which drops the cache itself.
  // So does the choice of a protocol-choice field: it picks the zone a choice zone stands for.
  const bool resultsAffected = test.status != stored.status || test.idAnimal != stored.idAnimal ||
                               ProtocolChoicesDiffer(experiment.fields, test.fields, stored.fields);
  const bool detectionChanged = test.paramsDetection != stored.paramsDetection;
  if (!SaveTest(experiment, test, resultsAffected)) {
    return context.Fail(Format("Unable to save test %d in '%s'.", options.id, options.path.c_str()));
  }
  if (detectionChanged && test.IsAnalysed() && !context.quiet) {
    context.io.err << Format("Test %d was analysed with its earlier detection settings; run "
                             "'velantrix analyze %s %d' to apply the new ones.\n",
                             test.id, options.path.c_str(), test.id);
  }
  return kExitOk;
}

int RunDelete(Context& context, const std::string& path, const std::vector<int>& ids) {
  Experiment experiment;
  int status = kExitOk;
  if (!OpenExperimentForCommand(context, path, experiment, status)) return status;
  for (int id : ids) {
    if (experiment.FindTest(id) == nullptr) {
      return context.Fail(Format("There is no test %d in '%s'; nothing was deleted.", id, path.c_str()));
    }
  }
  if (!DeleteTests(experiment, ids)) {
    return context.Fail(Format("Unable to delete the tests from '%s'.", path.c_str()));
  }
  return kExitOk;
}

void RegisterShow(CLI::App& test, Context& context, CommandResult& result) {
  struct ShowOptions {
    std::string path;
    int id = -1;
    bool json = false;
  };
  auto options = std::make_shared<ShowOptions>();
  CLI::App* show = test.add_subcommand(
      "show", "Every field of a test in words: detection settings, analysis, summary with units");
  show->add_option("EXP", options->path, "Experiment file")->required();
  show->add_option("TEST_ID", options->id, "Test id")->required();
  show->add_flag("--json", options->json, "One JSON document");
  show->callback([&, options] {
    result.Select([&, options] { return RunTestShow(context, options->path, options->id, options->json); });
  });
}

void RegisterSet(CLI::App& test, Context& context, CommandResult& result) {
  auto options = std::make_shared<SetOptions>();
  CLI::App* set = test.add_subcommand("set", "Change a test's title, comment, animal, status or detection settings");
  set->add_option("EXP", options->path, "Experiment file")->required();
  set->add_option("TEST_ID", options->id, "Test id")->required();
  CLI::Option* title = set->add_option("--title", options->title, "New title");
  CLI::Option* comment = set->add_option("--comment", options->comment, "New comment");
  CLI::Option* animal = set->add_option("--animal", options->animal, "Animal id (-1: none)");
  CLI::Option* exclude = set->add_flag("--exclude", options->exclude, "Leave the test out of every result");
  set->add_flag("--include", options->include, "Take the test into results again")->excludes(exclude);
  AddDetectionFlags(*set, options->detection, "--detection");
  set->add_option("--field", options->fields, "A custom field's value, NAME=VALUE (a choice by name; empty VALUE clears it)");
  set->callback([&, options, title, comment, animal] {
    options->titleGiven = title->count() > 0;
    options->commentGiven = comment->count() > 0;
    options->animalGiven = animal->count() > 0;
    result.Select([&, options] { return RunSet(context, *options); });
  });
}

void RegisterDelete(CLI::App& test, Context& context, CommandResult& result) {
  struct DeleteOptions {
    std::string path;
    std::vector<int> ids;
  };
  auto options = std::make_shared<DeleteOptions>();
  CLI::App* remove = test.add_subcommand("delete", "Delete tests with their trajectories and cached results");
  remove->add_option("EXP", options->path, "Experiment file")->required();
  remove->add_option("TEST_ID", options->ids, "Test ids")->required();
  remove->callback([&, options] {
    result.Select([&, options] { return RunDelete(context, options->path, options->ids); });
  });
}

}  // namespace

void RegisterTestCommands(CLI::App& app, Context& context, CommandResult& result) {
  CLI::App* test = Verb(app, "test", "Tests: add, list, show, set, delete");
  auto add = std::make_shared<AddOptions>();
  CLI::App* addCommand = test->add_subcommand("add", "Add a test; prints its id");
  addCommand->add_option("EXP", add->path, "Experiment file")->required();
  addCommand->add_option("--protocol", add->protocol, "Protocol id")->required()->check(NumberIn(RecordId()));
  addCommand->add_option("--video", add->video, "Video id (none: the test waits for its video)")->check(NumberIn(RecordId()));
  addCommand->add_option("--animal", add->animal, "Animal id")->check(NumberIn(RecordId()));
  addCommand->add_option("--title", add->title, "Title (default: the video's name)");
  AddDetectionFlags(*addCommand, add->detection, "--detection");
  addCommand->callback([&, add] { result.Select([&, add] { return RunAdd(context, *add); }); });

  AddListVerb(*test, context, result, "List the tests with their summary", RunList);
  RegisterShow(*test, context, result);
  RegisterSet(*test, context, result);
  RegisterDelete(*test, context, result);
}

}  // namespace vx::cli
