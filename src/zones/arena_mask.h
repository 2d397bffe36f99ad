// Where detection looks for the animal: the arena's rectangle and the mask of its pixels.
//
// Detection searches only the main arena's bounding rectangle (turned by the test's
// adjustment angle about the arena's centre, clamped to non-negative coordinates) and masks
// out the pixels outside the arena's shape and inside every hidden zone. The mask has the
// rectangle's size (right - left by bottom - top): its pixel (0, 0) is the rectangle's
// top-left corner.
#pragma once

#include <opencv2/core/mat.hpp>

#include "zones/zone_set.h"

namespace vx {

struct DetectionArea {
  PixelRect rect;  // frame coordinates, right and bottom exclusive
  cv::Mat mask;    // 8-bit, 255 where the animal may be found; empty: no masking
};

// The detection area of a test: arenaIndex selects a secondary arena (Tests.IdArena; the
// main arena's shape is placed in its rectangle), angle is the test's adjustment angle.
// Without a main arena the whole image (0, 0, imageWidth, imageHeight) is searched, with
// only the hidden zones masked out (no mask at all when there is none). Pictures of the arena
// (heat maps) keep the hidden zones: maskHiddenZones false.
DetectionArea BuildDetectionArea(const ZoneSet& set, int arenaIndex = -1, int angle = 0,
                                 bool maskHiddenZones = true);

}  // namespace vx
