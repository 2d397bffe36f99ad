// The whole per-test correction of a protocol's geometry: the arena drawn at `reference` on
// the protocol's image is found at `adjusted` in the test's video and turned by `angle` whole
// degrees, and movable zones lie where the test puts them (`objects`). The test's zones are the
// protocol's moved and scaled from the one rectangle onto the other (AdjustZones,
// zones/adjusted_zones.h); the zone tests receive it as the ArenaAdjustment it extends, which
// turns tested positions back by the angle.
#pragma once

#include <vector>

#include "zones/arena_adjustment.h"

namespace vx {

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

struct TestAdjustment : ArenaAdjustment {
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
};

}  // namespace vx
