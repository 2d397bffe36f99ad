// Heat maps: where the animal spent its time, as a grey image of the arena.
//
// The time between a point and the next (in seconds) is spread around the point's detected
// centre by a cone-shaped spot of radius r (1 at the centre, 0 at distance r + 1); the sum over
// the points is the time grid, one cell per pixel of the canvas rectangle. The grid is turned
// into grey levels 0 (never visited) to 254 (the most visited pixel), optionally box-blurred,
// the pixels outside the arena set to 255, and the image scaled so that its smaller side is
// 200 pixels and neither side exceeds 400.
//
// The spot is added through one correlation of the grid of deposited times with the spot
// (zero outside the grid), which gives the same sums as adding a clipped spot per point, in a
// time that does not grow with the number of points.
#pragma once

#include <cstddef>
#include <map>
#include <optional>
#include <vector>

#include <opencv2/core/mat.hpp>

#include "detection/my_point.h"
#include "measures/result_image.h"
#include "zones/zone_set.h"

namespace vx {

// Shape settings of a heat map: spot <= 0 automatic (from the animal's mean outline area),
// 10..50 the divisor of the rectangle's smaller side, other values 20; blur 0 none, otherwise
// the divisor of the smaller side that gives the blur box.
struct HeatMapSettings {
  int spot = -1;
  int blur = 0;
};

// The rectangle of the image and the arena's mask in it (255 inside; empty: no arena).
struct HeatCanvas {
  PixelRect rect;
  cv::Mat arenaMask;
};

// The canvas of a test: the main arena's rectangle (turned by the adjustment angle, placed in
// a secondary arena for arenaIndex >= 0, clamped to non-negative coordinates), or the video
// frame without a main arena. The rectangle may be empty.
HeatCanvas HeatCanvasOf(const ZoneSet& zones, int arenaIndex, int angle, int videoWidth, int videoHeight);

// The displayed size of a w x h image and the factor that scales it (the smaller side 200,
// then the larger capped at 400).
cv::Size HeatImageSize(int width, int height, float* factor = nullptr);

// The spot radius for a w x h rectangle.
int SpotRadius(const HeatMapSettings& settings, const std::vector<tMyPoint>& points, int width, int height);

// The time grid (CV_32F, seconds) of points [begin, end) over the canvas rectangle. Requires:
// a non-empty rectangle.
cv::Mat AccumulateTime(const std::vector<tMyPoint>& points, size_t begin, size_t end,
                       const PixelRect& rect, int radius);

// The mean of the time grids of a group of tests. Spreading by the spot is linear, so the
// deposited times of the tests that share a spot radius are summed first and spread once:
// a hundred tests cost about one spreading. Each test's deposits are fitted to the first
// test's rectangle size (tests whose arenas were adjusted differ by a few pixels).
class TimeGridMean {
 public:
  void Add(const std::vector<tMyPoint>& points, size_t begin, size_t end, const PixelRect& rect, int radius);
  int Count() const { return count_; }
  cv::Mat Mean() const;  // empty before the first test

 private:
  std::map<int, cv::Mat> depositsByRadius_;
  cv::Size size_;
  int count_ = 0;
};

// The displayed image of a time grid: grey levels, blur, arena mask, size. maximumMs is the
// largest cell in ms.
ResultImage HeatMapImage(const cv::Mat& grid, const HeatMapSettings& settings, const HeatCanvas& canvas);

// The heat map of points [begin, end); nothing when there is no point or the canvas is empty.
std::optional<ResultImage> ComputeHeatMap(const std::vector<tMyPoint>& points, size_t begin, size_t end,
                                          const HeatCanvas& canvas, const HeatMapSettings& settings);

// The track image of points [begin, end) on the heat map's canvas rules: the path (of the
// detected centres, or of the heads) in level 0 on a background of 100, 255 outside the arena.
std::optional<ResultImage> ComputeTrackImage(const std::vector<tMyPoint>& points, size_t begin, size_t end,
                                             const HeatCanvas& canvas, bool head);

}  // namespace vx
