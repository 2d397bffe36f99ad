#include "recording_view.h"

#include <QGroupBox>
#include <QHBoxLayout>
#include <QLabel>
#include <QPushButton>
#include <QVBoxLayout>

#include "base/messages.h"
#include "base/recording_messages.h"
#include "detection/detection_drawing.h"
#include "drawing/zone_drawing.h"
#include "frame_canvas.h"
#include "gui_session.h"
#include "protocol_picture.h"
#include "recording/recording_texts.h"
#include "recording_choices.h"
#include "recording_worker.h"
#include "zones/zone_rows.h"

namespace vx::gui {

namespace {

// The first frame of a video file played as the camera; empty when it cannot be read.
cv::Mat FirstFrame(const QString& path) {
  VideoStatus status = VideoStatus::kOk;
  const std::unique_ptr<LiveStream> stream = OpenStandInStream(path.toStdString(), StreamPace::kFast, status);
  cv::Mat frame;
  double timeMs = 0;
  StopEvent never;
  if (stream == nullptr || !stream->Next(frame, timeMs, never)) return cv::Mat();
  return frame;
}

}  // namespace

RecordingView::RecordingView(GuiSession& session, int testId, QWidget* parent)
    : QWidget(parent),
      session_(session),
      choices_(new RecordingChoices(session, testId, this)),
      canvas_(new FrameCanvas(this)),
      state_(new QLabel(this)),
      counters_(new QLabel(this)),
      start_(new QPushButton(MessageText(msg::kStartRecording), this)),
      stop_(new QPushButton(MessageText(msg::kStopRecording), this)) {
  canvas_->setObjectName("livePicture");
  state_->setObjectName("recordState");
  state_->setWordWrap(true);
  state_->setTextFormat(Qt::AutoText);
  counters_->setObjectName("recordCounters");
  start_->setObjectName("startRecording");
  stop_->setObjectName("stopRecording");
  stop_->setEnabled(false);
  stop_->setToolTip("Stops the recording and keeps what was recorded");

  auto* left = new QVBoxLayout;
  left->addWidget(canvas_, 1);
  left->addWidget(state_);
  left->addWidget(counters_);
  auto* buttons = new QHBoxLayout;
  buttons->addWidget(start_);
  buttons->addWidget(stop_);
  auto* box = new QGroupBox("Recording", this);
  auto* right = new QVBoxLayout(box);
  right->addWidget(choices_);
  right->addLayout(buttons);
  right->addStretch(1);
  auto* layout = new QHBoxLayout(this);
  layout->addLayout(left, 1);
  layout->addWidget(box);

  connect(start_, &QPushButton::clicked, this, &RecordingView::Start);
  connect(stop_, &QPushButton::clicked, this, &RecordingView::Stop);
  connect(choices_, &RecordingChoices::PreviewChanged, this, [this] {
    keepLastPicture_ = false;
    ShowPreview();
  });
  connect(&session_, &GuiSession::Closing, this, &RecordingView::StopAndWait);
  connect(&session_, &GuiSession::ExperimentChanged, this, [this] {
    if (Recording()) return;
    choices_->Fill();
    ShowPreview();
  });
  state_->setText("Choose the camera and the test, then start the recording.");
  ShowPreview();
}

RecordingView::~RecordingView() = default;  // the worker stops and stores what it recorded

void RecordingView::LoadZones() {
  zones_ = ZoneSet();
  if (const CProtocol* protocol = session_.experiment().FindProtocol(choices_->ProtocolId())) {
    LoadZoneSet(*protocol, zones_);
  }
}

// Before recording: the first frame of the file played as the camera, else the protocol's
// picture, with the zones (so that the arena can be lined up with the picture).
void RecordingView::ShowPreview() {
  if (Recording() || keepLastPicture_) return;
  LoadZones();
  cv::Mat picture;
  if (const QString path = choices_->StandInPath(); !path.isEmpty()) picture = FirstFrame(path);
  const CProtocol* protocol = session_.experiment().FindProtocol(choices_->ProtocolId());
  if (picture.empty() && protocol != nullptr) picture = ProtocolPicture(session_.experiment(), *protocol);
  if (picture.empty()) return canvas_->SetPicture(QImage());
  DrawZones(picture, zones_, ZoneDrawing{false, false});
  canvas_->SetPicture(ToQImage(picture));
}

void RecordingView::Start() {
  if (Recording()) return;
  RecordRequest request;
  QString problem;
  if (!choices_->Request(request, problem)) return Problem(0, problem);
  LoadZones();
  const bool tracking = request.track;
  RecordingReports reports;
  reports.progress = [this, tracking](const RecordingProgress& p) { ShowProgress(p, tracking); };
  reports.picture = [this](const LivePicture& picture) { ShowPicture(picture); };
  reports.finished = [this] { Finish(); };
  worker_ = std::make_unique<RecordingWorker>(session_.experiment(), request, std::move(reports));
  choices_->setEnabled(false);
  start_->setEnabled(false);
  stop_->setEnabled(true);
  state_->setText("Opening the camera...");
  counters_->clear();
  worker_->start();
}

void RecordingView::Stop() {
  if (!Recording()) return;
  worker_->Stop();
  stop_->setEnabled(false);
  state_->setText("Stopping: what was recorded is kept...");
}

void RecordingView::StopAndWait() {
  if (!Recording()) return;
  worker_->Stop();
  worker_->wait();
  Finish();
}

void RecordingView::ShowPicture(const LivePicture& live) {
  cv::Mat picture = live.frame.clone();
  DrawZones(picture, zones_, ZoneDrawing{false, false});
  if (live.tracked) DrawDetection(picture, live.point, live.blobs);
  canvas_->SetPicture(ToQImage(picture));
  ++picturesShown_;
}

void RecordingView::ShowProgress(const RecordingProgress& progress, bool tracking) {
  if (!Recording() || !stop_->isEnabled()) return;  // stopping: its own words stay
  const QString line = QString::fromStdString(RecordingProgressText(progress, tracking));
  const bool waiting = progress.countdownMs > 0;
  state_->setText(waiting ? line : QString(MessageText(msg::kRecordingInProgress)));
  counters_->setText(waiting ? QString() : line);
}

void RecordingView::Finish() {
  if (!Recording()) return;
  worker_->wait();
  const RecordOutcome outcome = worker_->Outcome();
  worker_.reset();
  keepLastPicture_ = true;  // while the lists are read again
  choices_->setEnabled(true);
  start_->setEnabled(true);
  stop_->setEnabled(false);
  const bool recorded = outcome.status == RecordStatus::kRecorded;
  counters_->clear();
  if (!recorded) {
    const bool writing = outcome.status == RecordStatus::kWriteFailed || outcome.status == RecordStatus::kWriterUnavailable;
    Problem(writing ? msg::kRecordingFailed : 0, QString::fromStdString("Nothing was recorded: " + NotRecordedReason(outcome) + "."));
  } else {
    // The sentence on the state line, the live tracking's (when stored) on the counters' line.
    const QStringList lines = QString::fromStdString(RecordedText(outcome)).split('\n');
    state_->setText(lines.front().toHtmlEscaped());
    counters_->setText(lines.size() > 1 ? lines.back() : QString());
    session_.experiment().LoadAll();
    session_.NotifyRecordsChanged();
    session_.SetCurrentTest(outcome.testId);
    choices_->FillChoosing(outcome.testId);
    if (outcome.recording.dropped > 0) {
      session_.services().notifier->Notify(msg::kComputerTooSlow, MessageText(msg::kComputerTooSlow),
                                           MessageIcon::Exclamation);
    }
    if (outcome.trackingNotStored) {
      Problem(0, "The recording is stored, but its live tracking could not be: analyse the test.");
    }
  }
  keepLastPicture_ = picturesShown_ > 0;
  ShowPreview();
  emit Finished(recorded);
}

void RecordingView::Problem(int messageId, const QString& text) {
  state_->setText(text.toHtmlEscaped());
  session_.services().notifier->Notify(messageId, text.toStdString(), MessageIcon::Exclamation);
}

QWidget* MakeRecordingView(GuiSession& session, int testId, QWidget* parent) {
  return new RecordingView(session, testId, parent);
}

}  // namespace vx::gui
