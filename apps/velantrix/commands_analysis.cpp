// Verbs of the analysis run: analyze (tests of an experiment), video decode (the reading speed
// of a video alone, the yardstick of the analysis speed).
#include <CLI/CLI.hpp>

#include <algorithm>
#include <atomic>
#include <memory>
#include <thread>

#include "analysis/analysis_trust.h"
#include "analysis/batch_analysis.h"
#include "base/text.h"
#include "commands.h"
#include "context.h"
#include "experiment_access.h"
#include "option_values.h"
#include "setup_warnings.h"
#include "shell/batch_texts.h"
#include "output.h"
#include "analysis/test_stage_program.h"
#include "interrupt_guard.h"
#include "video/video_source.h"

namespace vx::cli {

namespace {

struct AnalyzeOptions {
  std::string path;
  std::vector<int> testIds;
  bool all = false;
  double minRate = -1;  // -1: the default minimum
  int jobs = 0;  // 0: one per core
  std::string retrySettings;
  bool noDecodeAhead = false;
  bool json = false;
};

const char* OutcomeKey(TestOutcomeKind kind) {
  switch (kind) {
    case TestOutcomeKind::kAnalysed: return "analysed";
    case TestOutcomeKind::kUnreadable: return "unreadable";
    case TestOutcomeKind::kNoVideo: return "no_video";
    case TestOutcomeKind::kVideoMissing: return "video_missing";
    case TestOutcomeKind::kVideoUnreadable: return "video_unreadable";
    case TestOutcomeKind::kVideoSizeMismatch: return "video_size_mismatch";
    case TestOutcomeKind::kNoDetection: return "no_detection";
    case TestOutcomeKind::kNotSaved: return "not_saved";
    case TestOutcomeKind::kCancelled: return "cancelled";
  }
  return "failed";
}

std::string TestLine(const TestOutcome& o) {
  std::string line = Format("Test %d", o.testId);
  if (!o.title.empty()) line += " \"" + o.title + "\"";
  if (o.kind != TestOutcomeKind::kAnalysed) {
    line += std::string(": ") + BatchOutcomeText(o.kind);
    return o.detail.empty() ? line : line + " (" + o.detail + ")";
  }
  line += Format(": detection rate %.2f %%, %d s", o.ShownRate(), (o.elapsedMs + 500) / 1000);
  if (o.attempts > 1) line += " (" + AttemptsText(o) + ")";
  return line;
}

// A progress bar on a terminal, one line per test as it is done, with its warnings.
class TerminalReport : public BatchObserver {
 public:
  TerminalReport(Context& context, bool json, float minimumRate)
      : context_(context), json_(json), minimumRate_(minimumRate) {}
  bool warned = false;

  void Progress(int percent) override {
    if (!context_.ShowProgress()) return;
    const int filled = percent * kBarWidth / 100;
    context_.io.err << "\rAnalysing [" << std::string(filled, '#')
                    << std::string(kBarWidth - filled, '.') << "] " << percent << " %"
                    << std::flush;
    barShown_ = true;
  }

  void TestDone(const TestOutcome& outcome) override {
    ClearBar();
    const std::vector<AnalysisWarning> warnings = AnalysisWarnings(outcome, minimumRate_);
    warned = warned || !warnings.empty();
    if (json_) return;
    if (outcome.kind != TestOutcomeKind::kAnalysed) {
      context_.io.err << "velantrix: " << TestLine(outcome) << '\n';
    } else if (!context_.quiet) {
      context_.io.out << TestLine(outcome) << '\n';
      if (!outcome.notice.empty()) context_.io.out << "  " << outcome.notice << '\n';
    }
    for (const AnalysisWarning& warning : warnings) {
      context_.io.err << Format("velantrix: warning: test %d: ", outcome.testId) << warning.text
                      << ".\n";
    }
  }

  void ClearBar() {
    if (!barShown_) return;
    context_.io.err << '\r' << std::string(kBarWidth + 20, ' ') << '\r' << std::flush;
    barShown_ = false;
  }

