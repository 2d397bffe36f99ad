// The video source as an analysis uses it: the file stream, the detection side (context and
// tracking memories), the run's flags and the display state that a viewer or the end of the
// run reads.
//
// Lifecycle of one analysis (analysis/analysis_run.h):
//   PrepareSource   context built from the test, trajectory emptied, information reset;
//   PrepareReference / SetReference   the reference image joins the context;
//   RunFrames       tracking mode on, frames read, detected, handed to the display state;
//   TakeTrajectory  the recorded trajectory copied out (under the display mutex).
//
// Threads: an AnalysisSource belongs to the thread that runs the analysis. The display state
// is guarded by video.DisplayMutex(): the run takes it to hand over each frame and to copy the
// trajectory out; a viewer on another thread takes it to read. The detection context is
// guarded by video.ContextMutex() (see detection/detector.h).
#pragma once

#include <opencv2/core/mat.hpp>

#include "trajectory/trajectory.h"
#include "db/analysis_info.h"
#include "detection/detector.h"
#include "video/video_source.h"

namespace vx {

// The frames of a test that an analysis covers: indexes relative to the test's first frame.
struct AnalysisPeriod {
  int first = 0;
  int last = -1;  // -1 until known (the file's last frame, or where the video really ended)
  bool Known() const { return last >= first; }
  int FrameCount() const { return Known() ? last - first + 1 : 0; }
};

// What the run shows and records. The images are handed over only when withImages is set (a
// viewer is attached); a batch keeps only the point and the trajectory.
struct DisplayState {
  bool withImages = false;
  cv::Mat frame;  // the frame last processed (BGR)
  cv::Mat mask;   // its foreground mask
  BlobList blobs;
  tMyPoint point;         // its point (animal or not)
  Trajectory trajectory;  // the points recorded so far
};

class AnalysisSource {
 public:
  explicit AnalysisSource(CaptureFactory factory = OpenCvCaptureFactory())
      : video(std::move(factory)), detector(video) {}
  AnalysisSource(const AnalysisSource&) = delete;
  AnalysisSource& operator=(const AnalysisSource&) = delete;

  VideoSource video;
  Detector detector;

  bool headDetection = false;  // the protocol asks for head points
  bool recordingActive = false;  // points with an animal are recorded
  bool stopRequested = false;    // the stage program asked the run to stop
  int currentIndex = -1;         // index and time of the frame processed last
  int currentTime = 0;
  AnalysisPeriod period;
  int framesExpected = 0;  // the period's frames before the first run (0: not yet known)
  // The run's values of the analysis information (values 1 to 10 and the stamp), with the
  // video fields of the file it read.
  AnalysisInfo info;
  // Read a frame ahead on a second thread while the current one is detected.
  bool decodeAhead = true;

  // Guarded by video.DisplayMutex().
  DisplayState display;

  // A copy of the recorded trajectory, taken under the display mutex.
  Trajectory CopyTrajectory();
};

}  // namespace vx
