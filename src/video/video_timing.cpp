#include "video/video_timing.h"

#include <algorithm>
#include <cmath>

#include "base/text.h"

namespace vx {

namespace {

// (value + 0.5) made whole by truncation: the nearest integer, halves up.
int64_t NearestWhole(double value) { return static_cast<int64_t>(std::floor(value + 0.5)); }

}  // namespace

int64_t RateTimeMs(int64_t n, double fps) {
  if (!(fps > 0.0)) return 0;
  return RoundHalfEven64(static_cast<double>(n) * 1000.0 / fps + 0.5);
}

int FrameIndexAtTime(double timeMs, double fps) {
  return static_cast<int>(NearestWhole(timeMs * fps / 1000.0));
}

double RoundRateUp(double fps) {
  const double tenths = static_cast<double>(NearestWhole(fps * 10.0)) / 10.0;
  return tenths > fps ? tenths : fps;
}

bool TimingProbe::Add(double timeMs) {
  const int index = FrameIndexAtTime(timeMs, fps_);
  if (frames_++ == 0) {
    previousTime_ = timeMs;
    previousIndex_ = index;
    stretchStart_ = timeMs;
    return true;
  }
  if (timeMs < previousTime_) return false;
  if (index > previousIndex_ + 1) {
    // A skipped frame: the regular stretch starts again here.
    counted_ = 0;
    step_ = -1;
    run_ = 0;
    stretchStart_ = timeMs;
  } else {
    ++counted_;
    const int step = static_cast<int>(NearestWhole(timeMs - previousTime_));
    if (step_ < 0) {
      step_ = step;
    } else if (step == step_) {
      ++run_;
      longestRun_ = std::max(longestRun_, run_);
    } else {
      run_ = 0;
      step_ = RoundHalfEven(timeMs - previousTime_);
    }
  }
  previousTime_ = timeMs;
  previousIndex_ = index;
  return true;
}

TimingProbe::Verdict TimingProbe::Finish(double endTimeMs) const {
  Verdict verdict;
  if (counted_ < kMinCounted) return verdict;
  verdict.seekByTime = longestRun_ >= 0.75 * counted_ ? 1 : 2;
  if (endTimeMs > stretchStart_) {
    verdict.measuredFps = counted_ * 1000.0 / (endTimeMs - stretchStart_);
    verdict.refused = verdict.measuredFps < fps_ / 2.0 || verdict.measuredFps > 2.0 * fps_;
  }
  return verdict;
}

}  // namespace vx
