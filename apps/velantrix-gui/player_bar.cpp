#include "player_bar.h"

#include <QComboBox>
#include <QHBoxLayout>
#include <QLabel>
#include <QSlider>
#include <QToolButton>

#include <algorithm>
#include <cstdlib>

namespace vx::gui {

QString TimeText(int64_t ms) {
  const int64_t total = std::max<int64_t>(0, ms);
  return QString("%1:%2.%3")
      .arg(total / 60000)
      .arg(total / 1000 % 60, 2, 10, QChar('0'))
      .arg(total % 1000, 3, 10, QChar('0'));
}

PlayerBar::PlayerBar(QWidget* parent) : QWidget(parent) {
  auto* layout = new QHBoxLayout(this);
  layout->setContentsMargins(0, 0, 0, 0);
  auto button = [&](const QString& text, const QString& tip) {
    auto* b = new QToolButton;
    b->setText(text);
    b->setToolTip(tip);
    layout->addWidget(b);
    return b;
  };
  QToolButton* back = button("|<", tr("One frame back"));
  play_ = button(">", tr("Play / pause"));
  play_->setCheckable(true);
  QToolButton* forward = button(">|", tr("One frame forward"));
  slider_ = new QSlider(Qt::Horizontal);
  layout->addWidget(slider_, 1);
  time_ = new QLabel(TimeText(0));
  time_->setMinimumWidth(80);
  layout->addWidget(time_);
  speed_ = new QComboBox;
  for (double speed : {0.1, 0.25, 0.5, 1.0, 2.0, 4.0, 8.0}) speed_->addItem(QString("x%1").arg(speed), speed);
  speed_->setCurrentIndex(3);
  speed_->setToolTip(tr("Playing speed"));
  layout->addWidget(speed_);

  connect(back, &QToolButton::clicked, this, [this] { SetFrame(Frame() - 1); });
  connect(forward, &QToolButton::clicked, this, [this] { SetFrame(Frame() + 1); });
  connect(play_, &QToolButton::toggled, this, &PlayerBar::Play);
  connect(slider_, &QSlider::valueChanged, this, &PlayerBar::FrameChanged);
  connect(speed_, &QComboBox::currentIndexChanged, this, &PlayerBar::UpdateInterval);
  connect(&timer_, &QTimer::timeout, this, &PlayerBar::Tick);
  SetVideo(0, 25.0);
}

void PlayerBar::SetVideo(int frameCount, double fps) {
  Play(false);
  fps_ = fps > 0 ? fps : 25.0;
  slider_->blockSignals(true);
  slider_->setRange(0, std::max(0, frameCount - 1));
  slider_->setValue(0);
  slider_->blockSignals(false);
  UpdateInterval();
}

int PlayerBar::Frame() const { return slider_->value(); }

void PlayerBar::SetFrame(int frame) { slider_->setValue(std::clamp(frame, 0, slider_->maximum())); }

void PlayerBar::SetTimeMs(int64_t ms) { time_->setText(TimeText(ms)); }

double PlayerBar::Speed() const { return speed_->currentData().toDouble(); }

void PlayerBar::Play(bool on) {
  if (on == IsPlaying()) return;
  if (on) {
    if (Frame() >= slider_->maximum()) SetFrame(0);
    timer_.start();
  } else {
    timer_.stop();
  }
  play_->blockSignals(true);
  play_->setChecked(on);
  play_->setText(on ? "||" : ">");
  play_->blockSignals(false);
}

void PlayerBar::UpdateInterval() { timer_.setInterval(std::max(1, static_cast<int>(1000.0 / (fps_ * Speed())))); }

void PlayerBar::Tick() {
  if (Frame() >= slider_->maximum()) return Play(false);
  SetFrame(Frame() + 1);
}

}  // namespace vx::gui
