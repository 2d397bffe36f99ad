#include "zones/arena_adjustment.h"

#include <algorithm>
#include <cmath>
#include <limits>

namespace vx {

int SaturateToInt(double value) {
  if (std::isnan(value)) return 0;
  const double rounded = std::round(value);
  if (rounded <= std::numeric_limits<int>::min()) return std::numeric_limits<int>::min();
  if (rounded >= std::numeric_limits<int>::max()) return std::numeric_limits<int>::max();
  return static_cast<int>(rounded);
}

cv::Point RotateAbout(cv::Point p, cv::Point centre, double angleDegrees) {
  const double a = angleDegrees * 3.1415926 / 180.0;
  const double dx = static_cast<double>(p.x) - centre.x;
  const double dy = static_cast<double>(p.y) - centre.y;
  const double c = std::cos(a);
  const double s = std::sin(a);
  // std::round rounds halves away from zero, the rule this rotation was defined with.
  return {SaturateToInt(dx * c - dy * s + centre.x), SaturateToInt(dy * c + dx * s + centre.y)};
}

std::vector<cv::Point> RotatedCorners(const PixelRect& rect, cv::Point centre, double angleDegrees) {
  std::vector<cv::Point> corners{{rect.left, rect.top}, {rect.right, rect.top},
                                 {rect.right, rect.bottom}, {rect.left, rect.bottom}};
  for (cv::Point& corner : corners) corner = RotateAbout(corner, centre, angleDegrees);
  return corners;
}

PixelRect RotatedBounds(const PixelRect& rect, cv::Point centre, double angleDegrees) {
  if (angleDegrees == 0) return rect.Normalized();
  const std::vector<cv::Point> corners = RotatedCorners(rect, centre, angleDegrees);
  PixelRect bounds{corners[0].x, corners[0].y, corners[0].x, corners[0].y};
  for (const cv::Point& c : corners) {
    bounds = {std::min(bounds.left, c.x), std::min(bounds.top, c.y), std::max(bounds.right, c.x),
              std::max(bounds.bottom, c.y)};
  }
  return bounds;
}

cv::Point ArenaAdjustment::Centre() const {
  if (adjusted.IsEmpty()) return {0, 0};
  return {ClampToInt((int64_t{adjusted.left} + adjusted.right) / 2),
          ClampToInt((int64_t{adjusted.top} + adjusted.bottom) / 2)};
}

cv::Point ArenaAdjustment::RotatePoint(cv::Point p, bool inverse) const {
  if (angle == 0) return p;
  return RotateAbout(p, Centre(), inverse ? -angle : angle);
}

cv::Point ToProtocolFrame(cv::Point p, const ArenaAdjustment* adjustment) {
  if (adjustment == nullptr || adjustment->angle == 0) return p;
  return adjustment->RotatePoint(p, true);
}

std::vector<cv::Point> ToProtocolFrame(const std::vector<cv::Point>& contour,
                                       const ArenaAdjustment* adjustment) {
  std::vector<cv::Point> moved(contour);
  if (adjustment == nullptr || adjustment->angle == 0) return moved;
  for (cv::Point& p : moved) p = adjustment->RotatePoint(p, true);
  return moved;
}

}  // namespace vx
