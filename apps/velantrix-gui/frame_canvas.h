// A picture of the video (a frame, a reference image) that the user can zoom and pan, with
// whatever a view draws over it in image coordinates. The base of the zone editor's canvas and
// of the video pictures of the detection and scoring views.
//
// Zoom: the picture fits the widget until the wheel zooms it (about the pointer); a double
// click with the middle button, or FitToWindow(), fits it again. Pan: drag with the middle or
// the right button.
#pragma once

#include <QImage>
#include <QWidget>

#include <opencv2/core/mat.hpp>
#include <opencv2/core/types.hpp>

namespace vx::gui {

// An 8-bit grey or BGR image as a QImage (a deep copy). Empty for anything else.
QImage ToQImage(const cv::Mat& image);

class FrameCanvas : public QWidget {
  Q_OBJECT

 public:
  explicit FrameCanvas(QWidget* parent = nullptr);

  void SetPicture(const QImage& picture);
  const QImage& Picture() const { return picture_; }
  void FitToWindow();
  double Zoom() const { return scale_; }

  // Image pixel under a widget position (may lie outside the image), and back.
  cv::Point ToImage(const QPointF& widgetPos) const;
  QPointF ToWidget(const QPointF& imagePos) const;

  QSize sizeHint() const override { return {640, 480}; }

 signals:
  // A left click on the picture, in image pixels (views that do not draw use it).
  void ImageClicked(cv::Point pixel);

 protected:
  // Draws over the picture; the painter is already in image coordinates.
  virtual void PaintOverlay(QPainter& /*painter*/) {}
  void paintEvent(QPaintEvent* event) override;
  void resizeEvent(QResizeEvent* event) override;
  void wheelEvent(QWheelEvent* event) override;
  void mousePressEvent(QMouseEvent* event) override;
  void mouseMoveEvent(QMouseEvent* event) override;
  void mouseReleaseEvent(QMouseEvent* event) override;
  void mouseDoubleClickEvent(QMouseEvent* event) override;
  // How far, in image pixels, a few screen pixels reach at the current zoom (for handles).
  double ImageDistance(double screenPixels) const { return screenPixels / scale_; }

 private:
  void UpdateFit();

  QImage picture_;
  bool fit_ = true;
  double scale_ = 1.0;
  QPointF offset_;  // widget position of image pixel (0, 0)
  bool panning_ = false;
  QPointF panFrom_;
};

}  // namespace vx::gui
