// Shape operations on one blob contour: its oriented box, the acceptance test by shape and
// size, the removal of thin appendages (a tail), and the outline kept in the trajectory.
//
// Contours are OpenCV point lists in the coordinates of the image they were found in.
#pragma once

#include <opencv2/core/types.hpp>

#include <vector>

#include "detection/detection_context.h"

namespace vx {

using Contour = std::vector<cv::Point>;

// An oriented rectangle around a contour: fewer than 5 points give the minimum-area rectangle;
// otherwise the angle of the fitted ellipse, with the centre and sides measured on the
// contour's own extent along the ellipse's axes (the larger side as width when the ellipse is
// wider than high, else as height), both sides enlarged by 1 pixel, by 2 above 40 pixels.
cv::RotatedRect FitOrientedBox(const Contour& contour);

// The acceptance test of one contour found in the region rect (contour in rect's own
// coordinates): rejected when its oriented box is more than 5 times longer than wide; then,
// unless the size filter is off, its area in cm² must lie within the bounds widened by 10%
// (exact bounds in custom mode), the lower bound halved when the blob touches the edge of
// rect (an animal partly hidden at the border).
bool AcceptBlob(const SizeBounds& bounds, const Contour& contour, const cv::Rect& rect);

// The same test, saying which rule refused the contour: its shape first, then its size.
enum class BlobVerdict { kAccepted, kWrongShape, kTooSmall, kTooLarge };
BlobVerdict JudgeBlob(const SizeBounds& bounds, const Contour& contour, const cv::Rect& rect);

// Removes thin appendages: when the blob's thinnest row or column is less than a fifth of its
// thickest, the blob is opened with the scale's cleaning kernel and every contour point outside
// the bounding box of what remains is dropped (when exactly one part remains and it keeps at
// least 5% of the area). Nothing happens without a kernel, or when fewer than 3 points would
// remain.
void TrimThinParts(Contour& contour, double scale);

// The outline stored for a frame: at most kMaxOutlinePoints points when a polygon
// simplification with a small tolerance can give them (tolerance found from 4 down to 1 in
// whole steps, then refined by tenths); a contour for which tolerance 4 still leaves more
// points is stored with that result.
inline constexpr size_t kMaxOutlinePoints = 40;
Contour SimplifyOutline(const Contour& contour);

}  // namespace vx
