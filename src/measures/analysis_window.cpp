#include "measures/analysis_window.h"

namespace vx {

namespace {
constexpr int kStartFrameValue = 1;
constexpr int kStartTimeValue = 2;
constexpr int kEndTimeValue = 3;
}  // namespace

AnalysisWindow AnalysisWindowFromInfo(const AnalysisInfo& info) {
  AnalysisWindow window;
  const int64_t frame = info[kStartFrameValue];
  window.startFrame = frame < 0 || frame > INT32_MAX ? -1 : static_cast<int>(frame);
  window.startMs = info[kStartTimeValue];
  window.endMs = info[kEndTimeValue];
  return window;
}

void StoreAnalysisWindow(const AnalysisWindow& window, AnalysisInfo& info) {
  info[kStartFrameValue] = window.startFrame;
  info[kStartTimeValue] = window.startMs;
  info[kEndTimeValue] = window.endMs;
}

size_t FirstPointInWindow(const std::vector<tMyPoint>& points, const AnalysisWindow& window) {
  if (!window.HasStartFrame()) return 0;
  size_t i = 0;
  while (i < points.size() && points[i].frame < window.startFrame) ++i;
  return i;
}

int64_t ReportTimeOrigin(const std::vector<tMyPoint>& points, const AnalysisWindow& window) {
  if (window.HasStartFrame()) return window.startMs;
  const size_t first = FirstPointInWindow(points, window);
  return first < points.size() ? points[first].time : 0;
}

}  // namespace vx
