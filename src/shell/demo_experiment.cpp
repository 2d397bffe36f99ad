#include "shell/demo_experiment.h"

#include <algorithm>
#include <cmath>
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
#include "db/test_analysis_store.h"
#include "detection/detection_fields.h"
#include "measures/behavior_editing.h"
#include "measures/scoring_session.h"
#include "reports/behavior_reports.h"
#include "reports/report_definition.h"
#include "reports/report_fields.h"
#include "shell/demo_scene.h"
#include "trajectory/behavior_blob.h"
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

// A behaviour the demo scores, and when its key is pressed, as fractions of the video's length,
// so that any length of video shows every one of them.
struct DemoBehaviour {
  const char* name;
  char key;
  int kind;  // 0 a state (press to start, press again to stop), 1 a point event
  std::vector<double> presses;
};

const std::vector<DemoBehaviour>& DemoBehaviours() {
  static const std::vector<DemoBehaviour> kBehaviours = {
      {"Grooming", 'g', 0, {0.08, 0.28}},
      {"Rearing", 'r', 0, {0.44, 0.54, 0.80, 0.90}},
      {"Sniffing", 's', 1, {0.35, 0.62, 0.70}},
  };
  return kBehaviours;
}

// The protocol's behaviours, added as the protocol page adds them.
bool AddBehaviours(CProtocol& protocol) {
  BehaviorSet set = ParseBehaviors(protocol.behaviors, protocol.id);
  for (const DemoBehaviour& behaviour : DemoBehaviours()) {
    if (!AddBehavior(set, protocol.id, behaviour.name, behaviour.key, behaviour.kind).empty()) return false;
  }
  protocol.behaviors = FormatBehaviors(set);
  return true;
}

// The test's scored occurrences, pressed key by key as an observer scores them on the video.
bool ScoreDemoTest(Experiment& experiment, const CInfosTest& test, int durationMs, double fps) {
  const CProtocol* protocol = experiment.FindProtocol(test.idProtocol);
  if (protocol == nullptr) return false;
  const std::vector<CBehavior> behaviors = ParseBehaviors(protocol->behaviors, protocol->id).behaviors;
  const int64_t frameMs = std::lround(1000.0 / fps);
  const double lengthMs = durationMs + frameMs;  // the last frame lasts one frame too
  ScoringSession session(behaviors, protocol->id, {}, frameMs);
  std::vector<std::pair<int64_t, char>> presses;
  for (const DemoBehaviour& behaviour : DemoBehaviours()) {
    for (double at : behaviour.presses) presses.emplace_back(std::lround(at * lengthMs / frameMs) * frameMs, behaviour.key);
  }
  std::sort(presses.begin(), presses.end());
  for (const auto& [timeMs, key] : presses) {
    if (session.Press(key, timeMs) == nullptr) return false;
  }
  return SaveBehaviors(experiment, test.id, WriteBehaviors(session.Result(durationMs)),
                       BehaviorReportIds(*protocol));
}

// The protocol with its size, arena, ruler, zones and behaviours.
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
  if (!AddBehaviours(protocol)) return false;
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

bool AddRecords(Experiment& experiment, const std::string& videoPath, double fps,
                const Services& services) {
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
  return SaveTest(experiment, test, false) && ScoreDemoTest(experiment, test, video.duration, fps);
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
                     AddRecords(experiment, files.video, layout.fps, services);
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
                           {"Entries", {{"measure", "entries"}}},
                           {"Behaviours", {{"measure", "behaviour-duration"}, {"unit", "s.ms"}}}};
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
