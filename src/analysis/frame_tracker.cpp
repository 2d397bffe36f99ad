#include "analysis/frame_tracker.h"

#include <algorithm>
#include <mutex>


namespace vx {

namespace {

// Points of a trajectory being recorded are in frame order: a frame already recorded (a
// replay) starts from its point, with the same time, and is not recorded twice.
const tMyPoint* RecordedPoint(const Trajectory& trajectory, int frame) {
  const std::vector<tMyPoint>& points = trajectory.points();
  const auto found = std::lower_bound(points.begin(), points.end(), frame,
                                      [](const tMyPoint& p, int f) { return p.frame < f; });
  return found != points.end() && found->frame == frame ? &*found : nullptr;
}

}  // namespace

FrameTracker::FrameTracker(AnalysisSource& source, FrameProgram& program)
    : source_(source), program_(program) {}

void FrameTracker::Start() {
  source_.detector.trackingMode = true;
  source_.stopRequested = false;
  source_.recordingActive = false;
  ending_ = RunEnding::kPeriodEnded;
  recorded_ = 0;
  program_.Start();
}

void FrameTracker::Finish() { source_.detector.trackingMode = false; }

const std::vector<FrameAction>& FrameTracker::Process(const cv::Mat& image, int index,
                                                      int timeMs, int programTimeMs) {
  index_ = index;
  {
    std::lock_guard<std::mutex> lock(source_.video.DisplayMutex());
    const tMyPoint* recorded = RecordedPoint(source_.display.trajectory, index);
    point_.frame = index;
    point_.time = recorded != nullptr ? recorded->time : timeMs;
    programTimeMs += point_.time - timeMs;
  }
  DetectInFrame(source_.detector, image, mask_, point_, blobs_, source_.headDetection);
  actions_ = program_.Evaluate(point_, programTimeMs);
  Act();

  std::lock_guard<std::mutex> lock(source_.video.DisplayMutex());
  DisplayState& display = source_.display;
  if (display.withImages) {
    image.copyTo(display.frame);
    mask_.copyTo(display.mask);
    display.blobs = blobs_;
  }
  display.point = point_;
  const std::vector<tMyPoint>& points = display.trajectory.points();
  if (source_.recordingActive && point_.HasAnimal() &&
      (points.empty() || points.back().frame < point_.frame)) {
    display.trajectory.Append(point_, true);
    ++recorded_;
  }
  return actions_;
}

void FrameTracker::Act() {
  AnalysisInfo& info = source_.info;
  for (const FrameAction& action : actions_) {
    if (action.kind == FrameAction::kStart) {
      if (!source_.recordingActive && info[run_info::kStartFrame] < 0) {
        info[run_info::kStartFrame] = index_;
        info[run_info::kStartTime] = point_.time;
        info[run_info::kStartAction] = action.id;
      }
      source_.recordingActive = true;
    } else if (!source_.stopRequested) {
      source_.stopRequested = true;
      ending_ = action.id < 0 ? RunEnding::kMaximumDuration : RunEnding::kStopAction;
      info[run_info::kStopAction] = action.id;
    }
  }
}

}  // namespace vx
