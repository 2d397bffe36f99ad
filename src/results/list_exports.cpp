#include "results/list_exports.h"

#include "analysis/analysis_facts.h"
#include "base/text.h"
#include "results/sheet_rows.h"

namespace vx {

Sheet AnimalListSheet(const Experiment& experiment) {
  Sheet sheet("Animals");
  SheetRows rows(sheet);
  rows.Header({"Id", "Name", "Min size (cm²)", "Max size (cm²)", "Size setting", "Tests", "Notes"});
  for (const CAnimal& a : experiment.animals) {
    int tests = 0;
    for (const auto& [id, test] : experiment.tests) tests += test.idAnimal == a.id ? 1 : 0;
    const AnimalSizeSetting& size = a.usesExperimentSize ? experiment.settings.animalSize : a.size;
    rows.Row().Number(a.id).Text(a.name).Number(size.minSize).Number(size.maxSize);
    rows.Text(a.usesExperimentSize ? "experiment" : "own").Number(tests).Text(a.notes);
  }
  return sheet;
}

Sheet TestListSheet(const Experiment& experiment, const DisplayUnits& units) {
  Sheet sheet("Tests");
  SheetRows rows(sheet);
  const std::string speed = UnitSymbol(SpeedUnitPattern(units.speed));
  const std::string accel = UnitSymbol(AccelerationUnitPattern(units.accel));
  rows.Header({"Id", "Title", "Animal", "Protocol", "Video", "Analysed", "Duration",
               "Distance (" + UnitSymbol(LengthUnitPattern(units.distTot)) + ")",
               "Average speed (" + speed + ")", "Max speed (" + speed + ")",
               "Max raw speed (" + speed + ")", "Average accel. (" + accel + ")",
               "Max accel. (" + accel + ")", "Inactive", "Detection rate (%)", "Frames"});
  for (const auto& [id, t] : experiment.tests) {
    rows.Row().Number(t.id).Text(t.title).Number(t.idAnimal).Number(t.idProtocol).Number(t.source);
    rows.Text(t.IsAnalysed() ? "yes" : "no").Duration(t.duration, DurationFormat::WholeSeconds);
    rows.Number(LengthToDisplay(t.distance, units.distTot));
    for (double s : {t.averageSpeed, t.maxSpeed, t.maxRawSpeed}) {
      rows.Number(LengthToDisplay(s, units.speed));
    }
    rows.Number(AccelerationToDisplay(t.averageAccel, units.accel));
    rows.Number(AccelerationToDisplay(t.maxAccel, units.accel));
    rows.Duration(t.inactive, DurationFormat::WholeSeconds);
    const auto video = experiment.videos.find(t.source);
    const AnalysisFacts facts =
        ReadAnalysisFacts(t, video == experiment.videos.end() ? nullptr : &video->second);
    if (facts.detectionRate >= 0) rows.Number(facts.detectionRate).Number(facts.framesAnalysed);
  }
  return sheet;
}

Sheet VideoListSheet(const Experiment& experiment) {
  Sheet sheet("Videos");
  SheetRows rows(sheet);
  rows.Header({"Id", "Name", "File", "Frames", "Duration", "Width", "Height", "Tests", "Notes"});
  for (const auto& [id, v] : experiment.videos) {
    rows.Row().Number(v.id).Text(v.name).Text(v.file).Number(v.nbFrames);
    rows.Duration(v.duration / 1000.0, DurationFormat::Milliseconds).Number(v.width);
    rows.Number(v.height).Number(static_cast<double>(v.testIds.size())).Text(v.notes);
  }
  return sheet;
}

}  // namespace vx
