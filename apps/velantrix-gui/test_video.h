// A test's video opened for a view: what the analysis would read for the test (its protocol,
// animal size, library images, recorded frame times) and the video itself, frame by frame.
// Belongs to the interface thread.
#pragma once

#include <QString>

#include <memory>

#include "analysis/analysis_job.h"
#include "video/video_source.h"

namespace vx::gui {

class TestVideo {
 public:
  // Loads test testId and opens its video. "" when open, otherwise what went wrong, for the
  // user (no such test, no video, video missing or unreadable).
  QString Open(Experiment& experiment, int testId);
  bool IsOpen() const { return source_ != nullptr && source_->IsFileOpen(); }
  const TestJob& Job() const { return job_; }
  VideoSource& Source() { return *source_; }

  int FrameCount() const;  // frames 0 .. FrameCount() - 1, from the test's first frame
  double Fps() const { return IsOpen() && source_->fps() > 0 ? source_->fps() : 25.0; }
  // Frame n (clamped to the video); an empty image when it cannot be read.
  const cv::Mat& Frame(int n);
  int CurrentFrame() const { return current_; }
  // The source was moved by someone else (a reference made from the video): read again.
  void Forget() { current_ = -1; }
  int64_t TimeMs(int n) const { return IsOpen() ? source_->FrameTimeMs(n) : 0; }

 private:
  TestJob job_;
  std::unique_ptr<VideoSource> source_;
  int current_ = -1;
  cv::Mat empty_;
};

}  // namespace vx::gui
