// The batch analysis on a worker thread. The worker reads and writes the experiment through
// its own copy of the lists (the interface thread keeps its own), reports to the batch panel
// only through queued calls, and stops after the current frame when cancelled: the test in
// progress is then not stored.
#pragma once

#include <atomic>
#include <functional>
#include <memory>
#include <vector>

#include "analysis/batch_analysis.h"
#include "experiment_worker.h"

namespace vx::gui {

// What the worker reports; every function is called on the interface thread.
struct BatchReports {
  std::function<void(int position, int percent)> testProgress;  // position: 1-based in the list
  std::function<void(int percent)> progress;                    // the whole batch
  std::function<void(const TestOutcome& outcome)> testDone;
  std::function<void(const BatchSummary& summary)> finished;
};

class BatchWorker : public ExperimentWorker {
  Q_OBJECT

 public:
  // experiment: a copy of the open experiment (its file and lists); the worker owns it.
  BatchWorker(Experiment experiment, std::vector<int> testIds, BatchOptions options,
              BatchReports reports, QObject* parent = nullptr);
  // Cancels and waits for the thread.
  ~BatchWorker() override;

  void Cancel() { Stop(); }
  bool Cancelled() const { return Stopping(); }

 protected:
  void run() override;

 private:
  class QueuedObserver;

  std::vector<int> testIds_;
  BatchOptions options_;
  BatchReports reports_;
};

}  // namespace vx::gui
