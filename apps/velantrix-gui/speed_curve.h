// The speed of the animal over the test (mm/s against time), with the current frame marked;
// a click asks to go to the frame under the mouse.
#pragma once

#include <QWidget>
#include <vector>

namespace vx::gui {

class SpeedCurve : public QWidget {
  Q_OBJECT

 public:
  explicit SpeedCurve(QWidget* parent = nullptr);
  // frames[i] and speeds[i] (mm/s, negative: unknown) for each point, in frame order.
  void SetCurve(std::vector<int> frames, std::vector<double> speeds, int lastFrame);
  void SetCurrentFrame(int frame);
  QSize sizeHint() const override { return {640, 110}; }

 signals:
  void FrameClicked(int frame);

 protected:
  void paintEvent(QPaintEvent* event) override;
  void mousePressEvent(QMouseEvent* event) override;

 private:
  QRect Plot() const;
  double XOf(int frame) const;

  std::vector<int> frames_;
  std::vector<double> speeds_;
  int lastFrame_ = 0;
  int current_ = 0;
  double top_ = 1;  // the speed at the top of the plot
};

}  // namespace vx::gui
