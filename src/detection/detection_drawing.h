// Drawing a frame's detection over its image: candidate blobs, the chosen animal's outline,
// box, centre and head. Used to show what detection saw (the command line's detect image, the
// demo); colours are BGR.
#pragma once

#include <opencv2/core/mat.hpp>

#include "detection/detector.h"

namespace vx {

// Draws onto image (8-bit BGR, the frame's size): rejected blobs' boxes in red, accepted ones
// in orange, the outline in green, the box in blue, the centre as a red cross, the head as a
// yellow circle.
void DrawDetection(cv::Mat& image, const tMyPoint& point, const BlobList& blobs);

}  // namespace vx
