// The trajectory of one test in memory: the points in which the animal was found, in frame
// order, with their analysis positions, smoothed positions and running path lengths.
//
// Lifecycle: built empty with the experiment's smoothing setting (a copy) and the test's scale;
// filled by Append, one point at a time (from a stored blob, or live during an analysis); made
// whole by Finish. Invariants once finished: every point's analysis position is its raw position
// after the minimum-displacement filter against its predecessor; every point is smoothed (except
// a lone point under Lowess, which stays at -1.0) and carries the path lengths up to it.
// SetScale re-derives everything in place. Clear returns to the empty state.
//
// Units: positions in pixels, smoothed positions and distances in mm, times in ms.
// Not thread-safe; one owner at a time.
#pragma once

#include <cstdint>
#include <string>
#include <vector>

#include "trajectory/rec_behavior.h"
#include "trajectory/smoothing_settings.h"
#include "detection/my_point.h"

namespace vx {

// The inactivity queries' memory of the last run of unchanged positions. Every recomputation
// of positions resets it.
struct InactivityCache {
  int runFirst = -1;         // first and last index of the run, -1 when none
  int runLast = -1;
  int64_t runDurationMs = 0;
  int64_t delayMs = 0;       // the inactivity delay the run was judged against

  void Reset() {
    runFirst = -1;
    runLast = -1;
    runDurationMs = 0;
  }
};

class Trajectory {
 public:
  static constexpr const char* kClearedName = "Dummy";

  explicit Trajectory(const SmoothingSettings& settings = {}, double mmPerPixel = 1.0);

  const std::vector<tMyPoint>& points() const { return points_; }
  size_t size() const { return points_.size(); }
  bool empty() const { return points_.empty(); }
  // Requires: i < size().
  const tMyPoint& operator[](size_t i) const { return points_[i]; }

  const SmoothingSettings& smoothing() const { return settings_; }
  double scale() const { return scale_; }  // mm per pixel

  // Appends a copy of point with its analysis position filtered against the previous point;
  // its smoothed position (-1.0) and path lengths (0) are left for smoothing. With smoothNow
  // and n >= 11 points after appending, point n - 11 is smoothed: it then has the ten later
  // points the widest smoothing window looks at.
  void Append(tMyPoint point, bool smoothNow);
  // Smooths every point from fromIndex (negative: 0) to the end, in order, with its path
  // lengths, and resets the inactivity cache.
  void Finish(int fromIndex);
  // Appending a whole sequence with smoothNow, then this, smooths the tail that appending left.
  void FinishAppending() { Finish(static_cast<int>(points_.size()) - 11); }

  // Room for count points, so that a long decode does not regrow the array.
  void Reserve(size_t count) { points_.reserve(count); }

  // A new scale re-filters and re-smooths every point; the same scale changes nothing.
  void SetScale(double mmPerPixel);
  // Re-runs the minimum-displacement filter over all points in order (smoothing is not redone).
  void Refilter();

  // The number of points up to and including the last smoothed one.
  int SmoothedCount() const;

  // Speed of the step from point i - 1 to point i in mm/s: along smoothed positions, or with
  // raw set and a smoothing or filter in effect, along raw positions. -1.0 when the time does
  // not increase; 0 for i <= 0 or i >= size().
  double StepSpeed(int i, bool raw = false) const;

  // Deletes every point; the name becomes "Dummy", duration and frame count 0, the cache is
  // reset. Scale, smoothing setting and behaviours stay.
  void Clear();

  std::string name = kClearedName;
  uint32_t durationMs = 0;   // the video's duration
  uint32_t frameCount = 0;   // the video's number of frames (0 when its frame times are unknown)
  RecordedBehaviors behaviors;
  InactivityCache inactivity;

 private:
  void FilterPoint(size_t i);

  std::vector<tMyPoint> points_;
  SmoothingSettings settings_;
  double scale_;
};

}  // namespace vx
