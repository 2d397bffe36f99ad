#include "player_view.h"

#include <QComboBox>
#include <QHBoxLayout>
#include <QLabel>
#include <QPushButton>
#include <QSlider>
#include <QTimer>
#include <QVBoxLayout>

#include "reports/duration_format.h"
#include "gui_session.h"
#include "image_label.h"
#include "speed_curve.h"
#include "test_picker.h"
#include "track_player.h"

namespace vx::gui {

namespace {

// Speeds from one frame to the next jump with the pixel grid; the curve shows each one averaged
// with its two neighbours on each side (unknown speeds, negative, left out and kept unknown).
std::vector<double> MeanOfNeighbours(const std::vector<double>& speeds) {
  constexpr int kReach = 2;
  std::vector<double> mean(speeds.size(), -1.0);
  for (int i = 0; i < static_cast<int>(speeds.size()); ++i) {
    if (speeds[i] < 0) continue;
    double sum = 0;
    int count = 0;
    for (int j = std::max(0, i - kReach); j <= std::min(static_cast<int>(speeds.size()) - 1, i + kReach); ++j) {
      if (speeds[j] >= 0) sum += speeds[j], ++count;
    }
    mean[i] = sum / count;
  }
  return mean;
}

class PlayerView : public QWidget {
 public:
  PlayerView(GuiSession& session, QWidget* parent)
      : QWidget(parent),
        session_(session),
        test_(new TestPicker(session, this)),
        picture_(new ImageLabel(this)),
        scrub_(new QSlider(Qt::Horizontal, this)),
        play_(new QPushButton("Play", this)),
        speed_(new QComboBox(this)),
        where_(new QLabel(this)),
        curve_(new SpeedCurve(this)) {
    picture_->setObjectName("video");
    scrub_->setObjectName("scrub");
    play_->setObjectName("play");
    for (double rate : {0.25, 0.5, 1.0, 2.0, 4.0}) speed_->addItem(QString("x %1").arg(rate), rate);
    speed_->setCurrentIndex(2);
    auto* back = new QPushButton("<", this);
    auto* forward = new QPushButton(">", this);
    back->setToolTip("Previous frame");
    forward->setToolTip("Next frame");

    auto* top = new QHBoxLayout;
    top->addWidget(new QLabel("Test", this));
    top->addWidget(test_, 1);
    auto* controls = new QHBoxLayout;
    controls->addWidget(play_);
    controls->addWidget(back);
    controls->addWidget(forward);
    controls->addWidget(speed_);
    controls->addWidget(scrub_, 1);
    controls->addWidget(where_);
    auto* layout = new QVBoxLayout(this);
    layout->addLayout(top);
    layout->addWidget(picture_, 1);
    layout->addLayout(controls);
    layout->addWidget(curve_);

    connect(test_, &TestPicker::TestChosen, this, &PlayerView::Load);
    connect(scrub_, &QSlider::valueChanged, this, &PlayerView::Show);
    connect(curve_, &SpeedCurve::FrameClicked, scrub_, &QSlider::setValue);
    connect(back, &QPushButton::clicked, this, [this] {
      Pause();
      scrub_->setValue(scrub_->value() - 1);
    });
    connect(forward, &QPushButton::clicked, this, [this] {
      Pause();
      scrub_->setValue(scrub_->value() + 1);
    });
    connect(play_, &QPushButton::clicked, this, [this] { timer_.isActive() ? Pause() : Play(); });
    connect(speed_, &QComboBox::activated, this, [this] { if (timer_.isActive()) Play(); });
    connect(&timer_, &QTimer::timeout, this, &PlayerView::Step);
    Load();
  }

 private:
  void Load() {
    Pause();
    const std::string problem = test_->count() > 0 ? player_.Open(session_.experiment(), test_->testId())
                                                   : "No test is analysed yet: analyse one on the Analysis page.";
    picture_->SetImage({});
    picture_->SetText(QString::fromStdString(problem));
    if (!problem.empty()) {
      curve_->SetCurve({}, {}, 1);
      return;
    }
    std::vector<int> frames;
    std::vector<double> speeds;
    const Trajectory& track = player_.trajectory();
    for (size_t i = 0; i < track.size(); ++i) {
      frames.push_back(track[i].frame);
      speeds.push_back(track.StepSpeed(static_cast<int>(i)));
    }
    curve_->SetCurve(std::move(frames), MeanOfNeighbours(speeds), player_.lastFrame());
    const QSignalBlocker block(scrub_);
    scrub_->setRange(0, player_.lastFrame());
    scrub_->setValue(0);
    Show(0);
  }

  void Show(int frame) {
    const QImage image = player_.Frame(frame);
    if (!image.isNull()) picture_->SetImage(image);
    curve_->SetCurrentFrame(frame);
    where_->setText(QString("Frame %1 / %2, %3")
                        .arg(frame)
                        .arg(player_.lastFrame())
                        .arg(QString::fromStdString(FormatDuration(player_.FrameTimeMs(frame) / 1000.0, 1))));
  }

  void Play() {
    if (!player_.IsOpen()) return;
    if (scrub_->value() >= scrub_->maximum()) scrub_->setValue(0);
    const double rate = player_.fps() * speed_->currentData().toDouble();
    timer_.start(static_cast<int>(1000.0 / rate));
    play_->setText("Pause");
  }

  void Pause() {
    timer_.stop();
    play_->setText("Play");
  }

  void Step() {
    if (scrub_->value() >= scrub_->maximum()) {
      Pause();
      return;
    }
    scrub_->setValue(scrub_->value() + 1);
  }

  GuiSession& session_;
  TestPicker* test_;
  ImageLabel* picture_;
  QSlider* scrub_;
  QPushButton* play_;
  QComboBox* speed_;
  QLabel* where_;
  SpeedCurve* curve_;
  QTimer timer_;
  TrackPlayer player_;
};

}  // namespace

QWidget* MakePlayerView(GuiSession& session, int, QWidget* parent) { return new PlayerView(session, parent); }

}  // namespace vx::gui