 private:
  static constexpr int kBarWidth = 30;
  Context& context_;
  bool json_;
  float minimumRate_;
  bool barShown_ = false;
};

void PrintJson(std::ostream& out, const BatchSummary& summary, float minimumRate,
               double seconds) {
  out << "{\"tests\": [";
  for (size_t i = 0; i < summary.outcomes.size(); ++i) {
    const TestOutcome& o = summary.outcomes[i];
    out << (i ? ", " : "") << "{\"id\": " << o.testId << ", \"title\": " << JsonString(o.title)
        << ", \"status\": " << JsonString(OutcomeKey(o.kind))
        << ", \"rate\": " << JsonNumber(RoundHalfAway(o.ShownRate() * 100.0) / 100.0)
        << ", \"frames\": " << o.frames << ", \"frames_expected\": " << o.framesExpected
        << ", \"warnings\": [";
    const std::vector<AnalysisWarning> warnings = AnalysisWarnings(o, minimumRate);
    for (size_t w = 0; w < warnings.size(); ++w) {
      out << (w ? ", " : "") << "{\"kind\": " << JsonString(AnalysisWarningKey(warnings[w].kind))
          << ", \"text\": " << JsonString(warnings[w].text) << "}";
    }
    out << "], \"attempts\": " << o.attempts
        << ", \"settings_from\": " << o.settingsFrom
        << ", \"elapsed_s\": " << (o.elapsedMs + 500) / 1000 << "}";
  }
  out << "], \"analysed\": " << summary.Count(TestOutcomeKind::kAnalysed)
      << ", \"failed\": " << summary.Failed()
      << ", \"cancelled\": " << (summary.cancelled ? "true" : "false")
      << ", \"seconds\": " << JsonNumber(RoundHalfAway(seconds * 1000.0) / 1000.0) << "}\n";
}

void PrintSummary(Context& context, const BatchSummary& summary, double seconds) {
  int frames = 0;
  for (const TestOutcome& o : summary.outcomes) {
    if (o.kind == TestOutcomeKind::kAnalysed) frames += o.frames;
  }
  const int analysed = summary.Count(TestOutcomeKind::kAnalysed);
  std::string line = Format("%d test%s analysed", analysed, analysed == 1 ? "" : "s");
  if (summary.Failed() > 0) line += Format(", %d failed", summary.Failed());
  line += Format(": %d frames in %.1f s", frames, seconds);
  if (seconds > 0) line += Format(" (%.0f frames/s)", frames / seconds);
  if (summary.cancelled) {
    context.io.err << "velantrix: Analysis cancelled: the test in progress was not stored; "
                   << line << ".\n";
  } else if (!context.quiet) {
    context.io.out << line << '\n';
  }
}

int RunAnalyze(Context& context, const AnalyzeOptions& options) {
  if (options.testIds.empty() && !options.all) {
    return context.Fail("Name the tests to analyse, or give --all.", kExitUsage);
  }
  Experiment experiment;
  int status = kExitOk;
  if (!OpenExperimentForCommand(context, options.path, experiment, status)) return status;

  std::vector<int> ids = options.testIds;
  if (options.all) {
    for (int id : UnanalysedTests(experiment)) {
      if (std::find(ids.begin(), ids.end(), id) == ids.end()) ids.push_back(id);
    }
  }
  if (ids.empty()) {
    if (!context.quiet && !options.json) context.io.out << "No test to analyse.\n";
    if (options.json) PrintJson(context.io.out, BatchSummary(), 0, 0);
    return kExitOk;
  }

  // Set-up mistakes that let the analysis run but spoil its numbers are said first.
  bool setupWarned = false;
  for (int id : ids) {
    const auto test = experiment.tests.find(id);
    if (test == experiment.tests.end()) continue;
    for (const std::string& warning : TestSetupWarnings(experiment, test->second)) {
      context.io.err << Format("velantrix: warning: test %d: ", id) << warning << ".\n";
      setupWarned = true;
    }
  }

  BatchOptions batch;
  batch.minimumRate =
      options.minRate >= 0 ? static_cast<float>(options.minRate) : kDefaultMinimumRate;
  batch.alternativeSettings = options.retrySettings;
  batch.jobs = options.jobs > 0 ? options.jobs
                                : static_cast<int>(std::max(1u, std::thread::hardware_concurrency()));
  batch.decodeAhead = !options.noDecodeAhead;
  batch.programFactory = StageProgramFactory(experiment.fields);

  TerminalReport report(context, options.json, batch.minimumRate);
  const uint32_t start = context.clock.TickMs();
  BatchSummary summary;
  {
    InterruptGuard guard;
    summary = RunBatchAnalysis(experiment, ids, batch, report, InterruptFlag());
  }
  report.ClearBar();
  const double seconds = (context.clock.TickMs() - start) / 1000.0;
  if (options.json) {
    PrintJson(context.io.out, summary, batch.minimumRate, seconds);
  } else {
    PrintSummary(context, summary, seconds);
  }
  if (summary.cancelled || summary.Failed() > 0) return kExitFailed;
  return report.warned || setupWarned ? kExitWarnings : kExitOk;
}

// Every frame of a video read once, as the analysis reads it, without detection.
int RunVideoDecode(Context& context, const std::string& path) {
  if (!context.files.Exists(path)) return context.FailMissing(path);
  VideoSource source;
  const VideoStatus status = source.OpenFile(path);
  if (status != VideoStatus::kOk) {
    return context.Fail(Format("Cannot open the video '%s': %s.", path.c_str(), VideoStatusText(status)));
  }
  source.GoToFrame(-1);
  const uint32_t start = context.clock.TickMs();
  cv::Mat frame;
  double positionMs = 0;
  int frames = 0;
  while (source.ReadNextFrame(frame, positionMs)) ++frames;
  const double seconds = (context.clock.TickMs() - start) / 1000.0;
  context.io.out << Format("%d frames in %.3f s", frames, seconds);
  if (seconds > 0) context.io.out << Format(" (%.1f frames/s)", frames / seconds);
  context.io.out << '\n';
  return kExitOk;
}

}  // namespace

void RegisterAnalysisCommands(CLI::App& app, Context& context, CommandResult& result) {
  auto o = std::make_shared<AnalyzeOptions>();
  CLI::App* analyze = app.add_subcommand(
      "analyze", "Analyse tests: find the animal in every frame of their videos and store the "
                 "trajectories and summaries");
  analyze->add_option("EXP", o->path, "Experiment file")->required();
  analyze->add_option("TEST_ID", o->testIds, "Tests to analyse")->check(NumberIn(RecordId()));
  analyze->add_flag("--all", o->all, "Every test not analysed yet");
  analyze->add_option("--min-rate", o->minRate,
                      "Below this detection rate (percent, default 90), retry with the settings of "
                      "the other tests of the same video, keep the best, and warn (exit 4); 0 "
                      "never retries")
      ->check(NumberIn(Percentage()));
  analyze->add_option("--retry-settings", o->retrySettings,
                      "Detection settings (stored text form) tried first on a retry");
  analyze->add_option("--jobs", o->jobs, "Tests analysed at once (default: one per core)")
      ->check(NumberIn({1, 256, true, ""}));
  analyze->add_flag("--no-decode-ahead", o->noDecodeAhead,
                    "Decode each frame in the analysing thread (for measurements)");
  analyze->add_flag("--json", o->json, "One JSON document with every test's outcome");
  analyze->callback([&, o] { result.Select([&, o] { return RunAnalyze(context, *o); }); });

  auto video = std::make_shared<std::string>();
  CLI::App* decode = Verb(app, "video", "Video files: information, records")
                         ->add_subcommand("decode", "Read every frame of a video once and report "
                                                    "the reading speed");
  decode->add_option("VIDEO", *video, "Video file")->required();
  decode->callback([&, video] { result.Select([&, video] { return RunVideoDecode(context, *video); }); });
}

}  // namespace vx::cli
