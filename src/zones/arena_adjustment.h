// The per-test correction of a protocol's geometry that every positional zone test receives.
//
// When the camera moved between tests, the arena drawn at `reference` on the protocol's image
// is found at `adjusted` in the test's video and turned by `angle` whole degrees. The test's
// zones are the protocol's moved and scaled from the one rectangle onto the other (AdjustZones,
// zones/adjusted_zones.h), movable zones first placed where the test puts them (`objects`).
// Zone tests then bring a position found in the test's video into those zones' frame by
// rotating it by minus the angle about the adjusted arena's centre.
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

// Where one movable zone lies in a test: its top-left corner moves from (x, y) to
// (adjustedX, adjustedY), both in the protocol's frame. The angle is stored and written back
// unchanged; it does not turn the zone.
struct tObjectAdjust {
  int zoneId = -1;
  int x = 0;
  int y = 0;
  int adjustedX = 0;
  int adjustedY = 0;
  int angle = 0;
  bool operator==(const tObjectAdjust&) const = default;
};

// Turns of the arena beyond this are not a camera that moved: stored angles are clamped.
constexpr int kMaxAdjustAngle = 45;

struct ArenaAdjustment {
  PixelRect adjusted;  // where the arena lies in the test's video
  int angle = 0;       // degrees, -45 ... 45
  PixelRect reference;  // the arena's rectangle in the protocol
  double scaleX = 1.0;  // adjusted width / reference width
  double scaleY = 1.0;  // adjusted height / reference height
  std::vector<tObjectAdjust> objects;

  // Moved, resized or turned: the adjusted rectangle is not empty and differs from the
  // reference, or the angle is not 0.
  bool IsAdjusted() const;
  // The rectangles alone differ (the adjusted one not empty): zones must be moved and scaled.
  bool MovesZones() const;
  // Recomputes the scales from the two rectangles, the way a stored adjustment is settled
  // after reading: both non-empty give the ratios of their sizes; otherwise the scales are
  // 1.0 and, with angle 0, both rectangles are emptied, or, with an angle, the adjusted
  // rectangle becomes the reference one.
  void Settle();
  // The position of a movable zone in this test, or null.
  const tObjectAdjust* FindObject(int zoneId) const;
  // Places a movable zone (replacing its earlier position); removes it with null.
  void SetObject(int zoneId, const tObjectAdjust* position);

  // A rectangle of the protocol's frame in the test's frame: its top-left corner moved and
  // scaled from the reference onto the adjusted rectangle (halves away from zero), its size
  // scaled (width * scale + 0.5, halves to even). Unchanged unless MovesZones().
  PixelRect MapRectToTest(const PixelRect& rect) const;
  // A point of the test's frame back in the protocol's (halves away from zero; a zero scale
  // leaves that coordinate). Unchanged unless MovesZones(). The rotation is not undone here.
  cv::Point MapPointToProtocol(cv::Point p) const;

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
