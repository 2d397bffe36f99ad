// Trajectories with known geometry and timing for the tests of measures: points placed by
// hand (frame, time, centre, optional head and outline), turned into a finished Trajectory
// without smoothing or filter unless asked, so that path lengths are plain sums of segment
// lengths times the scale.
//
// Header-only: usable by the tests of every module that links the analysis layer.
#pragma once

#include <cmath>
#include <vector>

#include "trajectory/trajectory.h"

namespace vx::testing {

// A point at frame with its time and centre; no head, a 5-pixel square outline and box around
// the centre.
inline tMyPoint PointAt(int frame, int timeMs, int x, int y) {
  tMyPoint p;
  p.frame = frame;
  p.time = timeMs;
  p.rawX = x;
  p.rawY = y;
  p.boxLeft = x - 5;
  p.boxTop = y - 5;
  p.boxRight = x + 5;
  p.boxBottom = y + 5;
  p.contour = {{x - 5, y - 5}, {x + 5, y - 5}, {x + 5, y + 5}, {x - 5, y + 5}};
  return p;
}

// Frames 0, 1, 2, ... every periodMs from startMs, along the given centres.
inline std::vector<tMyPoint> EvenPath(const std::vector<cv::Point>& centres, int periodMs,
                                      int startMs = 0, int firstFrame = 0) {
  std::vector<tMyPoint> points;
  for (size_t i = 0; i < centres.size(); ++i) {
    const int k = static_cast<int>(i);
    points.push_back(PointAt(firstFrame + k, startMs + k * periodMs, centres[i].x, centres[i].y));
  }
  return points;
}

// A straight run from a to b in count points (count >= 2), rounded to whole pixels.
inline std::vector<cv::Point> Line(cv::Point a, cv::Point b, int count) {
  std::vector<cv::Point> centres;
  for (int k = 0; k < count; ++k) {
    const double f = count > 1 ? static_cast<double>(k) / (count - 1) : 0.0;
    centres.emplace_back(static_cast<int>(std::lround(a.x + (b.x - a.x) * f)),
                         static_cast<int>(std::lround(a.y + (b.y - a.y) * f)));
  }
  return centres;
}

// A finished trajectory of those points: no smoothing and no filter unless settings say
// otherwise, scale mm per pixel. The video's duration and frame count are left at 0 unless
// given.
inline Trajectory MakeTrajectory(const std::vector<tMyPoint>& points, double scale = 1.0,
                                 SmoothingSettings settings = {kNoSmoothing, 0, kThresholdPixels}) {
  Trajectory trajectory(settings, scale);
  for (const tMyPoint& p : points) trajectory.Append(p, false);
  trajectory.Finish(0);
  return trajectory;
}

// Sum of the segment lengths between consecutive centres, times the scale.
inline double PathLength(const std::vector<tMyPoint>& points, double scale = 1.0) {
  double length = 0;
  for (size_t i = 1; i < points.size(); ++i) {
    length += std::hypot(points[i].rawX - points[i - 1].rawX, points[i].rawY - points[i - 1].rawY);
  }
  return length * scale;
}

}  // namespace vx::testing
