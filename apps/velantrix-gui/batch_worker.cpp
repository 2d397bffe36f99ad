#include "batch_worker.h"

#include <QCoreApplication>
#include <QPointer>

namespace vx::gui {

namespace {

// Runs call on the interface thread, unless receiver is gone by then.
template <typename Call>
void OnInterfaceThread(QObject* receiver, Call call) {
  QPointer<QObject> guard(receiver);
  QMetaObject::invokeMethod(
      QCoreApplication::instance(), [guard, call = std::move(call)] { if (guard) call(); }, Qt::QueuedConnection);
}

}  // namespace

// Messages raised on the worker (a failed write) are shown by the interface thread's notifier,
// later; the worker does not wait for the box to close. No question is asked during a batch.
class BatchWorker::QueuedNotifier : public Notifier, public Asker {
 public:
  QueuedNotifier(QObject* owner, Services services) : owner_(owner), services_(services) {}
  void Notify(int messageId, const std::string& text, MessageIcon icon) override {
    Notifier* notifier = services_.notifier;
    OnInterfaceThread(owner_, [notifier, messageId, text, icon] { notifier->Notify(messageId, text, icon); });
  }
  Answer Ask(int, const std::string&, AskButtons) override { return Answer::Cancel; }

 private:
  QObject* owner_;
  Services services_;
};

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
    : QThread(parent),
      notifier_(std::make_unique<QueuedNotifier>(this, experiment.file.services)),
      experiment_(std::move(experiment)),
      testIds_(std::move(testIds)),
      options_(std::move(options)),
      reports_(std::move(reports)) {
  experiment_.file.services.notifier = notifier_.get();
  experiment_.file.services.asker = notifier_.get();
}

BatchWorker::~BatchWorker() {
  Cancel();
  wait();
}

void BatchWorker::run() {
  QueuedObserver observer(this, reports_);
  const BatchSummary summary = RunBatchAnalysis(experiment_, testIds_, options_, observer, cancel_);
  if (reports_.finished) OnInterfaceThread(this, [r = &reports_, summary] { r->finished(summary); });
}

}  // namespace vx::gui
