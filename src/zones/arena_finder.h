// Finding the arena's floor in a picture of the empty arena (a background image): the largest
// even region that stands out from its surroundings, away from the image's edges, reported as
// the rectangle or the ellipse that fits it. A suggestion for the user to confirm, not a zone.
//
// Method. The picture is smoothed (5×5 Gaussian) and split into light and dark by Otsu's
// threshold; in each of the two, small specks and thin links are opened away and the largest
// connected part that does not touch the image border is a candidate. A candidate then grows
// while the threshold is lowered towards the other side's mean, so that a floor lit unevenly
// is found whole; it stops before reaching the image border or spreading suddenly. The larger
// candidate is the floor. Its outer outline is filled (objects lying on the floor make holes, not a smaller
// floor), and the shape is the one its outline follows more closely, at the median: the sides
// of its bounding box (a rectangle, even with dim corners lost or sides bowed by the lens) or
// the ellipse inscribed in that box.
//
// Units: pixels of the picture; bounds are inclusive (right and bottom are the last pixels of
// the floor), as the zones' own rectangles are.
#pragma once

#include <opencv2/core/mat.hpp>

#include "zones/pixel_rect.h"
#include "zones/zone_set.h"

namespace vx {

struct ArenaSuggestion {
  bool found = false;
  int kind = 0;          // zone kind: kKindRectangle or kKindEllipse
  PixelRect bounds;      // left, top, right, bottom of the floor
  double fill = 0.0;     // share of the bounding box the floor covers
  double fromRectangle = 0.0;  // median distance of the outline from the box's sides, pixels
  double fromEllipse = 0.0;    // ... from the ellipse inscribed in the box
  double share = 0.0;    // share of the picture the floor covers
};

// A floor smaller than this share of the picture is not taken for the arena.
constexpr double kMinimumFloorShare = 0.05;

// picture: 8-bit grey or BGR. Not found when no region qualifies.
ArenaSuggestion FindArena(const cv::Mat& picture);

// Takes a suggestion the user confirmed: the main arena gets the suggested shape and bounds,
// keeping its id, name and colours (a new arena zone is added when the set has none). Returns
// the arena, or null when the suggestion found nothing.
CDrawObj* ApplySuggestedArena(ZoneSet& set, const ArenaSuggestion& suggestion);

}  // namespace vx
