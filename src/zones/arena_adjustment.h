// The per-test correction of a protocol's geometry that every positional zone test receives.
//
// When the camera moved between tests, the test's arena is found at `adjusted` and turned by
// `angle` whole degrees. Zone tests bring a position found in the test's video back into the
// protocol's frame by rotating it by minus the angle about the adjusted arena's centre; the
// zones themselves are moved and scaled beforehand by the movable-zone code, which grows this
// struct with the reference rectangle, scales and per-zone positions.
#pragma once

#include <opencv2/core/types.hpp>

#include <vector>

#include "zones/pixel_rect.h"

namespace vx {

// Rotates p about centre by angleDegrees (positive turns x towards y, i.e. clockwise on the
// image) and rounds each coordinate to the nearest integer with halves away from zero.
// The angle is converted with 3.1415926 / 180, the constant the stored geometry was made with.
cv::Point RotateAbout(cv::Point p, cv::Point centre, double angleDegrees);

// The corners of rect turned by angleDegrees about centre (RotateAbout), in the order
// top-left, top-right, bottom-right, bottom-left.
std::vector<cv::Point> RotatedCorners(const PixelRect& rect, cv::Point centre, double angleDegrees);
// The bounding rectangle of those corners (normalised; rect itself for angle 0).
PixelRect RotatedBounds(const PixelRect& rect, cv::Point centre, double angleDegrees);

struct ArenaAdjustment {
  PixelRect adjusted;  // where the arena lies in the test's video
  int angle = 0;       // degrees, -45 ... 45

  // ((left + right) / 2, (top + bottom) / 2) of the adjusted rectangle in integer division;
  // (0, 0) when that rectangle is empty.
  cv::Point Centre() const;
  // The rotation by the angle about Centre(); inverse rotates by minus the angle.
  cv::Point RotatePoint(cv::Point p, bool inverse) const;
};

// What a zone test does to a position before testing it: the inverse rotation when an
// adjustment with a non-zero angle is given, otherwise nothing.
cv::Point ToProtocolFrame(cv::Point p, const ArenaAdjustment* adjustment);
// The same for every point of an outline (a copy is returned; the caller's outline is kept).
std::vector<cv::Point> ToProtocolFrame(const std::vector<cv::Point>& contour,
                                       const ArenaAdjustment* adjustment);

}  // namespace vx
