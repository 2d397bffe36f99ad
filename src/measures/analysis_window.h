// The analysed period of a test: which part of its video the analysis covered.
//
// A test analysed from a chosen frame records that frame and the start and end times of the
// period; a test analysed over its whole video records no start frame. Measures use the
// window twice: the per-test duration is the window's length when there is one, and report
// computations ignore points before the start frame and measure their times from the start
// time.
#pragma once

#include <cstdint>
#include <vector>

#include "db/analysis_info.h"
#include "detection/my_point.h"

namespace vx {

struct AnalysisWindow {
  int startFrame = -1;   // first analysed frame; -1 when the whole video was analysed
  int64_t startMs = 0;   // time of the first analysed frame, ms from the start of the video
  int64_t endMs = 0;     // time at which the analysis ended, ms from the start of the video

  bool HasStartFrame() const { return startFrame >= 0; }
  // A start frame and an end after the start: the per-test duration is then the window's.
  bool HasDuration() const { return HasStartFrame() && endMs > startMs; }
};

// The window an analysis recorded in the test's analysis information: the run keeps the start
// frame in value 1, the start time in value 2 and the end time in value 3 (their defaults -1,
// 0 and 0 read as "the whole video").
AnalysisWindow AnalysisWindowFromInfo(const AnalysisInfo& info);
// Writes the window into those three values.
void StoreAnalysisWindow(const AnalysisWindow& window, AnalysisInfo& info);

// The index of the first point that takes part in report computations: the first point whose
// frame is at least the start frame (0 without a start frame; points.size() when none is).
size_t FirstPointInWindow(const std::vector<tMyPoint>& points, const AnalysisWindow& window);

// The time, in ms from the start of the video, from which report times are measured: the
// window's start time when it has a start frame, else the time of the first point taking
// part (0 when there is none).
int64_t ReportTimeOrigin(const std::vector<tMyPoint>& points, const AnalysisWindow& window);

}  // namespace vx
