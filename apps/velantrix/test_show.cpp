#include "test_show.h"

#include <ostream>

#include "adjustment_session.h"
#include "analysis/analysis_facts.h"
#include "base/text.h"
#include "context.h"
#include "db/test_store.h"
#include "measures/variable_values.h"
#include "detection/detection_fields.h"
#include "detection_flags.h"
#include "experiment_access.h"
#include "output.h"
#include "video/video_info.h"
#include "zones/zone_rows.h"

namespace vx::cli {

namespace {

struct Names {
  std::string protocol, animal, video, file;
};

Names NamesOf(Experiment& experiment, const CInfosTest& test) {
  Names names;
  if (const CProtocol* p = experiment.FindProtocol(test.idProtocol)) names.protocol = p->name;
  if (const CAnimal* a = experiment.FindAnimal(test.idAnimal)) names.animal = a->name;
  if (const CVideoFile* v = experiment.FindVideo(test.source)) {
    names.video = v->name;
    names.file = v->file;
  }
  return names;
}

std::string Real(double value, int decimals) { return Format("%.*f", decimals, value); }

// The per-test summary: JSON name, label, value text and unit.
struct SummaryItem {
  const char* name;
  const char* label;
  std::string value;
  const char* unit;
};

std::vector<SummaryItem> Summary(const CInfosTest& t) {
  const ActivityShares shares = ActivitySharesOf(t);
  return {
      {"duration", "Duration", std::to_string(t.duration), "s"},
      {"distance", "Distance", Real(t.distance, 3), "mm"},
      {"average_speed", "Average speed", Real(t.averageSpeed, 3), "mm/s"},
      {"max_speed", "Maximum speed", Real(t.maxSpeed, 3), "mm/s"},
      {"max_raw_speed", "Maximum raw speed", Real(t.maxRawSpeed, 3), "mm/s"},
      {"average_accel", "Average acceleration", Real(t.averageAccel, 6), "mm/s per ms"},
      {"max_accel", "Maximum acceleration", Real(t.maxAccel, 6), "mm/s per ms"},
      {"inactive", "Inactive time", std::to_string(t.inactive), "s"},
      {"active", "Active time", Real(shares.activeS, 0), "s"},
      {"active_percent", "Active", Real(shares.activePercent, 2), "%"},
      {"inactive_percent", "Inactive", Real(shares.inactivePercent, 2), "%"},
  };
}

std::string Labelled(int id, const std::string& name) {
  return id < 0 ? std::string("none") : Format("%d (%s)", id, name.c_str());
}

void PrintAnalysisText(std::ostream& out, const AnalysisFacts& facts) {
  if (!facts.analysed) {
    out << "Analysis: not analysed\n";
    return;
  }
  out << "Analysis:\n";
  out << "  frames analysed: " << facts.framesAnalysed;
  if (facts.videoFrames >= 0) out << " of " << facts.videoFrames << " in the video";
  out << '\n';
  out << "  animal found in: " << facts.framesWithAnimal << " frames";
  if (facts.detectionRate >= 0) out << Format(" (detection rate %.1f %%)", facts.detectionRate);
  out << '\n' << "  timing: " << TimingWords(facts.timing) << '\n';
  if (facts.firstFrame >= 0) {
    out << Format("  analysed period: frame %lld (%.3f s) to frame %lld (%.3f s)\n",
                  static_cast<long long>(facts.firstFrame), facts.startMs / 1000.0,
                  static_cast<long long>(facts.lastFrame), facts.endMs / 1000.0);
  }
  out << "  ended by: " << facts.ending << '\n';
  if (facts.background != BackgroundMethod::kNone) {
    out << "  background: " << BackgroundWords(facts.background) << '\n';
  }
}

std::string AnalysisJson(const AnalysisFacts& facts) {
  if (!facts.analysed) return "null";
  return Format("{\"frames\": %lld, \"video_frames\": %s, \"frames_with_animal\": %lld, "
                "\"detection_rate\": %s, \"timing\": %s, \"first_frame\": %lld, "
                "\"last_frame\": %lld, \"start_ms\": %lld, \"end_ms\": %lld, \"ended_by\": %s, "
                "\"background\": %s}",
                static_cast<long long>(facts.framesAnalysed),
                facts.videoFrames >= 0 ? std::to_string(facts.videoFrames).c_str() : "null",
                static_cast<long long>(facts.framesWithAnimal),
                facts.detectionRate >= 0 ? JsonNumber(facts.detectionRate).c_str() : "null",
                JsonString(TimingSourceName(facts.timing)).c_str(),
                static_cast<long long>(facts.firstFrame), static_cast<long long>(facts.lastFrame),
                static_cast<long long>(facts.startMs), static_cast<long long>(facts.endMs),
                JsonString(facts.ending).c_str(),
                facts.background == BackgroundMethod::kNone
                    ? "null"
                    : JsonString(BackgroundKey(facts.background)).c_str());
}

// The test's arena adjustment read against its protocol's zones (none without a protocol).
struct Geometry {
  ZoneSet zones;
  AdjustmentReading reading;
};

void PrintJson(std::ostream& out, const CInfosTest& t, const Names& names,
               const DetectionSettings& settings, const AnalysisFacts& facts, const Geometry& geometry) {
  out << "{\"id\": " << t.id << ", \"title\": " << JsonString(t.title)
      << ", \"comment\": " << JsonString(t.comment)
      << ", \"protocol\": " << t.idProtocol << ", \"protocol_name\": " << JsonString(names.protocol)
      << ", \"animal\": " << t.idAnimal << ", \"animal_name\": " << JsonString(names.animal)
      << ", \"video\": " << t.source << ", \"video_name\": " << JsonString(names.video)
      << ", \"video_file\": " << JsonString(names.file)
      << ", \"excluded\": " << (t.status == 1 ? "true" : "false")
      << ", \"analysed\": " << (t.IsAnalysed() ? "true" : "false")
      << ", \"detection\": " << DetectionSettingsJson(settings, t.paramsDetection)
      << ", \"analysis\": " << AnalysisJson(facts)
      << ", \"adjustment\": " << AdjustmentJson(t.adjustArena, geometry.reading, geometry.zones)
      << ", \"summary\": {";
  const std::vector<SummaryItem> summary = Summary(t);
  for (size_t i = 0; i < summary.size(); ++i) {
    out << (i ? ", " : "") << JsonString(summary[i].name) << ": " << summary[i].value;
  }
  out << "}}\n";
}

void PrintAdjustmentText(std::ostream& out, const CInfosTest& t, const Geometry& geometry) {
  const std::string lines = AdjustmentLines(geometry.reading.adjustment, geometry.zones, "  ");
  out << "Arena: " << (lines.empty() ? "where the protocol has it\n" : "adjusted for this test\n" + lines);
  if (!geometry.reading.problem.empty()) {
    out << "  the stored text '" << t.adjustArena << "' is not well formed: " << geometry.reading.problem << '\n';
  }
}

void PrintText(std::ostream& out, const CInfosTest& t, const Names& names,
               const DetectionSettings& settings, const AnalysisFacts& facts, const Geometry& geometry) {
  out << "Test " << t.id << ": " << t.title << '\n'
      << "Protocol: " << Labelled(t.idProtocol, names.protocol) << '\n'
      << "Animal: " << Labelled(t.idAnimal, names.animal) << '\n'
      << "Video: " << Labelled(t.source, names.video);
  if (!names.file.empty()) out << ", " << names.file;
  out << '\n' << "Status: " << (t.status == 1 ? "excluded from results" : "included") << '\n';
  if (!t.comment.empty()) out << "Comment: " << t.comment << '\n';
  PrintAdjustmentText(out, t, geometry);
  out << "Detection:\n" << DetectionSettingsLines(settings, t.paramsDetection, "  ");
  PrintAnalysisText(out, facts);
  if (!t.IsAnalysed()) return;
  out << "Summary:\n";
  for (const SummaryItem& item : Summary(t)) {
    out << "  " << item.label << ": " << item.value << ' ' << item.unit << '\n';
  }
}

}  // namespace

int RunTestShow(Context& context, const std::string& path, int testId, bool json) {
  Experiment experiment;
  int status = kExitOk;
  if (!OpenExperimentForCommand(context, path, experiment, status)) return status;
  // The list of all tests leaves the detection settings out: read the whole record.
  CInfosTest record;
  const CInfosTest* test = experiment.FindTest(testId) != nullptr && LoadTest(experiment, testId, record)
                               ? &record
                               : nullptr;
  if (test == nullptr) {
    return context.Fail(Format("There is no test %d in '%s'.", testId, path.c_str()));
  }
  // The stored text as the analysis reads it (a text this program would not accept reads
  // with defaults, which is what the analysis then uses).
  const DetectionSettings settings = ParseDetectionSettings(test->paramsDetection, context.clock);
  const AnalysisFacts facts = ReadAnalysisFacts(*test, experiment.FindVideo(test->source));
  const Names names = NamesOf(experiment, *test);
  Geometry geometry;
  if (const CProtocol* protocol = experiment.FindProtocol(test->idProtocol)) {
    LoadZoneSet(*protocol, geometry.zones);
    geometry.reading = ParseAdjustment(test->adjustArena, geometry.zones);
  }
  if (json) {
    PrintJson(context.io.out, *test, names, settings, facts, geometry);
  } else {
    PrintText(context.io.out, *test, names, settings, facts, geometry);
  }
  return kExitOk;
}

}  // namespace vx::cli
