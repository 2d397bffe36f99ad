#include "measures/image_measures.h"

#include <algorithm>

#include "measures/measure_engine.h"
#include "trajectory/smoothing_settings.h"

namespace vx {

namespace {

struct PointRange {
  size_t begin = 0;
  size_t end = 0;
};

size_t FirstAtOrAfter(const std::vector<tMyPoint>& points, int64_t time) {
  return static_cast<size_t>(std::partition_point(points.begin(), points.end(), [time](const tMyPoint& p) {
                               return p.time < time;
                             }) - points.begin());
}

PointRange PointsTakingPart(const MeasureDefinition& d, const TestMeasureData& data) {
  const std::vector<tMyPoint>& points = data.trajectory.points();
  if (d.periodMode != 1) return {0, points.size()};
  const auto periods = PeriodTimes(d, data.input);
  if (periods.empty()) return {};
  return {FirstAtOrAfter(points, periods.front().first), FirstAtOrAfter(points, periods.front().second)};
}

}  // namespace

HeatMapSettings HeatMapSettingsOf(const MeasureDefinition& d) { return {d.heatMap[1], d.heatMap[2]}; }

HeatCanvas TestCanvas(Experiment& experiment, const TestMeasureData& data) {
  int width = data.zones.imageWidth, height = data.zones.imageHeight;
  if (const CVideoFile* video = experiment.FindVideo(data.test->source); video != nullptr && video->width > 0) {
    width = video->width;
    height = video->height;
  }
  const int angle = data.input.adjustment != nullptr ? data.input.adjustment->angle : 0;
  return HeatCanvasOf(data.zones, data.test->idArena, angle, width, height);
}

std::optional<ResultImage> ComputeImageMeasure(Experiment& experiment, const MeasureDefinition& d,
                                               const TestMeasureData& data) {
  if (data.test == nullptr) return std::nullopt;
  const PointRange range = PointsTakingPart(d, data);
  const HeatCanvas canvas = TestCanvas(experiment, data);
  const std::vector<tMyPoint>& points = data.trajectory.points();
  if (d.measure == kMeasureHeatMap) {
    return ComputeHeatMap(points, range.begin, range.end, canvas, HeatMapSettingsOf(d));
  }
  return ComputeTrackImage(points, range.begin, range.end, canvas, d.measure == kMeasureTrackHead);
}

bool ComputeGroupHeatMap(Experiment& experiment, const MeasureDefinition& definition, int protocolId,
                         const std::vector<int>& testIds, GroupHeatMap& group) {
  group = GroupHeatMap();
  const HeatMapSettings settings = HeatMapSettingsOf(definition);
  TimeGridMean mean;
  // The smoothing setting is the experiment's: read once for the whole group.
  PreloadedTestData preloaded;
  const bool smoothingRead = LoadSmoothingSettings(experiment.file, preloaded.smoothing);
  for (const int testId : testIds) {
    auto data = std::make_unique<TestMeasureData>();
    if (LoadTestMeasureData(experiment, testId, *data, smoothingRead ? &preloaded : nullptr) != TestDataStatus::kOk ||
        data->test->idProtocol != protocolId || data->test->status != 0 || !data->test->IsAnalysed()) {
      group.skipped.push_back(testId);
      continue;
    }
    const PointRange range = PointsTakingPart(definition, *data);
    const HeatCanvas canvas = TestCanvas(experiment, *data);
    if (range.end <= range.begin || canvas.rect.IsEmpty()) {
      group.skipped.push_back(testId);
      continue;
    }
    const std::vector<tMyPoint>& points = data->trajectory.points();
    const int width = static_cast<int>(canvas.rect.Width()), height = static_cast<int>(canvas.rect.Height());
    if (mean.Count() == 0) group.canvas = canvas;
    mean.Add(points, range.begin, range.end, canvas.rect, SpotRadius(settings, points, width, height));
    group.tests.push_back(testId);
  }
  if (group.tests.empty()) return false;
  group.image = HeatMapImage(mean.Mean(), settings, group.canvas);
  return true;
}

}  // namespace vx
