#include "batch_worker.h"

#include "interface_thread.h"

namespace vx::gui {

// The calls capture the worker's reports, never this observer, which ends with the run.
class BatchWorker::QueuedObserver : public BatchObserver {
 public:
  QueuedObserver(QObject* owner, const BatchReports& reports) : owner_(owner), reports_(reports) {}
  void Progress(int percent) override {
    if (reports_.progress) OnInterfaceThread(owner_, [r = &reports_, percent] { r->progress(percent); });
  }
  void TestProgress(int position, int percent) override {
    if (reports_.testProgress) {
      OnInterfaceThread(owner_, [r = &reports_, position, percent] { r->testProgress(position, percent); });
    }
  }
  void TestDone(const TestOutcome& outcome) override {
    if (reports_.testDone) OnInterfaceThread(owner_, [r = &reports_, outcome] { r->testDone(outcome); });
  }

 private:
  QObject* owner_;
  const BatchReports& reports_;
};

BatchWorker::BatchWorker(Experiment experiment, std::vector<int> testIds, BatchOptions options,
                         BatchReports reports, QObject* parent)
    : ExperimentWorker(std::move(experiment), parent),
      testIds_(std::move(testIds)),
      options_(std::move(options)),
      reports_(std::move(reports)) {}

BatchWorker::~BatchWorker() {
  Cancel();
  wait();
}

void BatchWorker::run() {
  QueuedObserver observer(this, reports_);
  const BatchSummary summary = RunBatchAnalysis(experiment(), testIds_, options_, observer, stopFlag());
  if (reports_.finished) OnInterfaceThread(this, [r = &reports_, summary] { r->finished(summary); });
}

}  // namespace vx::gui
