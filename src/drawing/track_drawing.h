// Drawing a test's trajectory and the animal of one frame: the track as a polyline through the
// detected centres, the animal's outline, centre and head. Colours are BGR; coordinates pixels.
#pragma once

#include <opencv2/core/mat.hpp>

#include <vector>

#include "detection/my_point.h"

namespace vx {

struct TrackColours {
  cv::Scalar track{255, 160, 0};    // light blue
  cv::Scalar outline{0, 220, 0};    // green
  cv::Scalar centre{0, 0, 255};     // red
  cv::Scalar head{0, 230, 255};     // yellow
};

// The track through the centres of points[first, last) (indexes into points). The line is
// broken where consecutive points lie more than maxGap frames apart (the animal was not seen),
// so that no straight jump is drawn across frames without a detection.
void DrawTrack(cv::Mat& image, const std::vector<tMyPoint>& points, size_t first, size_t last,
               const TrackColours& colours = {}, int maxGap = 5);

// The animal of one point: its outline, its centre as a cross and, when found, its head as a
// filled circle joined to the centre.
void DrawAnimalMarks(cv::Mat& image, const tMyPoint& point, const TrackColours& colours = {});

}  // namespace vx
