// The batch analysis of a list of tests: each test's video analysed, retried with other
// detection settings when too few frames had the animal, and stored.
//
// For each test, in list order:
//   - a test that cannot be read is skipped silently; a test whose video file is missing is
//     logged and skipped (nothing stored);
//   - the video is opened and the test analysed with its own settings (attempt 0);
//   - with a minimum detection rate set and not reached: the run's alternative settings, then
//     the settings of the other tests of the same video (last to first) are tried, each as a
//     new attempt; the better result is kept after each try; trying stops at the first rate
//     that reaches the minimum, on cancel, or when the list is exhausted;
//   - the kept settings and analysis are stored in one write transaction.
// Settings of other tests are taken as they were when the batch started, so that the result
// of a test does not depend on the order in which the batch reaches the tests.
//
// Several tests can be analysed at once (jobs), each with its own video source and detection
// memories, on worker threads; only the calling thread touches the experiment: it loads every
// test's inputs first, then stores each finished test (one transaction at a time) and reports
// outcomes and log lines in list order. The stored result of a test does not depend on jobs.
//
// Cancel: a flag checked before every frame. The tests being analysed are dropped (nothing of
// them is stored); the tests that had finished are stored; the others are not started.
#pragma once

#include <atomic>
#include <functional>
#include <memory>
#include <string>
#include <vector>

#include "analysis/analysis_job.h"
#include "detection/detector.h"
#include "protocol/frame_program.h"
#include "db/experiment.h"
#include "video/capture.h"
#include "zones/zone_set.h"

namespace vx {

// Makes the stage program of a test (its protocol's zones are given, and outlive it).
using ProgramFactory =
    std::function<std::unique_ptr<FrameProgram>(const TestJob& job, const ZoneSet& zones)>;

struct BatchOptions {
  float minimumRate = 0.0f;         // percent; 0: never retry
  std::string alternativeSettings;  // detection settings tried first on a retry; "" none
  int jobs = 1;                     // tests analysed at once (at least 1)
  bool decodeAhead = true;          // decode the next frames while detecting
  CaptureFactory captureFactory = OpenCvCaptureFactory();
  ProgramFactory programFactory;    // empty: recording from the first frame to the end
};

enum class TestOutcomeKind {
  kAnalysed,
  kUnreadable,      // the test could not be read (skipped silently)
  kNoVideo,         // the test has no video
  kVideoMissing,    // its video file is not on disk
  kVideoUnreadable,  // the video library cannot read it
  kVideoSizeMismatch,  // its frames are not the size of the protocol's image
  kNoDetection,     // no attempt could run (reference image not prepared)
  kNotSaved,        // the analysis could not be written
  kCancelled,
};

struct TestOutcome {
  int testId = -1;
  int position = 0;  // 1-based position in the list
  std::string title;
  TestOutcomeKind kind = TestOutcomeKind::kUnreadable;
  std::string detail;   // the missing video's path, why the video cannot be read, or both
                        // frame sizes ("640x480 pixels; the protocol's image is 320x240")
  float rate = 0.0f;    // detection rate of the kept attempt, percent, as the retries judge it
                        // (with the log's +0.05); people are shown ShownRate()
  int attempts = 0;     // attempts run
  int keptAttempt = 0;  // 0: the test's own settings
  int settingsFrom = -1;  // the test whose settings were kept; -1 its own or the alternative
  int elapsedMs = 0;
  int frames = 0;       // frames of the period of the kept attempt (frames analysed)
  int framesExpected = 0;  // the frames that period should have had
  int framesWithAnimal = 0;
  RejectionCounts rejections;  // of the kept attempt: why frames had no animal
  std::vector<std::string> log;  // the test's log lines, in order
  std::string notice;  // a remark on the kept attempt to show beside its result ("" none)

  // The exact share of frames with the animal, percent: the figure every table shows, so that
  // the same analysis never reads 99.33 in one place and 99.28 in another.
  double ShownRate() const {
    return frames > 0 ? 100.0 * static_cast<double>(framesWithAnimal) / frames : 0.0;
  }
};

// Where a batch reports; called on the thread that runs the batch.
class BatchObserver {
 public:
  virtual ~BatchObserver() = default;
  // Overall progress of the batch, percent (0..100), each time it changes.
  virtual void Progress(int percent) { (void)percent; }
  // Progress of the test at position (1-based in the list), percent, each time it changes.
  virtual void TestProgress(int position, int percent) { (void)position, (void)percent; }
  // A test's outcome with its log lines, in list order.
  virtual void TestDone(const TestOutcome& outcome) { (void)outcome; }
};

struct BatchSummary {
  std::vector<TestOutcome> outcomes;  // in list order; tests not started are absent
  bool cancelled = false;
  int Count(TestOutcomeKind kind) const;
  int Failed() const;  // outcomes other than kAnalysed
};

// Analyses testIds of experiment (its lists loaded) as described above.
BatchSummary RunBatchAnalysis(Experiment& experiment, const std::vector<int>& testIds,
                              const BatchOptions& options, BatchObserver& observer,
                              const std::atomic<bool>& cancel);

// The tests of an experiment that are not analysed yet, by id.
std::vector<int> UnanalysedTests(const Experiment& experiment);

}  // namespace vx
