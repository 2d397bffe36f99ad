// What the player shows, without a window: a test's video opened through its analysis job,
// its trajectory and zones, and the annotated picture of any frame. Used by the player view
// and its benchmark.
#pragma once

#include <QImage>
#include <memory>
#include <string>

#include "analysis/analysis_job.h"
#include "measures/test_measure_data.h"
#include "video/video_source.h"

namespace vx::gui {

class TrackPlayer {
 public:
  // "" when the test's video is open; otherwise why not, in words.
  std::string Open(Experiment& experiment, int testId);
  bool IsOpen() const { return source_.IsFileOpen(); }

  int lastFrame() const;                 // the last frame index (relative to the test's first)
  double fps() const;                    // frames per second of the video (25 when unknown)
  int64_t FrameTimeMs(int frame) const;  // ms from the start of the video
  const std::vector<tMyPoint>& points() const { return data_->trajectory.points(); }
  const Trajectory& trajectory() const { return data_->trajectory; }

  // Frame n with its drawing; the next frame is read forward when n follows the last one shown
  // (playing), otherwise the video is sought. A null image past the end or on a read error.
  QImage Frame(int n);
  int current() const { return current_; }

 private:
  VideoSource source_;
  TestJob job_;
  std::unique_ptr<TestMeasureData> data_ = std::make_unique<TestMeasureData>();
  cv::Mat frame_;
  int current_ = -1;
};

}  // namespace vx::gui
