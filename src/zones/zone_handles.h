// Editing a zone with the mouse: the handles an editor shows on the selected zone, dragging one
// of them, moving the whole zone, and finding the zone under the pointer. The desktop editor
// and any other editor share these rules so that a zone drawn in one behaves the same in all.
//
// Handles, 0-based. Framed shapes: the four corners and the four edge middles, clockwise from
// the top-left corner (0 top-left, 1 top, 2 top-right, 3 right, 4 bottom-right, 5 bottom,
// 6 bottom-left, 7 left); a rounded rectangle adds handle 8, at the corner ellipse's centre
// next to the bottom-right corner, which sets the roundness. Lines and the ruler: their two
// ends. Polygons: one handle per vertex. Combined zones have none: their shape follows their
// components.
//
// Units: pixels of the video image. Lines and the ruler keep their ends inside the image when
// the zone's set knows the image size.
#pragma once

#include <opencv2/core/types.hpp>

#include "zones/zone_set.h"

namespace vx {

int HandleCount(const CDrawObj& zone);
// The handle's position; (0, 0) for a handle the zone does not have.
cv::Point HandlePoint(const CDrawObj& zone, int handle);
// The handle within tolerance pixels of point (the last one when several are), or -1.
int HandleAt(const CDrawObj& zone, cv::Point point, int tolerance);
// Drags handle to point. A framed shape's corner or edge follows the point (the rectangle may
// turn inside out; it is stored as dragged), the roundness handle sets the corner ellipse to
// twice its distance from the right and bottom edges. False when nothing changed.
bool MoveHandleTo(CDrawObj& zone, int handle, cv::Point point);
// Moves the whole zone by offset (a polygon's vertices follow). False for combined zones.
bool MoveZoneBy(CDrawObj& zone, cv::Point offset);

// The zone under point, for selection: among the zones whose area holds the point, or whose
// outline (lines, the ruler) passes within tolerance pixels of it, the one with the smallest
// area, so that a zone drawn inside the arena can be picked; the later one on a tie. Hidden
// behind nothing: combined zones are picked by their region too. Null when none.
CDrawObj* ZoneAt(const ZoneSet& set, cv::Point point, int tolerance);

}  // namespace vx
