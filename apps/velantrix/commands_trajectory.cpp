// Verbs on a test's trajectory and on the experiment's smoothing: trajectory, smoothing.
#include <CLI/CLI.hpp>

#include <memory>

#include "measures/movement_summary.h"
#include "trajectory/smoothing_settings.h"
#include "trajectory/trajectory_store.h"
#include "base/text.h"
#include "commands.h"
#include "context.h"
#include "db/experiment.h"
#include "db/experiment_db.h"
#include "db/test_store.h"
#include "option_values.h"
#include "output.h"

namespace vx::cli {

namespace {

RecordTable TrajectoryTable(const Trajectory& trajectory) {
  RecordTable table({"frame", "time", "x", "y", "head_x", "head_y", "left", "top", "right",
                     "bottom", "pos_x", "pos_y", "smooth_x", "smooth_y", "cum_dist",
                     "cum_raw_dist"});
  for (const tMyPoint& p : trajectory.points()) {
    table.Add({Cell::Int(p.frame), Cell::Int(p.time), Cell::Int(p.rawX), Cell::Int(p.rawY),
               Cell::Int(p.headX), Cell::Int(p.headY), Cell::Int(p.boxLeft), Cell::Int(p.boxTop),
               Cell::Int(p.boxRight), Cell::Int(p.boxBottom), Cell::Int(p.posX),
               Cell::Int(p.posY), Cell::Real(p.smoothX), Cell::Real(p.smoothY),
               Cell::Real(p.cumDist), Cell::Real(p.cumRawDist)});
  }
  return table;
}

int RunTrajectory(Context& context, const std::string& path, int testId, OutputFormat format) {
  if (const int status = context.CheckExperimentFile(path); status != kExitOk) return status;
  Experiment experiment;
  experiment.file = context.Experiment(path);
  CInfosTest test;
  if (!LoadTest(experiment, testId, test)) {
    return context.Fail(Format("There is no test %d in '%s'.", testId, path.c_str()));
  }
  SmoothingSettings smoothing;
  if (!LoadSmoothingSettings(experiment.file, smoothing)) {
    return context.Fail(Format("Unable to read '%s'.", path.c_str()));
  }
  Trajectory trajectory(smoothing, test.scale);
  TrajectoryLoadInfo info;
  if (!LoadTestTrajectory(experiment, test, trajectory, &info)) {
    return context.Fail(Format("Unable to read '%s'.", path.c_str()));
  }
  if (info.pointsCorrupt) {
    return context.Fail(Format("The stored trajectory of test %d is corrupt.", testId));
  }
  TrajectoryTable(trajectory).Print(context.io.out, format);
  return kExitOk;
}

// A method by number or by name.
bool ParseMethod(const std::string& text, int& method) {
  const struct {
    const char* name;
    int method;
  } names[] = {{"none", kNoSmoothing},        {"lowess-strong", kLowessStrong},
               {"lowess-lite", kLowessLite},  {"average", kMovingAverage},
               {"savitzky-golay", kSavitzkyGolay}};
  for (const auto& entry : names) {
    if (EqualsNoCase(text, entry.name)) {
      method = entry.method;
      return true;
    }
  }
  return TryParseInt(text, method) && method >= kNoSmoothing && method <= kSavitzkyGolay;
}

bool ParseUnit(const std::string& text, int& unit) {
  if (EqualsNoCase(text, "px") || EqualsNoCase(text, "pixels")) {
    unit = kThresholdPixels;
  } else if (EqualsNoCase(text, "mm")) {
    unit = kThresholdMm;
  } else if (EqualsNoCase(text, "cm")) {
    unit = kThresholdCm;
  } else {
    return TryParseInt(text, unit) && unit >= kThresholdPixels && unit <= kThresholdCm;
  }
  return true;
}

void PrintSmoothing(Context& context, const SmoothingSettings& s, bool json) {
  std::ostream& out = context.io.out;
  if (json) {
    out << "{\"method\": " << s.method << ", \"method_name\": "
        << JsonString(SmoothingMethodName(s.method)) << ", \"threshold\": " << s.threshold
        << ", \"unit\": " << s.thresholdUnit << ", \"unit_name\": "
        << JsonString(ThresholdUnitName(s.thresholdUnit)) << ", \"stored\": "
        << JsonString(FormatSmoothingSettings(s)) << "}\n";
    return;
  }
  out << "Method: " << s.method << " (" << SmoothingMethodName(s.method) << ")\n"
      << "Threshold: " << s.threshold << '\n'
      << "Unit: " << s.thresholdUnit << " (" << ThresholdUnitName(s.thresholdUnit) << ")\n";
}

// Every analysed test's summary under the stored smoothing setting, with progress on a
// terminal.
bool RecomputeAllTests(Context& context, const std::string& path) {
  Experiment experiment;
  experiment.file = context.Experiment(path);
  if (!experiment.LoadAll()) return false;
  const bool progress = context.ShowProgress();
  const bool ok = RecomputeAll(experiment, [&](int done, int total) {
    if (progress) {
      context.io.err << Format("\rRecomputing the tests: %d / %d", done, total) << std::flush;
    }
  });
  if (progress) context.io.err << '\n';
  if (ok && !context.quiet) {
    context.io.err << "velantrix: smoothing setting stored and every analysed test recomputed.\n";
  }
  return ok;
}

int RunSmoothing(Context& context, const std::string& path, const std::vector<std::string>& values,
                 bool json) {
  if (!values.empty() && values.size() != 3) {
    return context.Fail("smoothing takes no values (show) or all three: METHOD THRESHOLD UNIT",
                        kExitUsage);
  }
  SmoothingSettings wanted;
  if (!values.empty()) {
    if (!ParseMethod(values[0], wanted.method)) {
      return context.Fail(Format("Unknown smoothing method '%s' (0-4, none, lowess-strong, "
                                 "lowess-lite, average, savitzky-golay).", values[0].c_str()),
                          kExitUsage);
    }
    if (const std::string problem =
            ReadWholeNumber(values[1], {0, 1000000, true, ""}, wanted.threshold);
        !problem.empty()) {
      return context.Fail("THRESHOLD: " + problem + ".", kExitUsage);
    }
    if (!ParseUnit(values[2], wanted.thresholdUnit)) {
      return context.Fail(Format("Unknown threshold unit '%s' (0-2, px, mm, cm).",
                                 values[2].c_str()), kExitUsage);
    }
  }
  if (const int status = context.CheckExperimentFile(path); status != kExitOk) return status;
  ExperimentFile file = context.Experiment(path);
  SmoothingSettings current;
  if (!LoadSmoothingSettings(file, current)) {
    return context.Fail(Format("Unable to read '%s'.", path.c_str()));
  }
  if (values.empty()) {
    PrintSmoothing(context, current, json);
    return kExitOk;
  }
  if (wanted == current) {
    if (!context.quiet) context.io.err << "velantrix: the smoothing setting is unchanged.\n";
    return kExitOk;
  }
  if (!SaveSmoothingSettings(file, wanted)) {
    return context.Fail(Format("Unable to write the smoothing setting into '%s'.", path.c_str()));
  }
  if (!RecomputeAllTests(context, path)) {
    // The summaries could not follow: put the old setting back so that both stay consistent.
    SaveSmoothingSettings(file, current);
    return context.Fail(Format("Unable to recompute the tests of '%s'; the smoothing setting is "
                               "unchanged.", path.c_str()));
  }
  return kExitOk;
}

}  // namespace

void RegisterTrajectoryCommands(CLI::App& app, Context& context, CommandResult& result) {
  auto path = std::make_shared<std::string>();
  auto testId = std::make_shared<int>(-1);
  auto csv = std::make_shared<bool>(false);
  auto json = std::make_shared<bool>(false);
  auto values = std::make_shared<std::vector<std::string>>();

  CLI::App* trajectory = app.add_subcommand("trajectory", "Print a test's stored trajectory");
  trajectory->add_option("EXP", *path, "Experiment file")->required();
  trajectory->add_option("TEST_ID", *testId, "Test id")->required()->check(NumberIn(RecordId()));
  CLI::Option* csvFlag = trajectory->add_flag("--csv", *csv, "Comma-separated values");
  trajectory->add_flag("--json", *json, "One JSON document")->excludes(csvFlag);
  trajectory->callback([&, path, testId, csv, json] {
    result.Select([&, path, testId, csv, json] {
      const OutputFormat format =
          *json ? OutputFormat::Json : (*csv ? OutputFormat::Csv : OutputFormat::Text);
      return RunTrajectory(context, *path, *testId, format);
    });
  });

  CLI::App* smoothing = app.add_subcommand(
      "smoothing", "Show the experiment's smoothing, or set it: METHOD THRESHOLD UNIT");
  smoothing->add_option("EXP", *path, "Experiment file")->required();
  smoothing->add_option("VALUES", *values,
                        "METHOD (0 none, 1 Lowess strong, 2 Lowess lite, 3 moving average, "
                        "4 Savitzky-Golay), THRESHOLD (0 = no filter), UNIT (0 pixels, 1 mm, "
                        "2 cm)");
  smoothing->add_flag("--json", *json, "One JSON document (when showing)");
  smoothing->callback([&, path, values, json] {
    result.Select([&, path, values, json] { return RunSmoothing(context, *path, *values, *json); });
  });
}

}  // namespace vx::cli
