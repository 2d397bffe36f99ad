// One recording on a worker thread. The worker records into its own copy of the experiment's
// lists (the interface thread keeps its own), reports progress and the live picture only
// through queued calls, and when stopped keeps and stores what was recorded so far.
#pragma once

#include <atomic>
#include <functional>
#include <memory>

#include "experiment_worker.h"
#include "recording/test_recording.h"

namespace vx::gui {

// What the worker reports; every function is called on the interface thread.
struct RecordingReports {
  std::function<void(const RecordingProgress& progress)> progress;
  std::function<void(const LivePicture& picture)> picture;
  std::function<void()> finished;  // the outcome is then the worker's Outcome()
};

class RecordingWorker : public ExperimentWorker {
  Q_OBJECT

 public:
  // experiment: a copy of the open experiment (its file and lists); the worker owns it.
  RecordingWorker(Experiment experiment, RecordRequest request, RecordingReports reports,
                  QObject* parent = nullptr);
  // Stops (keeping what was recorded) and waits for the thread.
  ~RecordingWorker() override;

  // Once the thread has ended.
  const RecordOutcome& Outcome() const { return outcome_; }

 protected:
  void run() override;

 private:
  class QueuedObserver;

  RecordRequest request_;
  RecordingReports reports_;
  RecordOutcome outcome_;
  // A picture waits to be shown: newer ones are skipped until then, so that a busy interface
  // never piles them up.
  std::atomic<bool> pictureQueued_{false};
};

}  // namespace vx::gui
