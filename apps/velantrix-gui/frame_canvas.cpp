#include "frame_canvas.h"

#include <QMouseEvent>
#include <QPainter>
#include <QWheelEvent>

#include <algorithm>
#include <cmath>

namespace vx::gui {

QImage ToQImage(const cv::Mat& image) {
  if (image.empty() || image.depth() != CV_8U) return {};
  if (image.channels() == 1) {
    return QImage(image.data, image.cols, image.rows, static_cast<qsizetype>(image.step),
                  QImage::Format_Grayscale8).copy();
  }
  if (image.channels() == 3) {
    return QImage(image.data, image.cols, image.rows, static_cast<qsizetype>(image.step),
                  QImage::Format_BGR888).convertToFormat(QImage::Format_RGB32);
  }
  return {};
}

FrameCanvas::FrameCanvas(QWidget* parent) : QWidget(parent) {
  setMouseTracking(true);
  setFocusPolicy(Qt::StrongFocus);
  setMinimumSize(160, 120);
  setAutoFillBackground(false);
}

void FrameCanvas::SetPicture(const QImage& picture) {
  const bool resized = picture.size() != picture_.size();
  picture_ = picture;
  if (resized) UpdateFit();
  update();
}

void FrameCanvas::FitToWindow() {
  fit_ = true;
  UpdateFit();
  update();
}

void FrameCanvas::UpdateFit() {
  if (!fit_ || picture_.isNull() || width() <= 0 || height() <= 0) return;
  scale_ = std::min(width() / static_cast<double>(picture_.width()), height() / static_cast<double>(picture_.height()));
  offset_ = QPointF((width() - picture_.width() * scale_) / 2, (height() - picture_.height() * scale_) / 2);
}

cv::Point FrameCanvas::ToImage(const QPointF& widgetPos) const {
  const QPointF p = (widgetPos - offset_) / scale_;
  return {static_cast<int>(std::floor(p.x())), static_cast<int>(std::floor(p.y()))};
}

QPointF FrameCanvas::ToWidget(const QPointF& imagePos) const { return imagePos * scale_ + offset_; }

void FrameCanvas::paintEvent(QPaintEvent*) {
  QPainter painter(this);
  painter.fillRect(rect(), QColor(40, 40, 40));
  if (picture_.isNull()) return;
  painter.translate(offset_);
  painter.scale(scale_, scale_);
  painter.setRenderHint(QPainter::SmoothPixmapTransform, scale_ < 1.0);
  painter.drawImage(QPointF(0, 0), picture_);
  painter.setRenderHint(QPainter::Antialiasing, true);
  PaintOverlay(painter);
}

void FrameCanvas::resizeEvent(QResizeEvent*) { UpdateFit(); }

void FrameCanvas::wheelEvent(QWheelEvent* event) {
  if (picture_.isNull()) return;
  const double factor = std::pow(1.0015, event->angleDelta().y());
  const double scale = std::clamp(scale_ * factor, 0.05, 40.0);
  const QPointF anchor = event->position();
  const QPointF image = (anchor - offset_) / scale_;
  scale_ = scale;
  offset_ = anchor - image * scale_;
  fit_ = false;
  update();
}

void FrameCanvas::mousePressEvent(QMouseEvent* event) {
  if (event->button() == Qt::MiddleButton || event->button() == Qt::RightButton) {
    panning_ = true;
    panFrom_ = event->position();
    return;
  }
  if (event->button() == Qt::LeftButton) emit ImageClicked(ToImage(event->position()));
}

void FrameCanvas::mouseMoveEvent(QMouseEvent* event) {
  if (!panning_) return;
  offset_ += event->position() - panFrom_;
  panFrom_ = event->position();
  fit_ = false;
  update();
}

void FrameCanvas::mouseReleaseEvent(QMouseEvent* event) {
  if (event->button() == Qt::MiddleButton || event->button() == Qt::RightButton) panning_ = false;
}

void FrameCanvas::mouseDoubleClickEvent(QMouseEvent* event) {
  if (event->button() == Qt::MiddleButton) FitToWindow();
}

}  // namespace vx::gui
