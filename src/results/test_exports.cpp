#include "results/test_exports.h"

#include <algorithm>

#include "analysis/analysis_facts.h"
#include "base/text.h"
#include "db/test_analysis_store.h"
#include "db/test_store.h"
#include "measures/behavior.h"
#include "results/delimited_text.h"
#include "results/sheet_limits.h"
#include "results/sheet_rows.h"
#include "trajectory/smoothing_settings.h"
#include "trajectory/trajectory_store.h"

namespace vx {

namespace {

constexpr DurationFormat kMs = DurationFormat::Milliseconds;

void WriteOccurrence(SheetRows& rows, const tRecBehavior& o) {
  rows.Duration(o.start / 1000.0, kMs).Duration(o.end / 1000.0, kMs);
  rows.Duration((static_cast<double>(o.end) - o.start) / 1000.0, kMs);
}


const std::vector<std::string> kTrajectoryHeader = {
    "Frame", "Time", "X (px)", "Y (px)", "Head X (px)", "Head Y (px)", "Left (px)", "Top (px)",
    "Right (px)", "Bottom (px)", "Position X (px)", "Position Y (px)", "Smoothed X (mm)",
    "Smoothed Y (mm)", "Total dist. (mm)", "Total dist. [raw] (mm)"};

void WritePoint(SheetRows& rows, const tMyPoint& p) {
  rows.Row().Number(p.frame);
  if (p.time >= 0) {
    rows.Duration(p.time / 1000.0, kMs);
  } else {
    rows.Skip();  // frame times unknown
  }
  for (int v : {p.rawX, p.rawY, p.headX, p.headY, p.boxLeft, p.boxTop, p.boxRight, p.boxBottom,
                p.posX, p.posY}) {
    rows.Number(v);
  }
  rows.Number(p.smoothX).Number(p.smoothY).Number(p.cumDist).Number(p.cumRawDist);
}

}  // namespace

ExportShape ShapeForPath(const std::string& path) {
  if (TextKindForPath(path) != TextKind::None) return {true, 0};
  return {false, MaxSheetRows(WorkbookKindForPath(path))};
}

TestExportStatus BehaviourEventsBook(Experiment& experiment, int testId, int behaviourId,
                                     const ExportShape& shape, Workbook* book) {
  CInfosTest test;
  if (!LoadTest(experiment, testId, test)) return TestExportStatus::kNoTest;
  const CProtocol* protocol = experiment.FindProtocol(test.idProtocol);
  if (protocol == nullptr) return TestExportStatus::kNoProtocol;
  std::vector<CBehavior> behaviours = ParseBehaviors(protocol->behaviors, protocol->id).behaviors;
  if (behaviourId >= 0) {
    std::erase_if(behaviours, [&](const CBehavior& b) { return static_cast<int>(b.id) != behaviourId; });
    if (behaviours.empty()) return TestExportStatus::kNoBehaviour;
  }
  TestBlobs blobs;
  if (!LoadTestBlobs(experiment, test, blobs)) return TestExportStatus::kReadFailed;
  RecordedBehaviors recorded;
  if (!blobs.behaviors.empty() &&
      !ReadRecordedBehaviors(blobs.behaviors, protocol->id, behaviours, recorded)) {
    return TestExportStatus::kCorrupt;
  }
  const auto occurrencesOf = [&](const CBehavior& b) -> std::vector<tRecBehavior> {
    for (const CListRecBehavior& list : recorded.lists) {
      if (list.behaviorId == b.id) return list.occurrences;
    }
    return {};
  };
  Workbook built;
  if (shape.singleTable) {
    SheetRows rows(built.AddSheet("Events"));
    rows.Header({"Behaviour", "Start", "End", "Duration"});
    for (const CBehavior& b : behaviours) {
      for (const tRecBehavior& o : occurrencesOf(b)) WriteOccurrence(rows.Row().Text(b.name), o);
    }
  } else {
    for (const CBehavior& b : behaviours) {
      SheetRows rows(built.AddSheet(UniqueSheetName(b.name, built)));
      rows.Header({"Start", "End", "Duration"});
      for (const tRecBehavior& o : occurrencesOf(b)) WriteOccurrence(rows.Row(), o);
    }
  }
  *book = std::move(built);
  return TestExportStatus::kOk;
}

TestExportStatus AnalysisBook(Experiment& experiment, int testId, const DisplayUnits& units,
                              Workbook* book) {
  CInfosTest t;
  if (!LoadTest(experiment, testId, t)) return TestExportStatus::kNoTest;
  if (!t.IsAnalysed()) return TestExportStatus::kNotAnalysed;
  const AnalysisFacts facts = ReadAnalysisFacts(t, experiment.FindVideo(t.source));
  const CAnimal* animal = experiment.FindAnimal(t.idAnimal);
  const CProtocol* protocol = experiment.FindProtocol(t.idProtocol);
  const std::string speed = " (" + UnitSymbol(SpeedUnitPattern(units.speed)) + ")";
  const std::string accel = " (" + UnitSymbol(AccelerationUnitPattern(units.accel)) + ")";
  Workbook built;
  SheetRows rows(built.AddSheet("Analysis"));
  rows.Header({"Variable", "Value"});
  rows.Row().Text("Test").Text(t.title);
  rows.Row().Text("Id").Number(t.id);
  rows.Row().Text("Animal").Text(animal ? animal->name : "");
  rows.Row().Text("Protocol").Text(protocol ? protocol->name : "");
  rows.Row().Text("Duration").Duration(t.duration, DurationFormat::WholeSeconds);
  rows.Row().Text("Total dist. (" + UnitSymbol(LengthUnitPattern(units.distTot)) + ")")
      .Number(LengthToDisplay(t.distance, units.distTot));
  rows.Row().Text("Average speed" + speed).Number(LengthToDisplay(t.averageSpeed, units.speed));
  rows.Row().Text("Max speed" + speed).Number(LengthToDisplay(t.maxSpeed, units.speed));
  rows.Row().Text("Max speed raw" + speed).Number(LengthToDisplay(t.maxRawSpeed, units.speed));
  rows.Row().Text("Average accel." + accel).Number(AccelerationToDisplay(t.averageAccel, units.accel));
  rows.Row().Text("Max acceleration" + accel).Number(AccelerationToDisplay(t.maxAccel, units.accel));
  rows.Row().Text("Inactivity").Duration(t.inactive, DurationFormat::WholeSeconds);
  rows.Row().Text("Activity").Duration(std::max(0, t.duration - t.inactive), DurationFormat::WholeSeconds);
  if (facts.detectionRate >= 0) {
    rows.Row().Text("Detection rate (%)").Number(facts.detectionRate);
    rows.Row().Text("Frames analysed").Number(static_cast<double>(facts.framesAnalysed));
    rows.Row().Text("Frames with the animal").Number(static_cast<double>(facts.framesWithAnimal));
  }
  if (facts.startMs >= 0 && facts.endMs >= 0) {
    rows.Row().Text("Start").Duration(facts.startMs / 1000.0, kMs);
    rows.Row().Text("End").Duration(facts.endMs / 1000.0, kMs);
  }
  rows.Row().Text("Frame times").Text(TimingWords(facts.timing));
  *book = std::move(built);
  return TestExportStatus::kOk;
}

TestExportStatus TrajectoryBook(Experiment& experiment, int testId, const ExportShape& shape,
                                Workbook* book) {
  CInfosTest test;
  if (!LoadTest(experiment, testId, test)) return TestExportStatus::kNoTest;
  SmoothingSettings smoothing;
  if (!LoadSmoothingSettings(experiment.file, smoothing)) return TestExportStatus::kReadFailed;
  Trajectory trajectory(smoothing, test.scale);
  TrajectoryLoadInfo info;
  if (!LoadTestTrajectory(experiment, test, trajectory, &info)) {
    return TestExportStatus::kReadFailed;
  }
  if (info.pointsCorrupt) return TestExportStatus::kCorrupt;
  if (trajectory.empty()) return TestExportStatus::kNotAnalysed;
  const std::vector<tMyPoint>& points = trajectory.points();
  const size_t perSheet = shape.singleTable ? points.size() : static_cast<size_t>(shape.maxRows - 1);
  Workbook built;
  for (size_t first = 0; first < points.size(); first += perSheet) {
    SheetRows rows(built.AddSheet(UniqueSheetName("Trajectory", built)));
    rows.Header(kTrajectoryHeader);
    const size_t end = std::min(points.size(), first + perSheet);
    for (size_t i = first; i < end; ++i) WritePoint(rows, points[i]);
  }
  *book = std::move(built);
  return TestExportStatus::kOk;
}

}  // namespace vx
