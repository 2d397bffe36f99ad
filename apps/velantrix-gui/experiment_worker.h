// A worker thread with its own copy of the open experiment (its file and lists; the interface
// thread keeps its own), whose messages are shown by the interface thread and which asks no
// question. A derived worker waits for its thread in its own destructor, before its members go.
#pragma once

#include <QThread>
#include <atomic>
#include <memory>

#include "db/experiment.h"
#include "interface_thread.h"

namespace vx::gui {

class ExperimentWorker : public QThread {
 public:
  ExperimentWorker(Experiment experiment, QObject* parent)
      : QThread(parent),
        notifier_(std::make_unique<QueuedNotifier>(this, experiment.file.services)),
        experiment_(std::move(experiment)) {
    experiment_.file.services.notifier = notifier_.get();
    experiment_.file.services.asker = notifier_.get();
  }

  // The work stops at its next check (after the current frame).
  void Stop() { stop_.store(true); }
  bool Stopping() const { return stop_.load(); }

 protected:
  Experiment& experiment() { return experiment_; }
  std::atomic<bool>& stopFlag() { return stop_; }

 private:
  std::unique_ptr<QueuedNotifier> notifier_;
  Experiment experiment_;
  std::atomic<bool> stop_{false};
};

}  // namespace vx::gui
