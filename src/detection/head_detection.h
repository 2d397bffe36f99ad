// Head detection: which end of the animal's elongated blob is its head.
//
// Three kinds of evidence vote, each with a weight: the shape profile along the body (a thin
// tail at one end, the widest part towards the rear), the amount of body at each end (the rear
// is fuller), and the recent movement (the head leads the motion; a still animal keeps its
// head where it was). Two counters keep the answer stable: an agreement counter lets a
// confident movement history decide ambiguous frames, and an override counter lets the
// movement win after 10 frames of steady contradiction (an animal running backwards relative
// to its shape, i.e. a shape misread).
//
// Coordinates: the mask and the contour share one image (the "mask coordinates"); the memory
// is kept in frame coordinates, so each call says where the mask's origin lies in the frame.
#pragma once

#include <opencv2/core/mat.hpp>

#include "detection/blob_shape.h"

namespace vx {

// The head-tracking memory of a video source, reset with its tracking memory.
struct HeadMemory {
  cv::Point lastHead{-1, -1};    // frame coordinates; -1 = none
  cv::Point lastTail{-1, -1};
  cv::Point lastCentre{-1, -1};  // body centre at the last head decision
  int agreement = 0;             // 0..10: consecutive decisions where shape and movement agreed
  int override = 0;              // 0..10: consecutive moving frames where movement contradicted

  void Reset() { *this = HeadMemory(); }
};

struct HeadCall {
  cv::Point maskOrigin{0, 0};  // the mask's top-left corner in frame coordinates
  bool touchesBorder = false;  // the blob touches the border of the searched area
  bool firstAttempt = true;    // first attempt: stronger shape weights, the contour's own pixels
};

// The head point in mask coordinates, or (-1, -1) when the evidence does not decide. mask is
// 8-bit (non-zero = animal); contour and centre are in mask coordinates. Updates memory when a
// head is decided.
cv::Point DetectHead(HeadMemory& memory, const cv::Mat& mask, const Contour& contour,
                     cv::Point centre, const HeadCall& call);

// The part of mask inside a copy of the oriented box whose short side is doubled and whose
// centre is moved along the long axis by fraction × the long side towards the start end
// (towardsStart) or the far end. The start end is the end at -L/2 along the box's long axis:
// its width direction (angle) when width ≥ height, else the height direction.
cv::Mat BodyEnd(const cv::Mat& mask, const cv::RotatedRect& box, double fraction,
                bool towardsStart);

// Centre of mass of the non-zero pixels (rounded to the nearest pixel), or (-1, -1) when none.
cv::Point EndPoint(const cv::Mat& endMask);

// The fraction passed to BodyEnd for the end regions: each covers the outer 30% of the body.
inline constexpr double kEndRegionFraction = 0.7;

}  // namespace vx
