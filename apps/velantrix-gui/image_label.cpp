#include "image_label.h"

#include <QPainter>

namespace vx::gui {

ImageLabel::ImageLabel(QWidget* parent) : QWidget(parent) {
  setSizePolicy(QSizePolicy::Expanding, QSizePolicy::Expanding);
  setMinimumSize(160, 120);
}

void ImageLabel::SetImage(QImage image) {
  image_ = std::move(image);
  update();
}

void ImageLabel::SetText(const QString& text) {
  text_ = text;
  update();
}

namespace {

QRect FittedRect(const QSize& image, const QRect& area) {
  if (image.isEmpty()) return {};
  const QSize fitted = image.scaled(area.size(), Qt::KeepAspectRatio);
  return QRect(area.x() + (area.width() - fitted.width()) / 2, area.y() + (area.height() - fitted.height()) / 2,
               fitted.width(), fitted.height());
}

}  // namespace

QRect ImageLabel::ImageRect() const { return FittedRect(image_.size(), rect()); }

void ImageLabel::paintEvent(QPaintEvent*) {
  QPainter painter(this);
  painter.fillRect(rect(), palette().window());
  if (image_.isNull()) {
    painter.drawText(rect(), Qt::AlignCenter | Qt::TextWordWrap, text_);
    return;
  }
  painter.setRenderHint(QPainter::SmoothPixmapTransform);
  painter.drawImage(ImageRect(), image_);
}

}  // namespace vx::gui
