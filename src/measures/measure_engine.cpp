#include "measures/measure_engine.h"

#include <algorithm>

#include "measures/behavior.h"
#include "measures/movement_measures.h"
#include "measures/speed_ranges.h"
#include "measures/zone_measures.h"

namespace vx {

namespace {

PeriodSource SourceFor(const MeasureInput& input, const MeasureSetup& setup) {
  const Trajectory& trajectory = *input.trajectory;
  PeriodSource source;
  source.points = &trajectory.points();
  source.first = setup.first;
  source.origin = setup.origin;
  source.durationWithoutPointsMs = trajectory.durationMs;
  source.zones = input.zones;
  source.events.adjustment = input.adjustment;
  source.events.testInfo = &input.testInfo;
  source.events.inactivityDelayMs = input.inactivityDelayMs;
  source.events.displacementThreshold = trajectory.smoothing().threshold;
  source.events.displacementUnit = trajectory.smoothing().thresholdUnit;
  source.events.scale = input.scale;
  return source;
}

bool IsMovementMeasure(int measure) {
  return measure == 0 || measure == 1 || measure == 3 || measure == 10 || measure == 11;
}

// Measure 1: the first cell's average speed per slice, then the share of time per range.
void FormSpeedRanges(const MeasureDefinition& d, const PeriodSource& source,
                     const MeasureSetup& setup, MeasureTable& table) {
  const int64_t seconds = AnalysedSeconds(source);
  std::vector<double> speeds, sliceSeconds;
  for (size_t p = 0; p < setup.periods.size(); ++p) {
    const ReportPeriod& period = setup.periods[p];
    speeds.push_back(table.CellCount() > 0 ? table.At(p, 0) : 0);
    const int64_t end = std::min(period.endMs, seconds * 1000);
    sliceSeconds.push_back(static_cast<double>(std::max<int64_t>(0, end - period.startMs)) / 1000);
  }
  table = SpeedRangeTable(d, speeds, sliceSeconds, seconds);
}

}  // namespace

int ComputeMeasure(const MeasureDefinition& d, const MeasureInput& input, MeasureTable& table) {
  table = MeasureTable();
  table.measure = d.measure;
  if (IsImageMeasure(d.measure) || d.measure < 0 || d.measure >= kMeasureCount) return 0;
  const std::vector<tMyPoint>& points = input.trajectory->points();
  MeasureSetup setup;
  setup.first = FirstPointInWindow(points, input.window);
  setup.origin = ReportTimeOrigin(points, input.window);
  const PeriodSource source = SourceFor(input, setup);

  if (IsBehaviorMeasure(d.measure)) {
    if (input.behaviors == nullptr) return 0;
    setup.periods = BuildReportPeriods(d, source);
    ComputeBehaviorMeasure(d, *input.behaviors, input.trajectory->behaviors, setup.periods, table);
    return static_cast<int>(table.PeriodCount());
  }

  if (setup.first >= points.size()) return 0;
  setup.cells = BuildZoneCells(*input.zones, d.measure, d.zoneSelection);
  if (setup.cells.cells.empty()) return 0;
  setup.periods = BuildReportPeriods(d, source);
  if (setup.periods.empty()) return 0;
  if (IsMovementMeasure(d.measure)) {
    ComputeMovementMeasure(d, input, setup, table);
    if (d.measure == kMeasureSpeedByRange) FormSpeedRanges(d, source, setup, table);
  } else {
    ComputeZoneMeasure(d, input, setup, table);
  }
  return static_cast<int>(table.PeriodCount());
}

std::vector<std::pair<int64_t, int64_t>> PeriodTimes(const MeasureDefinition& d, const MeasureInput& input) {
  const std::vector<tMyPoint>& points = input.trajectory->points();
  MeasureSetup setup;
  setup.first = FirstPointInWindow(points, input.window);
  setup.origin = ReportTimeOrigin(points, input.window);
  std::vector<std::pair<int64_t, int64_t>> times;
  for (const ReportPeriod& period : BuildReportPeriods(d, SourceFor(input, setup))) {
    if (period.IsEmpty()) continue;
    const int64_t end = period.endMs >= kOpenPeriodEnd ? kOpenPeriodEnd : setup.origin + period.endMs;
    times.emplace_back(setup.origin + period.startMs, end);
  }
  return times;
}

}  // namespace vx
