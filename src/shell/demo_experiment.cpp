#include "shell/demo_experiment.h"

#include <filesystem>
#include <memory>

#include "analysis/analysis_trust.h"
#include "analysis/batch_analysis.h"
#include "analysis/test_stage_program.h"
#include "db/animal_store.h"
#include "db/experiment_db.h"
#include "db/protocol_store.h"
#include "db/test_store.h"
#include "db/video_store.h"
#include "detection/detection_fields.h"
#include "reports/report_definition.h"
#include "reports/report_fields.h"
#include "shell/demo_scene.h"
#include "zones/calibration.h"
#include "zones/zone_dialog.h"
#include "zones/zone_rows.h"

namespace vx {

namespace {

constexpr int kRulerUnitMm = 1;

PixelRect RectOf(const cv::Rect& r) { return {r.x, r.y, r.x + r.width, r.y + r.height}; }

// A rectangle zone; the arena when asked. False when the zone rules refuse it.
bool AddRectZone(ZoneSet& zones, CProtocol& protocol, const cv::Rect& rect,
                 const std::string& name, bool arena, Asker& asker) {
  std::unique_ptr<CDrawObj> shape = MakeShape(kKindRectangle, zones);
  shape->isArena = arena ? 1 : 0;
  shape->SetRect(RectOf(rect));
  CDrawObj* zone = zones.AddZone(std::move(shape));
  ZoneSettings settings = SettingsOf(*zone);
  settings.name = name;
  settings.isArena = arena;
  if (ConfirmZoneSettings(zones, *zone, settings, MmPerPixel(zones), protocol.headDetection,
                          asker) != 0) {
    return false;
  }
  ApplyZoneSettings(zones, *zone, settings);
  return true;
}

// The protocol with its size, arena, ruler and zones.
bool AddProtocol(Experiment& experiment, const DemoLayout& layout, Asker& asker) {
  CProtocol protocol;
  protocol.name = "Open field";
  protocol.diagram = kDefaultDiagram;
  protocol.width = layout.frame.width;
  protocol.height = layout.frame.height;
  ZoneSet zones;
  LoadZoneSet(protocol, zones);
  zones.SetImageSize(protocol.width, protocol.height, true, false);
  if (!AddRectZone(zones, protocol, layout.arena, "Open field", true, asker)) return false;
  CDrawObj* ruler = zones.Ruler();
  if (ruler == nullptr) ruler = zones.AddZone(MakeShape(kKindRuler, zones));
  ruler->SetRect({layout.rulerFrom.x, layout.rulerFrom.y, layout.rulerTo.x, layout.rulerTo.y});
  RefreshRuler(zones, layout.rulerMm, kRulerUnitMm);
  for (const DemoZone& zone : layout.zones) {
    if (!AddRectZone(zones, protocol, zone.rect, zone.name, false, asker)) return false;
  }
  StoreZoneSet(zones, protocol);
  return SaveProtocol(experiment, protocol, false);
}

// The automatic method: the animal against the background of the arena, which the analysis
// computes from the video itself.
std::string DemoDetectionSettings(const Clock& clock) {
  DetectionSettings settings = ParseDetectionSettings("", clock);
  SetDetectionField(settings, "method", "auto");
  SetDetectionField(settings, "reference", "background");
  return FormatDetectionSettings(settings);
}

bool AddRecords(Experiment& experiment, const std::string& videoPath, const Services& services) {
  VideoFileFacts facts;
  if (!experiment.file.videoProbe || !experiment.file.videoProbe(videoPath, facts, {})) return false;
  CAnimal animal;
  animal.name = "Mouse 1";
  if (!SaveAnimal(experiment, animal)) return false;
  CVideoFile video = VideoRecordOf(experiment.file, videoPath, facts, "Open field, mouse 1",
                                   services.clock->NowSeconds());
  if (!SaveVideo(experiment, video)) return false;
  CInfosTest test;
  test.idProtocol = experiment.protocols.front().id;
  test.source = video.id;
  test.idAnimal = animal.id;
  test.title = "Mouse 1, day 1";
  test.paramsDetection = DemoDetectionSettings(*services.clock);
  return SaveTest(experiment, test, false);
}

}  // namespace

DemoStatus MakeDemoExperiment(const std::string& dir, double seconds, const Services& services,
                              const VideoProbe& videoProbe, DemoFiles& files) {
  std::error_code error;
  const std::string folder = std::filesystem::absolute(dir, error).lexically_normal().string();
  files.video = folder + "/open-field.mp4";
  files.experiment = folder + "/demo.vxdb";
  const DemoLayout layout = DemoArena();
  const std::vector<AnimalPose> poses = DemoPath(layout, seconds);
  files.frames = static_cast<int>(poses.size());
  if (!WriteDemoVideo(files.video, layout, poses)) return DemoStatus::kVideoFailed;

  Experiment experiment;
  experiment.file.path = files.experiment;
  experiment.file.services = services;
  experiment.file.videoProbe = videoProbe;
  {
    SQLite::Database db;
    if (!OpenExperimentDb(db, experiment.file, {.createIfMissing = true})) {
      return DemoStatus::kExperimentFailed;
    }
  }
  const bool built = experiment.LoadAll() && AddProtocol(experiment, layout, *services.asker) &&
                     AddRecords(experiment, files.video, services);
  return built ? DemoStatus::kOk : DemoStatus::kExperimentFailed;
}

bool AddDemoReports(Experiment& experiment) {
  const CProtocol* protocol = experiment.FindProtocol(1);
  if (protocol == nullptr) return false;
  struct Named {
    const char* name;
    std::vector<std::pair<const char*, const char*>> fields;
  };
  const Named reports[] = {{"Time in zones", {{"measure", "time-in-zone"}, {"unit", "s.ms"}}},
                           {"Entries", {{"measure", "entries"}}}};
  for (const Named& named : reports) {
    Report report;
    report.protocolId = protocol->id;
    report.name = named.name;
    for (const auto& [field, value] : named.fields) {
      if (!SetReportField(report.definition, *protocol, field, value).empty()) return false;
    }
    if (!SaveReport(experiment, report)) return false;
  }
  return true;
}

bool AnalyseDemoExperiment(Experiment& experiment) {
  BatchOptions options;
  options.minimumRate = kDefaultMinimumRate;
  options.programFactory = StageProgramFactory(experiment.fields);
  BatchObserver quiet;
  const std::atomic<bool> cancel{false};
  const BatchSummary summary =
      RunBatchAnalysis(experiment, UnanalysedTests(experiment), options, quiet, cancel);
  return summary.Failed() == 0;
}

}  // namespace vx
