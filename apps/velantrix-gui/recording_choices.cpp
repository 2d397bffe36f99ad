#include "recording_choices.h"

#include <QCheckBox>
#include <QComboBox>
#include <QFileDialog>
#include <QFormLayout>
#include <QHBoxLayout>
#include <QLabel>
#include <QLineEdit>
#include <QPushButton>
#include <QSpinBox>

#include "gui_session.h"
#include "recording/recording_texts.h"
#include "video/camera_list.h"
#include "video/recording_format.h"

namespace vx::gui {

namespace {

constexpr int kNewTest = -1;
constexpr int kStandIn = -1;  // the camera choice of a video file

// Keeps a combo box's choice (by its data) while it is filled again.
template <typename Fill>
void Refill(QComboBox* box, const QVariant& keep, Fill fill) {
  const QSignalBlocker block(box);
  box->clear();
  fill();
  const int index = box->findData(keep);
  box->setCurrentIndex(index >= 0 ? index : 0);
}

}  // namespace

RecordingChoices::RecordingChoices(GuiSession& session, int testId, QWidget* parent)
    : QWidget(parent),
      session_(session),
      camera_(new QComboBox(this)),
      cameraNote_(new QLabel(this)),
      standIn_(new QLineEdit(this)),
      browse_(new QPushButton("Browse...", this)),
      fast_(new QCheckBox("Deliver its frames at once (no waiting between frames)", this)),
      test_(new QComboBox(this)),
      protocol_(new QComboBox(this)),
      animal_(new QComboBox(this)),
      title_(new QLineEdit(this)),
      format_(new QComboBox(this)),
      duration_(new QSpinBox(this)),
      track_(new QCheckBox("Track the animal while recording, and store the analysis", this)) {
  camera_->setObjectName("recordCamera");
  cameraNote_->setObjectName("cameraNote");
  cameraNote_->setWordWrap(true);
  standIn_->setObjectName("recordSource");
  standIn_->setPlaceholderText("A video file, played at its frame rate");
  fast_->setObjectName("recordFast");
  test_->setObjectName("recordTest");
  test_->setToolTip("A test without a video, or a new one. A test that has a video keeps it in the "
                    "experiment's folder; the new recording becomes the test's video.");
  protocol_->setObjectName("recordProtocol");
  animal_->setObjectName("recordAnimal");
  title_->setObjectName("recordTitle");
  format_->setObjectName("recordFormat");
  duration_->setObjectName("recordDuration");
  duration_->setRange(0, 24 * 3600);
  duration_->setSuffix(" s");
  duration_->setSpecialValueText("The protocol's");
  duration_->setToolTip("Length of the recording; the protocol's recording length (or until stopped) at 0");
  track_->setObjectName("recordTrack");

  auto* form = new QFormLayout(this);
  form->setContentsMargins(0, 0, 0, 0);
  form->addRow("Camera", camera_);
  form->addRow(cameraNote_);
  form->addRow("Video file", SourceRow());
  form->addRow(fast_);
  form->addRow("Test", test_);
  form->addRow("New test: protocol", protocol_);
  form->addRow("New test: animal", animal_);
  form->addRow("New test: title", title_);
  form->addRow("Format", format_);
  form->addRow("Length", duration_);
  form->addRow(track_);

  connect(camera_, &QComboBox::currentIndexChanged, this, [this] {
    UpdateEnabled();
    emit PreviewChanged();
  });
  connect(standIn_, &QLineEdit::editingFinished, this, &RecordingChoices::PreviewChanged);
  connect(browse_, &QPushButton::clicked, this, [this] {
    const QString path = QFileDialog::getOpenFileName(this, "A video file to play as the camera", standIn_->text(),
                                                      "Videos (*.avi *.mkv *.mp4 *.mov *.wmv *.vxf);;All files (*)");
    if (path.isEmpty()) return;
    standIn_->setText(path);
    emit PreviewChanged();
  });
  for (QComboBox* box : {test_, protocol_}) {
    connect(box, &QComboBox::currentIndexChanged, this, [this] {
      UpdateEnabled();
      FillProtocolChoices();
      emit PreviewChanged();
    });
  }
  FillCameras();
  FillTests(testId);
  UpdateEnabled();
}

QWidget* RecordingChoices::SourceRow() {
  auto* row = new QWidget(this);
  auto* layout = new QHBoxLayout(row);
  layout->setContentsMargins(0, 0, 0, 0);
  layout->addWidget(standIn_, 1);
  layout->addWidget(browse_);
  return row;
}

void RecordingChoices::FillCameras() {
  CameraList& cameras = ProcessCameras();
  cameras.Enumerate();
  Refill(camera_, camera_->currentData(), [&] {
    for (int i = 0; i < cameras.Count(); ++i) {
      camera_->addItem(QString("%1 (/dev/video%2)").arg(QString::fromStdString(cameras.Name(i))).arg(cameras.Device(i)), i);
    }
    camera_->addItem("A video file played as the camera", kStandIn);
  });
  cameraNote_->setText(cameras.Count() == 0 ? "No camera was found on this machine: a video file can be played "
                                              "as the camera instead."
                                            : QString());
  cameraNote_->setVisible(cameras.Count() == 0);
}

void RecordingChoices::FillTests(int testId) {
  Experiment& experiment = session_.experiment();
  // The test asked for when it waits for its video, else the first that does, else a new one.
  int chosen = kNewTest;
  if (const CInfosTest* test = experiment.FindTest(testId); test != nullptr && test->source < 0) chosen = testId;
  for (auto it = experiment.tests.begin(); chosen == kNewTest && it != experiment.tests.end(); ++it) {
    if (it->second.source < 0) chosen = it->first;
  }
  Refill(test_, chosen, [&] {
    test_->addItem("A new test", kNewTest);
    for (const auto& [id, test] : experiment.tests) {
      const QString state = test.source < 0 ? "no video yet" : "has a video";
      test_->addItem(QString("%1: %2 (%3)").arg(id).arg(QString::fromStdString(test.title), state), id);
    }
  });
  Refill(protocol_, protocol_->currentData(), [&] {
    for (const CProtocol& p : experiment.protocols) protocol_->addItem(QString::fromStdString(p.name), p.id);
  });
  Refill(animal_, animal_->currentData(), [&] {
    for (const CAnimal& a : experiment.animals) animal_->addItem(QString::fromStdString(a.name), a.id);
  });
  FillProtocolChoices();
}

void RecordingChoices::FillProtocolChoices() {
  const CProtocol* protocol = session_.experiment().FindProtocol(ProtocolId());
  const RecordingFormat* own = protocol ? RecordingFormatNumbered(protocol->formatRecordNoA) : nullptr;
  duration_->setSpecialValueText(
      protocol ? QString("The protocol's: %1").arg(QString::fromStdString(ProtocolRecordingText(*protocol)))
               : QString("The protocol's"));
  Refill(format_, format_->currentData(), [&] {
    format_->addItem(QString("The protocol's: %1").arg(own ? own->label : "the best this machine writes"), QString());
    for (const RecordingFormat& format : RecordingFormats()) format_->addItem(format.label, QString(format.name));
  });
}

void RecordingChoices::Fill() {
  const QSignalBlocker block(test_);  // the same choice: the picture stays
  const int testId = test_->currentData().toInt();
  FillTests(testId);
  if (const int index = test_->findData(testId); index >= 0) test_->setCurrentIndex(index);
  UpdateEnabled();
}

void RecordingChoices::FillChoosing(int testId) {
  FillTests(testId);
  UpdateEnabled();
}

void RecordingChoices::UpdateEnabled() {
  const bool standIn = camera_->currentData().toInt() == kStandIn;
  for (QWidget* w : std::initializer_list<QWidget*>{standIn_, browse_, fast_}) w->setEnabled(standIn);
  const bool newTest = test_->currentData().toInt() == kNewTest;
  for (QWidget* w : std::initializer_list<QWidget*>{protocol_, animal_, title_}) w->setEnabled(newTest);
}

int RecordingChoices::ProtocolId() const {
  const int testId = test_->currentData().toInt();
  if (testId == kNewTest) return protocol_->count() > 0 ? protocol_->currentData().toInt() : -1;
  const CInfosTest* test = session_.experiment().FindTest(testId);
  return test ? test->idProtocol : -1;
}

QString RecordingChoices::StandInPath() const {
  return camera_->currentData().toInt() == kStandIn ? standIn_->text().trimmed() : QString();
}

bool RecordingChoices::Request(RecordRequest& request, QString& problem) const {
  request = RecordRequest();
  const int camera = camera_->currentData().toInt();
  if (camera == kStandIn) {
    request.standIn = StandInPath().toStdString();
    request.pace = fast_->isChecked() ? StreamPace::kFast : StreamPace::kRealTime;
    if (request.standIn.empty()) problem = "Choose the video file to play as the camera.";
  } else {
    request.camera = camera;
  }
  request.testId = test_->currentData().toInt();
  if (request.testId == kNewTest) {
    request.newProtocol = ProtocolId();
    request.newAnimal = animal_->count() > 0 ? animal_->currentData().toInt() : -1;
    request.newTitle = title_->text().trimmed().toStdString();
    if (request.newProtocol < 0 || request.newAnimal < 0) {
      problem = "A new test needs a protocol and an animal: add them to the experiment first.";
    }
  }
  request.format = format_->currentData().toString().toStdString();
  request.durationMs = duration_->value() > 0 ? duration_->value() * 1000 : -1;
  request.track = track_->isChecked();
  return problem.isEmpty();
}

}  // namespace vx::gui
