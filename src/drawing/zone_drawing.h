// Drawing a protocol's zones and calibration ruler over a frame, so that a user sees where
// they lie and can pick coordinates from the picture. Used by the command line's frame and
// overlay images; the desktop application draws its video views with the same code.
//
// Units: pixels of the video image. Colours: the zones' own pen colours (0x00BBGGRR) turned
// into the image's BGR.
#pragma once

#include <opencv2/core/mat.hpp>

#include "zones/zone_set.h"

namespace vx {

struct ZoneDrawing {
  bool names = true;         // each zone's name beside its top-left corner
  bool ruler = true;         // the calibration ruler, labelled with its real length
};

// Draws every zone of zones onto image (8-bit BGR): framed shapes, polygons and lines by their
// outline, combined zones by the outline of their region, the main arena thicker.
void DrawZones(cv::Mat& image, const ZoneSet& zones, const ZoneDrawing& options = {});

// Tick marks and pixel coordinates along the four edges every step pixels, with faint grid
// lines across the image, to read positions off the picture.
void DrawPixelGrid(cv::Mat& image, int step = 50);

// A text with a dark halo so that it reads on light and dark floors alike.
void DrawLabel(cv::Mat& image, const std::string& text, cv::Point origin, const cv::Scalar& colour,
               double scale = 0.45);

}  // namespace vx
