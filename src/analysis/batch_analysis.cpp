#include "analysis/batch_analysis.h"

#include <algorithm>
#include <chrono>
#include <condition_variable>
#include <mutex>
#include <optional>
#include <thread>

#include "analysis/analysis_run.h"
#include "analysis/analysis_store.h"
#include "base/messages.h"
#include "base/text.h"
#include "zones/adjusted_zones.h"

namespace vx {

namespace {

// One test of the list, from its loading to its outcome.
struct Slot {
  TestJob job;
  TestOutcome outcome;
  bool needsRun = false;
  std::atomic<int> percent{0};
  int shownPercent = 0;  // the last percent reported (calling thread)
  bool done = false;  // guarded by the batch's mutex once workers run
  std::optional<AttemptResult> best;  // the kept attempt, to be stored
};

// A worker's view of the batch for one test: its log lines go into the test's outcome, its
// progress into the test's slot.
class SlotObserver : public RunObserver {
 public:
  SlotObserver(Slot& slot, const std::atomic<bool>& cancel) : slot_(slot), cancel_(cancel) {}
  void Progress(int percent) override { slot_.percent.store(percent); }
  void Log(const std::string& line) override { slot_.outcome.log.push_back(line); }
  bool Cancelled() const override { return cancel_.load(); }

