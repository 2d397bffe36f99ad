// The detection view of a test: its video in a player with what detection finds drawn over
// each frame (blobs, outline, box, centre, head, and the foreground mask on demand), the
// settings panel of the chosen method, click tuning on the animal, and the detection rate over
// a sample of frames. Every change of a setting re-detects the current frame at once; Save
// writes the settings back to the test.
#pragma once

#include <QWidget>

#include <memory>

#include "base/platform.h"
#include "db/experiment.h"
#include "detection/detector.h"
#include "detection_panel.h"
#include "frame_canvas.h"
#include "player_bar.h"
#include "reference_builder.h"
#include "test_video.h"
#include "zones/zone_set.h"

class QCheckBox;
class QLabel;

namespace vx::gui {

struct DetectionRate {
  int sampled = 0;
  int found = 0;
  double Percent() const { return sampled > 0 ? 100.0 * found / sampled : 0.0; }
};

class DetectionView : public QWidget {
  Q_OBJECT

 public:
  DetectionView(Experiment& experiment, Services& services, QWidget* parent = nullptr);

  // Shows test testId: its settings as stored, its video at the first frame. False (with the
  // reason in the view) when the test or its video cannot be opened.
  bool ShowTest(int testId);

  DetectionPanel& Panel() { return *panel_; }
  FrameCanvas& Canvas() { return *canvas_; }
  PlayerBar& Player() { return *player_; }
  void ShowMask(bool on);
  // What the last detection found, and how long it took (ms).
  const tMyPoint& Found() const { return point_; }
  double DetectionMs() const { return detectionMs_; }

  // Detects the current frame again and redraws it.
  void Redetect();
  // Sets the colour or grey settings from the animal clicked at pixel, then re-detects.
  bool TuneAt(cv::Point pixel);
  // Detects samples frames spread over the video (the playback position is kept).
  DetectionRate SampleRate(int samples = 50);
  // Writes the settings into the test. False when the file could not be written.
  bool Save();

 private:
  void Apply(bool referenceChanged);
  void PrepareReferenceImage();
  void Render();
  void Status(const QString& text);

  Experiment& experiment_;
  Services& services_;
  TestVideo video_;
  std::unique_ptr<Detector> detector_;
  ZoneSet zones_;
  int testId_ = -1;
  cv::Mat reference_;  // prepared for the panel's settings
  tMyPoint point_;
  BlobList blobs_;
  cv::Mat mask_;
  double detectionMs_ = 0;
  bool showMask_ = false;
  FrameCanvas* canvas_ = nullptr;
  PlayerBar* player_ = nullptr;
  DetectionPanel* panel_ = nullptr;
  ReferenceBuilder* builder_ = nullptr;
  QCheckBox* maskBox_ = nullptr;
  QLabel* status_ = nullptr;
  QLabel* rate_ = nullptr;
};

}  // namespace vx::gui
