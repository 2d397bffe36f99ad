#include "detection_view.h"

#include <QCheckBox>
#include <QElapsedTimer>
#include <QHBoxLayout>
#include <QLabel>
#include <QPushButton>
#include <QScrollArea>
#include <QVBoxLayout>

#include <opencv2/core.hpp>

#include "analysis/reference_image.h"
#include "detection/click_tuning.h"
#include "detection/detection_drawing.h"
#include "detection/detection_settings_store.h"
#include "detection/test_context.h"
#include "drawing/zone_drawing.h"
#include "zones/ref_image.h"
#include "zones/zone_rows.h"

namespace vx::gui {

namespace {

std::vector<ReferenceChoice> Library(ExperimentFile& file, bool colourOnly) {
  std::vector<RefImageEntry> images;
  std::vector<ReferenceChoice> choices;
  if (!ListRefImages(file, colourOnly, images)) return choices;
  for (const RefImageEntry& image : images) choices.push_back({image.id, image.name});
  return choices;
}

}  // namespace

DetectionView::DetectionView(Experiment& experiment, Services& services, QWidget* parent)
    : QWidget(parent), experiment_(experiment), services_(services) {
  canvas_ = new FrameCanvas;
  player_ = new PlayerBar;
  panel_ = new DetectionPanel;
  maskBox_ = new QCheckBox(tr("Show the foreground mask"));
  status_ = new QLabel;
  status_->setWordWrap(true);
  rate_ = new QLabel;
  rate_->setWordWrap(true);
  auto* rateButton = new QPushButton(tr("Detection rate"));
  rateButton->setToolTip(tr("Detects the animal in 50 frames spread over the video"));
  auto* save = new QPushButton(tr("Save the settings"));
  builder_ = new ReferenceBuilder(
      experiment_.file, [this] { return video_.Frame(player_->Frame()).clone(); },
      [this] { return panel_->Settings().method != kMethodSubtractionAdvanced; });

  auto* left = new QVBoxLayout;
  left->addWidget(canvas_, 1);
  left->addWidget(player_);
  left->addWidget(status_);
  auto* right = new QVBoxLayout;
  right->addWidget(panel_);
  right->addWidget(maskBox_);
  right->addWidget(new QLabel(tr("Click the animal in the picture to take its colour.")));
  right->addWidget(rateButton);
  right->addWidget(rate_);
  right->addWidget(builder_);
  right->addStretch(1);
  right->addWidget(save);
  // The settings scroll when the window is short, so that the picture keeps its room.
  auto* settings = new QWidget;
  settings->setLayout(right);
  auto* scroll = new QScrollArea;
  scroll->setWidget(settings);
  scroll->setWidgetResizable(true);
  scroll->setFrameShape(QFrame::NoFrame);
  scroll->setHorizontalScrollBarPolicy(Qt::ScrollBarAlwaysOff);
  scroll->setMinimumWidth(std::min(400, settings->sizeHint().width() + 20));
  auto* layout = new QHBoxLayout(this);
  layout->addLayout(left, 1);
  layout->addWidget(scroll);

  connect(player_, &PlayerBar::FrameChanged, this, [this] { Redetect(); });
  connect(panel_, &DetectionPanel::SettingsEdited, this, &DetectionView::Apply);
  connect(panel_, &DetectionPanel::Refused, this, &DetectionView::Status);
  connect(maskBox_, &QCheckBox::toggled, this, &DetectionView::ShowMask);
  connect(canvas_, &FrameCanvas::ImageClicked, this, [this](cv::Point p) { TuneAt(p); });
  connect(rateButton, &QPushButton::clicked, this, [this] {
    const DetectionRate rate = SampleRate();
    rate_->setText(tr("Animal found in %1 of %2 sampled frames (%3 %)")
                       .arg(rate.found).arg(rate.sampled).arg(rate.Percent(), 0, 'f', 1));
  });
  connect(save, &QPushButton::clicked, this, [this] { Save(); });
  connect(builder_, &ReferenceBuilder::Problem, this, &DetectionView::Status);
  connect(builder_, &ReferenceBuilder::Saved, this, [this](int id) {
    panel_->UseLibraryImage(id, Library(experiment_.file, false), Library(experiment_.file, true));
    Status(tr("Reference image stored; the detection now uses it."));
  });
  connect(panel_, &DetectionPanel::SettingsEdited, this,
          [this] { builder_->setVisible(UsesReference(panel_->Settings().method)); });
}

bool DetectionView::ShowTest(int testId) {
  testId_ = testId;
  detector_.reset();
  const QString problem = video_.Open(experiment_, testId);
  if (!problem.isEmpty()) {
    Status(problem);
    canvas_->SetPicture(QImage());
    return false;
  }
  const TestJob& job = video_.Job();
  zones_ = ZoneSet();
  LoadZoneSet(job.protocol, zones_);
  detector_ = std::make_unique<Detector>(video_.Source());
  panel_->Show(ParseDetectionSettings(job.test.paramsDetection, *services_.clock),
               Library(experiment_.file, false), Library(experiment_.file, true));
  player_->SetVideo(video_.FrameCount(), video_.Fps());
  rate_->clear();
  builder_->setVisible(UsesReference(panel_->Settings().method));
  PrepareReferenceImage();
  Apply(false);
  return true;
}

void DetectionView::PrepareReferenceImage() {
  DetectionSettings settings = panel_->Settings();
  reference_.release();
  if (!UsesReference(settings.method)) return;
  const TestJob& job = video_.Job();
  ReferenceInputs inputs;
  inputs.source = &video_.Source();
  inputs.videoPath = job.videoPath;
  inputs.files = services_.files;
  inputs.library = [this](int id) { return LoadRefImage(experiment_.file, id); };
  inputs.context = MakeTestDetectionContext(settings, zones_, job.protocol.headDetection, job.sizes, job.test.idArena);
  inputs.firstFrame = 0;
  inputs.lastFrame = video_.FrameCount() - 1;
  if (PrepareReference(settings, inputs)) reference_ = settings.referenceImage;
  video_.Forget();  // the reference may have been read from the video
}

void DetectionView::Apply(bool referenceChanged) {
  if (detector_ == nullptr) return;
  if (referenceChanged) PrepareReferenceImage();
  DetectionSettings settings = panel_->Settings();
  settings.referenceImage = reference_;
  const TestJob& job = video_.Job();
  detector_->SetContext(MakeTestDetectionContext(settings, zones_, job.protocol.headDetection, job.sizes, job.test.idArena));
  Redetect();
}

void DetectionView::Redetect() {
  if (detector_ == nullptr) return;
  const int frame = player_->Frame();
  const cv::Mat& image = video_.Frame(frame);
  if (image.empty()) return Status(tr("Frame %1 cannot be read.").arg(frame));
  QElapsedTimer timer;
  timer.start();
  point_ = tMyPoint();
  point_.frame = frame;
  point_.time = static_cast<int>(video_.TimeMs(frame));
  detector_->NoteFrame(frame);
  DetectInFrame(*detector_, image, mask_, point_, blobs_, video_.Job().protocol.headDetection);
  detectionMs_ = static_cast<double>(timer.nsecsElapsed()) / 1e6;
  player_->SetTimeMs(point_.time);
  Render();
  Status(point_.rawX >= 0 ? tr("Animal at %1, %2 (detected in %3 ms)").arg(point_.rawX).arg(point_.rawY).arg(detectionMs_, 0, 'f', 1)
                          : tr("No animal found in this frame (%1 blobs).").arg(blobs_.size()));
}

void DetectionView::Render() {
  const cv::Mat& frame = video_.Frame(player_->Frame());
  if (frame.empty()) return;
  cv::Mat picture = frame.clone();
  if (showMask_ && mask_.size() == picture.size()) {
    cv::Mat tinted;
    cv::addWeighted(picture, 0.4, cv::Mat(picture.size(), picture.type(), cv::Scalar(0, 0, 255)), 0.6, 0, tinted);
    tinted.copyTo(picture, mask_);
  }
  DrawZones(picture, zones_, ZoneDrawing{false, false});
  DrawDetection(picture, point_, blobs_);
  canvas_->SetPicture(ToQImage(picture));
}

void DetectionView::ShowMask(bool on) {
  showMask_ = on;
  maskBox_->blockSignals(true);
  maskBox_->setChecked(on);
  maskBox_->blockSignals(false);
  Render();
}

bool DetectionView::TuneAt(cv::Point pixel) {
  const cv::Mat& frame = video_.Frame(player_->Frame());
  DetectionSettings settings = panel_->Settings();
  const PixelRect arena = zones_.ArenaRect(video_.Job().test.idArena);
  const cv::Rect box(arena.left, arena.top, static_cast<int>(arena.Width()), static_cast<int>(arena.Height()));
  if (frame.empty() || !TuneFromClick(settings, frame, pixel, box)) return false;
  panel_->Show(settings, Library(experiment_.file, false), Library(experiment_.file, true));
  Apply(false);
  return true;
}

DetectionRate DetectionView::SampleRate(int samples) {
  DetectionRate rate;
  if (detector_ == nullptr) return rate;
  const int frames = video_.FrameCount();
  const int count = std::min(samples, frames);
  cv::Mat mask;
  BlobList blobs;
  for (int i = 0; i < count; ++i) {
    const int frame = count > 1 ? static_cast<int>(static_cast<int64_t>(i) * (frames - 1) / (count - 1)) : 0;
    const cv::Mat& image = video_.Frame(frame);
    if (image.empty()) continue;
    tMyPoint point;
    point.frame = frame;
    point.time = static_cast<int>(video_.TimeMs(frame));
    detector_->NoteFrame(frame);
    DetectInFrame(*detector_, image, mask, point, blobs, video_.Job().protocol.headDetection);
    ++rate.sampled;
    if (point.rawX >= 0) ++rate.found;
  }
  Redetect();
  return rate;
}

bool DetectionView::Save() {
  DetectionSettings settings = panel_->Settings();
  if (testId_ < 0 || !SaveDetectionSettings(experiment_.file, testId_, settings)) {
    Status(tr("The detection settings could not be saved; the experiment file is unchanged."));
    return false;
  }
  Status(tr("Detection settings saved."));
  return true;
}

void DetectionView::Status(const QString& text) { status_->setText(text); }

}  // namespace vx::gui
