// The heatmap verb: a test's heat map or track image, or the heat map of the tests a filter
// selects, written as an image.
#include <CLI/CLI.hpp>

#include <memory>

#include "base/text.h"
#include "commands.h"
#include "context.h"
#include "experiment_access.h"
#include "option_values.h"
#include "reports/report_definition.h"
#include "reports/report_runner.h"
#include "results/filter_selection.h"
#include "measures/heat_map_picture.h"
#include "measures/image_measures.h"
#include "zone_session.h"

namespace vx::cli {

namespace {

struct HeatMapOptions {
  std::string path;
  int testId = -1;
  int reportId = -1;
  int filterId = -1;
  std::string out;
  bool colour = false;
  std::string palette = "viridis";
};

int WriteResult(Context& context, const HeatMapOptions& o, const ResultImage& image, const HeatCanvas& canvas,
                const ZoneSet& zones, const std::string& what) {
  const cv::Mat picture = o.colour ? HeatMapPicture(image, canvas, &zones, o.palette == "inferno"
                                                                                ? HeatPalette::kInferno
                                                                                : HeatPalette::kViridis)
                                   : image.pixels;
  if (!WriteImageFile(o.out, picture)) return context.Fail(Format("Cannot write the image '%s'.", o.out.c_str()));
  context.io.out << Format("%s, %dx%d pixels", what.c_str(), picture.cols, picture.rows);
  if (image.maximumMs > 0) context.io.out << Format(", at most %.3f s on one pixel", image.maximumMs / 1000.0);
  context.io.out << ", written to " << o.out << '\n';
  return kExitOk;
}

int RunTestImage(Context& context, const HeatMapOptions& o, Experiment& experiment, const Report& report) {
  const auto test = experiment.tests.find(o.testId);
  if (test == experiment.tests.end() || test->second.idProtocol != report.protocolId) {
    return context.Fail(Format("Test %d is not a test of report %d's protocol.", o.testId, report.id), kExitUsage);
  }
  ReportRunOptions options;
  const std::vector<int> ids{o.testId};
  options.testIds = &ids;
  std::vector<TestResult> results;
  ReportRunStats stats;
  if (RunReport(experiment, report, options, results, &stats) != ReportRunStatus::kOk) {
    return context.Fail(Format("Report %d could not be computed.", report.id));
  }
  if (results.empty()) {
    return context.Fail(Format("Test %d is not analysed, or is excluded from results.", o.testId));
  }
  if (!stats.failedTests.empty()) return context.Fail(Format("Test %d: its stored trajectory cannot be read.", o.testId));
  if (!results[0].image) {
    context.io.err << Format("Test %d has no point to draw: no image was written.\n", o.testId);
    return kExitOk;
  }
  auto data = std::make_unique<TestMeasureData>();
  if (LoadTestMeasureData(experiment, o.testId, *data) != TestDataStatus::kOk) {
    return context.Fail(Format("Test %d could not be read.", o.testId));
  }
  const char* what = report.definition.measure == kMeasureHeatMap ? "Heat map" : "Track image";
  return WriteResult(context, o, *results[0].image, TestCanvas(experiment, *data), data->zones,
                     Format("%s of test %d", what, o.testId));
}

int RunGroupImage(Context& context, const HeatMapOptions& o, Experiment& experiment, const Report& report) {
  if (report.definition.measure != kMeasureHeatMap) {
    return context.Fail(Format("A group image is a heat map: report %d is a track image.", report.id), kExitUsage);
  }
  std::vector<int> ids;
  FilterSelection selected;
  switch (FilterTestIds(experiment, o.filterId, report.protocolId, ids, &selected)) {
    case FilterUse::kNoFilter:
      return context.Fail(Format("There is no filter %d in '%s'.", o.filterId, o.path.c_str()));
    case FilterUse::kOtherProtocol:
      return context.Fail(Format("Filter %d selects tests of another protocol than report %d's.", o.filterId, report.id),
                          kExitUsage);
    case FilterUse::kOk:
      break;
  }
  if (!selected.error.empty()) context.io.err << selected.error << '\n';
  GroupHeatMap group;
  if (!ComputeGroupHeatMap(experiment, report.definition, report.protocolId, ids, group)) {
    context.io.err << Format("Filter %d selects no analysed test with points: no image was written.\n", o.filterId);
    return kExitOk;
  }
  auto data = std::make_unique<TestMeasureData>();
  if (LoadTestMeasureData(experiment, group.tests.front(), *data) != TestDataStatus::kOk) {
    return context.Fail(Format("Test %d could not be read.", group.tests.front()));
  }
  return WriteResult(context, o, group.image, group.canvas, data->zones,
                     Format(group.tests.size() == 1 ? "Mean heat map of %d test" : "Mean heat map of %d tests", static_cast<int>(group.tests.size())));
}

int RunHeatMap(Context& context, const HeatMapOptions& o) {
  if ((o.testId == -1) == (o.filterId == -1)) {
    return context.Fail("heatmap: give a TEST_ID, or --filter ID for the heat map of a group.", kExitUsage);
  }
  const std::string extension = ToLower(o.out.substr(o.out.size() > 4 ? o.out.size() - 4 : 0));
  if (extension != ".png" && extension != ".jpg") {
    return context.Fail("--out must name a .png or .jpg image.", kExitUsage);
  }
  Experiment experiment;
  int status = kExitOk;
  if (!OpenExperimentForCommand(context, o.path, experiment, status)) return status;
  Report report;
  if (!FindReport(experiment, o.reportId, report)) {
    return context.Fail(Format("There is no report %d in '%s'.", o.reportId, o.path.c_str()));
  }
  if (!report.readable || !IsImageMeasure(report.definition.measure)) {
    return context.Fail(Format("Report %d is not a heat map or a track image (measures 26 to 28).", o.reportId),
                        kExitUsage);
  }
  return o.testId != -1 ? RunTestImage(context, o, experiment, report) : RunGroupImage(context, o, experiment, report);
}

}  // namespace

void RegisterHeatMapCommands(CLI::App& app, Context& context, CommandResult& result) {
  auto o = std::make_shared<HeatMapOptions>();
  CLI::App* verb = app.add_subcommand(
      "heatmap", "Where the animal spent its time: a test's heat map or track image (the report's measure "
                 "26, 27 or 28), or the mean heat map of the tests a filter selects");
  verb->add_option("EXP", o->path, "Experiment file")->required();
  verb->add_option("TEST_ID", o->testId, "Test id (omit with --filter)")->check(NumberIn(RecordId()));
  verb->add_option("--report", o->reportId, "A heat-map or track-image report")->required()->check(NumberIn(RecordId()));
  verb->add_option("--filter", o->filterId, "The mean heat map of the tests this filter selects")
      ->check(NumberIn(RecordId()));
  verb->add_option("--out", o->out, "The image to write (.png or .jpg)")->required();
  verb->add_flag("--colour,--color", o->colour, "A colour map with the zones and a scale bar, instead of grey levels");
  verb->add_option("--palette", o->palette, "The colour map: viridis (default) or inferno")
      ->check(CLI::IsMember({"viridis", "inferno"}));
  verb->callback([&, o] { result.Select([&, o] { return RunHeatMap(context, *o); }); });
}

}  // namespace vx::cli
