// The work an analysis does on one frame, shared by the run over a video file and by the live
// tracking of a recording: the animal detected, the stage program evaluated on its point, the
// frame handed to the display state, and the point recorded while recording is active.
//
// A start action makes recording active (the first one also fills values 1, 2 and 5 of the
// analysis information); a stop action sets the source's stop flag and says why the tracking
// ended (value 8 the stop action's id). Points are recorded in frame order, once each.
//
// Threads: used by the one thread that runs the analysis; the display state is updated under
// the source's display mutex.
#pragma once

#include <opencv2/core/mat.hpp>

#include <vector>

#include "analysis/analysis_run.h"
#include "analysis/analysis_source.h"
#include "protocol/frame_program.h"

namespace vx {

class FrameTracker {
 public:
  // source and program must outlive the tracker.
  FrameTracker(AnalysisSource& source, FrameProgram& program);

  // Starts the program and resets the run's flags (tracking mode on): call before the first
  // frame.
  void Start();
  // Tracking mode off.
  void Finish();

  // One frame: its index and time (ms) in the video, and its time from the start of the
  // analysed period, which the stage program sees. Returns the actions the program emitted.
  const std::vector<FrameAction>& Process(const cv::Mat& image, int index, int timeMs,
                                          int programTimeMs);

  RunEnding ending() const { return ending_; }
  // Points recorded since Start.
  int Recorded() const { return recorded_; }
  // What detection found in the last frame processed.
  const tMyPoint& LastPoint() const { return point_; }
  const BlobList& LastBlobs() const { return blobs_; }

 private:
  void Act();

  AnalysisSource& source_;
  FrameProgram& program_;
  RunEnding ending_ = RunEnding::kPeriodEnded;
  int index_ = -1;
  int recorded_ = 0;
  std::vector<FrameAction> actions_;
  cv::Mat mask_;
  BlobList blobs_;
  tMyPoint point_;
};

}  // namespace vx
