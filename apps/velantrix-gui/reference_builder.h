// Composing a reference image (the empty arena) from frames of the test's video, so that the
// animal is absent from every part of it: start from a whole frame, paste a quadrant of later
// frames where the animal was, then save it in the experiment's image library under a name.
#pragma once

#include <QGroupBox>

#include <functional>

#include <opencv2/core/mat.hpp>

#include "db/experiment_file.h"

class QComboBox;
class QLabel;

namespace vx::gui {

class ReferenceBuilder : public QGroupBox {
  Q_OBJECT

 public:
  // frame() gives the current BGR frame; gray() whether the method compares grey images.
  ReferenceBuilder(ExperimentFile& file, std::function<cv::Mat()> frame, std::function<bool()> gray,
                   QWidget* parent = nullptr);
  const cv::Mat& Image() const { return image_; }
  // Pastes the chosen part of the current frame (the whole frame starts again).
  bool Paste(int area);
  // Stores the image under name; the new library id, or -1 when it could not be stored.
  int SaveAs(const std::string& name);

 signals:
  void Saved(int imageId);
  void Problem(const QString& text);

 private:
  void ShowThumbnail();

  ExperimentFile& file_;
  std::function<cv::Mat()> frame_;
  std::function<bool()> gray_;
  cv::Mat image_;
  QComboBox* area_ = nullptr;
  QLabel* thumbnail_ = nullptr;
};

}  // namespace vx::gui
