// A picture from the core (an OpenCV image, BGR or grey) shown scaled to fit, keeping its
// proportions.
#pragma once

#include <QImage>
#include <QWidget>
#include <opencv2/core/mat.hpp>

#include "frame_canvas.h"  // ToQImage

namespace vx::gui {

class ImageLabel : public QWidget {
  Q_OBJECT

 public:
  explicit ImageLabel(QWidget* parent = nullptr);
  void SetImage(QImage image);
  void SetText(const QString& text);  // shown when there is no image
  const QImage& image() const { return image_; }
  // Where the image is drawn in the widget.
  QRect ImageRect() const;
  QSize sizeHint() const override { return {640, 480}; }

 protected:
  void paintEvent(QPaintEvent* event) override;

 private:
  QImage image_;
  QString text_;
};

}  // namespace vx::gui
