// The controls under a video picture: play and pause at a chosen speed, step one frame back or
// forward, and a scrub bar, with the current frame's time. The view that owns the bar shows
// the frame it announces.
#pragma once

#include <QTimer>
#include <QWidget>

#include <cstdint>

class QComboBox;
class QLabel;
class QSlider;
class QToolButton;

namespace vx::gui {

class PlayerBar : public QWidget {
  Q_OBJECT

 public:
  explicit PlayerBar(QWidget* parent = nullptr);

  void SetVideo(int frameCount, double fps);
  int Frame() const;
  // Goes to frame (clamped); emits FrameChanged when it moved.
  void SetFrame(int frame);
  void SetTimeMs(int64_t ms);
  void Play(bool on);
  bool IsPlaying() const { return timer_.isActive(); }
  double Speed() const;

 signals:
  void FrameChanged(int frame);

 private:
  void Tick();
  void UpdateInterval();

  QTimer timer_;
  double fps_ = 25.0;
  QSlider* slider_ = nullptr;
  QToolButton* play_ = nullptr;
  QComboBox* speed_ = nullptr;
  QLabel* time_ = nullptr;
};

// "m:ss.mmm" for a time in ms.
QString TimeText(int64_t ms);

}  // namespace vx::gui
