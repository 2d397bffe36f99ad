// Tuning the detection settings from a click on the animal in the video picture.
//
// While a detection view is open, a click on the animal sets the grey band (method 1), the hue
// and saturation (method 2) or the colour ranges (method 3) from the clicked pixel of the
// current frame; the caller then applies the settings and re-detects the frame.
#pragma once

#include <opencv2/core/mat.hpp>

#include "detection/detection_settings.h"

namespace vx {

// frame: the current 8-bit BGR frame; click: the clicked pixel (frame coordinates); arena:
// bounding rectangle of the arena (empty: the whole frame).
//  - Method 1: a band of ±10 around the mean grey of the 5 × 5 pixels around the click (moved
//    to 0..20 or 235..255 at the ends), then widened on the arena's grey image: the upper
//    bound rises, then the lower bound falls, one level at a time, as long as the band still
//    gives exactly one blob (after an opening with a 5 × 5 ellipse) that does not reach across
//    the whole arena rectangle (that is the floor). A first band that does not give one blob
//    stays as it is.
//  - Method 2: hue and saturation of the clicked pixel (the tolerance is kept).
//  - Method 3: hue ±20 (wrapping through 0), saturation ±50 clamped to 0..255; the value
//    bounds are kept.
// Returns false, with the settings untouched, for other methods or a click outside the frame.
bool TuneFromClick(DetectionSettings& settings, const cv::Mat& frame, cv::Point click,
                   const cv::Rect& arena);

}  // namespace vx
