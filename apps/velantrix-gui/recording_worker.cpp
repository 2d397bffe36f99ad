#include "recording_worker.h"

#include "analysis/test_stage_program.h"

namespace vx::gui {

class RecordingWorker::QueuedObserver : public RecordingObserver {
 public:
  explicit QueuedObserver(RecordingWorker& worker) : worker_(worker) {}
  void Progress(const RecordingProgress& progress) override {
    if (!worker_.reports_.progress) return;
    OnInterfaceThread(&worker_, [r = &worker_.reports_, progress] { r->progress(progress); });
  }
  bool Cancelled() const override { return worker_.Stopping(); }
  bool WantsPictures() const override { return static_cast<bool>(worker_.reports_.picture); }
  void Picture(const LivePicture& picture) override {
    if (worker_.pictureQueued_.exchange(true)) return;
    RecordingWorker* worker = &worker_;
    OnInterfaceThread(worker, [worker, picture] {
      worker->pictureQueued_.store(false);
      worker->reports_.picture(picture);
    });
  }

 private:
  RecordingWorker& worker_;
};

RecordingWorker::RecordingWorker(Experiment experiment, RecordRequest request, RecordingReports reports,
                                 QObject* parent)
    : ExperimentWorker(std::move(experiment), parent), request_(std::move(request)), reports_(std::move(reports)) {}

RecordingWorker::~RecordingWorker() {
  Stop();
  wait();
}

void RecordingWorker::run() {
  QueuedObserver observer(*this);
  outcome_ = RecordTest(experiment(), request_, observer, StageProgramFactory(experiment().fields));
  if (reports_.finished) OnInterfaceThread(this, [r = &reports_] { r->finished(); });
}

}  // namespace vx::gui
