#include "speed_curve.h"

#include <QMouseEvent>
#include <QPainter>
#include <QPainterPath>
#include <algorithm>
#include <cmath>

namespace vx::gui {

namespace {
constexpr int kLeftMargin = 56;
constexpr int kMargin = 8;
}

SpeedCurve::SpeedCurve(QWidget* parent) : QWidget(parent) {
  setMinimumHeight(80);
  setSizePolicy(QSizePolicy::Expanding, QSizePolicy::Fixed);
}

void SpeedCurve::SetCurve(std::vector<int> frames, std::vector<double> speeds, int lastFrame) {
  frames_ = std::move(frames);
  speeds_ = std::move(speeds);
  lastFrame_ = std::max(1, lastFrame);
  const double highest = speeds_.empty() ? 0 : *std::max_element(speeds_.begin(), speeds_.end());
  // A round top: 1, 2 or 5 times a power of ten.
  const double step = std::pow(10.0, std::floor(std::log10(std::max(highest, 1.0))));
  top_ = step;
  for (double factor : {1.0, 2.0, 5.0, 10.0}) {
    top_ = factor * step;
    if (top_ >= highest) break;
  }
  update();
}

void SpeedCurve::SetCurrentFrame(int frame) {
  current_ = frame;
  update();
}

QRect SpeedCurve::Plot() const {
  return rect().adjusted(kLeftMargin, kMargin, -kMargin, -kMargin - fontMetrics().height());
}

double SpeedCurve::XOf(int frame) const {
  const QRect plot = Plot();
  return plot.left() + plot.width() * static_cast<double>(frame) / lastFrame_;
}

void SpeedCurve::paintEvent(QPaintEvent*) {
  QPainter painter(this);
  painter.setRenderHint(QPainter::Antialiasing);
  painter.fillRect(rect(), palette().base());
  const QRect plot = Plot();
  painter.setPen(palette().color(QPalette::Mid));
  painter.drawRect(plot);
  painter.setPen(palette().color(QPalette::Text));
  painter.drawText(QRect(0, plot.top() - 2, kLeftMargin - 4, fontMetrics().height()), Qt::AlignRight,
                   QString::number(top_ / 10.0, 'g', 3));
  painter.drawText(QRect(0, plot.bottom() - fontMetrics().height(), kLeftMargin - 4, fontMetrics().height()),
                   Qt::AlignRight, "0");
  painter.drawText(QRect(plot.left(), plot.bottom() + 2, plot.width(), fontMetrics().height()), Qt::AlignLeft,
                   "Speed (cm/s)");
  QPainterPath path;
  bool drawing = false;
  for (size_t i = 0; i < frames_.size(); ++i) {
    if (speeds_[i] < 0) {
      drawing = false;
      continue;
    }
    const QPointF at(XOf(frames_[i]), plot.bottom() - plot.height() * std::min(1.0, speeds_[i] / top_));
    if (drawing) path.lineTo(at);
    else path.moveTo(at);
    drawing = true;
  }
  painter.setPen(QPen(QColor(0, 120, 215), 1.5));
  painter.drawPath(path);
  painter.setPen(QPen(QColor(220, 30, 30), 2));
  painter.drawLine(QPointF(XOf(current_), plot.top()), QPointF(XOf(current_), plot.bottom()));
}

void SpeedCurve::mousePressEvent(QMouseEvent* event) {
  const QRect plot = Plot();
  if (plot.width() <= 0) return;
  const double share = (event->position().x() - plot.left()) / plot.width();
  emit FrameClicked(static_cast<int>(std::lround(std::clamp(share, 0.0, 1.0) * lastFrame_)));
}

}  // namespace vx::gui
