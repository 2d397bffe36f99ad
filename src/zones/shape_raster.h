// Rasterisation of zone shapes into pixel regions.
//
// One rule for every shape, the one the platform's regions follow: shape coordinates are
// pixel corners, and a pixel belongs to the shape when its centre (x + 0.5, y + 0.5) lies
// inside. Rectangles and polygons with integer corners therefore cover exactly the pixels
// they enclose; a rectangle from (0, 0) to (10, 10) covers pixels 0 to 9.
//
// - Rounded rectangles and ellipses: a pixel whose centre lies exactly on the curve is
//   inside. The test is done in exact integer arithmetic, so regions are symmetric and do
//   not depend on floating-point rounding.
// - Polygons: even-odd rule; a centre exactly on an edge belongs to the pixel run that the
//   edge opens (left edges inside, right edges outside), so two polygons sharing an edge
//   never share a pixel.
//
// OpenCV's own ellipse and polygon filling approximate curves by integer polylines and draw
// outlines as well, which gives no exact inclusion rule; they are used where the zone tests
// call for them (body percentage, masks), not for regions.
#pragma once

#include <opencv2/core/types.hpp>

#include <vector>

#include "zones/pixel_region.h"

namespace vx {

// The pixels of the box [left, right) x [top, bottom) whose corners are cut by quarter
// ellipses of full width roundW and full height roundH (clamped to the box; 0 gives the
// plain box). With roundW = box width and roundH = box height the shape is the ellipse
// inscribed in the box.
PixelRegion RoundRectRegion(const PixelRect& box, int roundW, int roundH);
PixelRegion EllipseRegion(const PixelRect& box);
// Even-odd filled polygon through the vertices in order (closed). Fewer than three vertices
// give an empty region.
PixelRegion PolygonRegion(const std::vector<cv::Point>& vertices);
// Several closed polygons filled together with the even-odd rule.
PixelRegion PolygonsRegion(const std::vector<std::vector<cv::Point>>& polygons);

}  // namespace vx
