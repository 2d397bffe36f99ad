// Calibration: the ruler drawn along an object of known length turns pixels into millimetres.
//
// A distance of d pixels is d * ratio mm, an area of a pixels a * ratio^2 mm^2, and m mm are
// m / ratio pixels. A ratio of 0 means "not calibrated": there is no ruler or its two ends
// coincide; callers that divide by the ratio must check for 0.
#pragma once

#include "zones/zone_set.h"

namespace vx {

// Millimetres per pixel of the set's ruler: its real length (rulerLength, centimetres turned
// into millimetres) over its length in pixels; 0 without a ruler or with a zero-length one.
double MmPerPixel(const ZoneSet& set);

// Stores the ruler's real length and unit in the set, and its extent in pixels (rulerDx,
// rulerDy) from the ruler shape. Does nothing when the set has no ruler.
void RefreshRuler(ZoneSet& set, int rulerLength, int rulerUnit);

// Confirmation of a protocol's zones page, with the ruler length the user entered: 0 when
// accepted, else the refusing message: 1092 when the ruler's ends coincide, 326 when the
// length is below 1, 1107 when the zones are inconsistent (several main arenas, or two
// zones with one id).
int ValidateZonesPage(const ZoneSet& set, int rulerLengthEntered);

}  // namespace vx