 private:
  Slot& slot_;
  const std::atomic<bool>& cancel_;
};

bool Ran(const AttemptResult& attempt) {
  return !attempt.cancelled && !attempt.referenceFailed && attempt.videoStatus == VideoStatus::kOk;
}

// The attempts of one test (worker thread): its own settings, then the alternatives while the
// rate stays below the minimum. Leaves the kept attempt in slot.best.
void AnalyseSlot(Slot& slot, const BatchOptions& options, const Services& services,
                 const std::atomic<bool>& cancel) {
  const TestJob& job = slot.job;
  TestOutcome& outcome = slot.outcome;
  SlotObserver observer(slot, cancel);
  AnalysisSource source(options.captureFactory);
  source.decodeAhead = options.decodeAhead;
  ZoneSet zones;
  LoadTestZones(job.protocol, job.test, zones);
  std::unique_ptr<FrameProgram> program;
  if (options.programFactory) program = options.programFactory(job, zones);
  if (!program) program = std::make_unique<RecordEverythingProgram>();

  const VideoStatus opened = OpenTestVideo(source, job);
  if (opened != VideoStatus::kOk) {
    outcome.kind = TestOutcomeKind::kVideoUnreadable;
    outcome.detail = VideoStatusText(opened);
    observer.Log(Format(MessageText(msg::kVideoUnreadable), job.test.title.c_str(),
                        outcome.detail.c_str()));
    return;
  }
  // Zones, arena and ruler are drawn on the protocol's image: on frames of another size they
  // would fall in the wrong places.
  const cv::Size frame(source.video.frameWidth(), source.video.frameHeight());
  const cv::Size image(job.protocol.width, job.protocol.height);
  if (job.protocolFound && image.area() > 0 && frame != image) {
    outcome.kind = TestOutcomeKind::kVideoSizeMismatch;
    outcome.detail = Format("the video's frames are %dx%d pixels, the protocol's image is %dx%d",
                            frame.width, frame.height, image.width, image.height);
    return;
  }
  const Clock& clock = *services.clock;
  const auto attempt = [&](const std::string& settings) {
    return AnalyseTestBatch(source, job, zones, ParseDetectionSettings(settings, clock),
                            outcome.attempts++, options.minimumRate, *program, observer,
                            services);
  };
  AttemptResult best = attempt(job.test.paramsDetection);
  bool cancelled = best.cancelled;
  if (!cancelled && options.minimumRate > 0 && (!Ran(best) || best.rate < options.minimumRate)) {
    for (const AlternativeSettings& alternative : job.alternatives) {
      if (cancel.load()) {
        cancelled = true;
        break;
      }
      observer.Log(alternative.testId < 0
                       ? std::string(MessageText(msg::kRetryWithAlternative))
                       : Format(MessageText(msg::kRetryWithTest), alternative.title.c_str()));
      const int number = outcome.attempts;
      AttemptResult next = attempt(alternative.settings);
      if (next.cancelled) {
        cancelled = true;
        break;
      }
      if (Ran(next) && (!Ran(best) || next.rate > best.rate)) {
        best = std::move(next);
        outcome.keptAttempt = number;
        outcome.settingsFrom = alternative.testId;
      }
      if (Ran(best) && best.rate >= options.minimumRate) break;
    }
  }
  if (cancelled) {
    outcome.kind = TestOutcomeKind::kCancelled;
    observer.Log(MessageText(msg::kAnalysisCancelled));
    return;
  }
  if (!Ran(best)) {
    outcome.kind = best.videoStatus != VideoStatus::kOk ? TestOutcomeKind::kVideoUnreadable
                                                        : TestOutcomeKind::kNoDetection;
    if (best.videoStatus != VideoStatus::kOk) outcome.detail = VideoStatusText(best.videoStatus);
    return;
  }
  outcome.kind = TestOutcomeKind::kAnalysed;
  outcome.rate = best.rate;
  outcome.frames = best.framesInPeriod;
  outcome.framesExpected = best.framesExpected;
  outcome.framesWithAnimal = best.framesWithAnimal;
  outcome.rejections = best.rejections;
  outcome.notice = best.notice;
  slot.best = std::move(best);
}

// Loads the inputs of every test and settles the ones that need no run.
void LoadSlot(Experiment& experiment, int testId, int position, int total,
              const BatchOptions& options, Slot& slot) {
  TestOutcome& outcome = slot.outcome;
  outcome.testId = testId;
  outcome.position = position;
  const JobStatus status = LoadTestJob(experiment, testId, options.alternativeSettings, slot.job);
  if (status == JobStatus::kTestUnreadable) return;  // skipped silently
  outcome.title = slot.job.test.title;
  outcome.log.push_back(Format(MessageText(msg::kTestPosition), position, total));
  if (status == JobStatus::kNoVideo) {
    outcome.kind = TestOutcomeKind::kNoVideo;
    outcome.log.push_back(Format(MessageText(msg::kTestHasNoVideo), outcome.title.c_str()));
  } else if (status == JobStatus::kVideoMissing) {
    outcome.kind = TestOutcomeKind::kVideoMissing;
    outcome.detail = slot.job.videoPath;
    outcome.log.push_back(Format(MessageText(msg::kVideoMissing), outcome.title.c_str(),
                                 outcome.detail.c_str()));
  } else {
    slot.needsRun = true;
  }
}

// Stores a finished test (calling thread) and hands its outcome to the observer.
void SettleSlot(Experiment& experiment, Slot& slot, BatchObserver& observer) {
  TestOutcome& outcome = slot.outcome;
  if (slot.best) {
    const Clock* clock = experiment.file.services.clock;
    StoredAnalysis stored = FinishAnalysis(slot.job, *slot.best, clock ? clock->NowSeconds() : 0);
    outcome.elapsedMs = slot.best->elapsedMs;
    slot.best.reset();
    if (!StoreAnalysis(experiment, stored)) {
      outcome.kind = TestOutcomeKind::kNotSaved;
      outcome.log.push_back(Format(MessageText(msg::kAnalysisNotSaved), outcome.title.c_str()));
    }
  }
  observer.TestDone(outcome);
  slot.job = TestJob();  // its images and frame times are no longer needed
}

}  // namespace

int BatchSummary::Count(TestOutcomeKind kind) const {
  return static_cast<int>(std::count_if(outcomes.begin(), outcomes.end(),
                                        [kind](const TestOutcome& o) { return o.kind == kind; }));
}

int BatchSummary::Failed() const {
  return static_cast<int>(outcomes.size()) - Count(TestOutcomeKind::kAnalysed);
}

BatchSummary RunBatchAnalysis(Experiment& experiment, const std::vector<int>& testIds,
                              const BatchOptions& options, BatchObserver& observer,
                              const std::atomic<bool>& cancel) {
  const int total = static_cast<int>(testIds.size());
  std::vector<std::unique_ptr<Slot>> slots;
  std::vector<Slot*> pending;
  for (int i = 0; i < total; ++i) {
    slots.push_back(std::make_unique<Slot>());
    LoadSlot(experiment, testIds[i], i + 1, total, options, *slots.back());
    if (slots.back()->needsRun) pending.push_back(slots.back().get());
  }

  std::mutex mutex;
  std::condition_variable finished;
  std::atomic<size_t> next{0};
  const Services services = experiment.file.services;
  const size_t count = std::min(pending.size(), static_cast<size_t>(std::max(1, options.jobs)));
  int alive = static_cast<int>(count);  // workers still taking tests; guarded by mutex
  const auto work = [&] {
    for (size_t i = next++; i < pending.size() && !cancel.load(); i = next++) {
      AnalyseSlot(*pending[i], options, services, cancel);
      std::lock_guard<std::mutex> lock(mutex);
      pending[i]->done = true;
      finished.notify_all();
    }
    std::lock_guard<std::mutex> lock(mutex);
    --alive;
    finished.notify_all();
  };
  std::vector<std::thread> workers;
  for (size_t w = 0; w < count; ++w) workers.emplace_back(work);

  BatchSummary summary;
  int lastPercent = -1;
  size_t settled = 0;
  while (settled < slots.size()) {
    Slot& slot = *slots[settled];
    {
      std::unique_lock<std::mutex> lock(mutex);
      const bool ready = finished.wait_for(lock, std::chrono::milliseconds(100), [&] {
        return !slot.needsRun || slot.done || alive == 0;
      });
      if (!ready) {
        // Progress while waiting: every test counts for an equal share.
        int sum = 0;
        for (size_t i = 0; i < slots.size(); ++i) {
          Slot& s = *slots[i];
          const int percent = !s.needsRun || s.done ? 100 : s.percent.load();
          if (s.needsRun && !s.done && percent != s.shownPercent) {
            observer.TestProgress(static_cast<int>(i) + 1, s.shownPercent = percent);
          }
          sum += percent;
        }
        const int percent = total > 0 ? sum / total : 100;
        if (percent != lastPercent) observer.Progress(lastPercent = percent);
        continue;
      }
      if (slot.needsRun && !slot.done) break;  // cancelled before it started
    }
    SettleSlot(experiment, slot, observer);
    summary.outcomes.push_back(std::move(slot.outcome));
    ++settled;
  }
  for (std::thread& worker : workers) worker.join();
  summary.cancelled = cancel.load();
  if (!summary.cancelled && lastPercent != 100) observer.Progress(100);
  return summary;
}

std::vector<int> UnanalysedTests(const Experiment& experiment) {
  std::vector<int> ids;
  for (const auto& [id, test] : experiment.tests) {
    if (!test.IsAnalysed()) ids.push_back(id);
  }
  return ids;
}

}  // namespace vx
