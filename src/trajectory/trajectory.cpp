#include "trajectory/trajectory.h"

#include <cmath>
#include <utility>

#include "trajectory/smoothing.h"

namespace vx {

namespace {
// Appending point j smooths point j - kSmoothingLag: the strong Lowess window reaches ten
// points ahead.
constexpr int kSmoothingLag = 10;
}  // namespace

Trajectory::Trajectory(const SmoothingSettings& settings, double mmPerPixel)
    : settings_(settings), scale_(mmPerPixel) {}

void Trajectory::FilterPoint(size_t i) {
  ApplyDisplacementFilter(points_[i], i == 0 ? nullptr : &points_[i - 1], settings_, scale_);
}

void Trajectory::Append(tMyPoint point, bool smoothNow) {
  points_.push_back(std::move(point));
  tMyPoint& added = points_.back();
  added.smoothX = -1.0;
  added.smoothY = -1.0;
  added.cumDist = 0;
  added.cumRawDist = 0;
  FilterPoint(points_.size() - 1);
  const int n = static_cast<int>(points_.size());
  if (smoothNow && n >= kSmoothingLag + 1) {
    const size_t target = static_cast<size_t>(n - kSmoothingLag - 1);
    SmoothPoint(points_, target, settings_.method, scale_);
    UpdateCumulativeDistances(points_, target, scale_);
  }
}

void Trajectory::Finish(int fromIndex) {
  for (size_t i = fromIndex < 0 ? 0 : static_cast<size_t>(fromIndex); i < points_.size(); ++i) {
    SmoothPoint(points_, i, settings_.method, scale_);
    UpdateCumulativeDistances(points_, i, scale_);
  }
  inactivity.Reset();
}

void Trajectory::SetScale(double mmPerPixel) {
  if (mmPerPixel == scale_) return;
  scale_ = mmPerPixel;
  Refilter();
  Finish(0);
}

void Trajectory::Refilter() {
  for (size_t i = 0; i < points_.size(); ++i) FilterPoint(i);
  inactivity.Reset();
}

int Trajectory::SmoothedCount() const {
  for (size_t i = points_.size(); i > 0; --i) {
    if (!(points_[i - 1].smoothX < 0)) return static_cast<int>(i);
  }
  return 0;
}

double Trajectory::StepSpeed(int i, bool raw) const {
  if (i <= 0 || i >= static_cast<int>(points_.size())) return 0;
  const tMyPoint& a = points_[static_cast<size_t>(i - 1)];
  const tMyPoint& b = points_[static_cast<size_t>(i)];
  const int64_t elapsed = static_cast<int64_t>(b.time) - a.time;
  if (elapsed <= 0) return -1.0;
  double delta = b.cumDist - a.cumDist;
  if (raw && settings_.ChangesPositions()) {
    const double dx = static_cast<double>(static_cast<int64_t>(a.rawX) - b.rawX);
    const double dy = static_cast<double>(static_cast<int64_t>(a.rawY) - b.rawY);
    delta = std::sqrt(dx * dx + dy * dy) * scale_;
  }
  return delta * 1000.0 / static_cast<double>(elapsed);
}

void Trajectory::Clear() {
  points_.clear();
  name = kClearedName;
  durationMs = 0;
  frameCount = 0;
  inactivity.Reset();
}

}  // namespace vx
