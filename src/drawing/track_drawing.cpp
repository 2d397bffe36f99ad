#include "drawing/track_drawing.h"

#include <opencv2/imgproc.hpp>

#include <algorithm>

namespace vx {

void DrawTrack(cv::Mat& image, const std::vector<tMyPoint>& points, size_t first, size_t last,
               const TrackColours& colours, int maxGap) {
  if (image.empty()) return;
  last = std::min(last, points.size());
  std::vector<cv::Point> run;
  auto flush = [&] {
    if (run.size() >= 2) cv::polylines(image, run, false, colours.track, 1, cv::LINE_AA);
    run.clear();
  };
  for (size_t i = first; i < last; ++i) {
    const tMyPoint& p = points[i];
    if (!p.HasAnimal()) continue;
    if (!run.empty() && i > first && p.frame - points[i - 1].frame > maxGap) flush();
    run.emplace_back(p.rawX, p.rawY);
  }
  flush();
}

void DrawAnimalMarks(cv::Mat& image, const tMyPoint& point, const TrackColours& colours) {
  if (image.empty() || !point.HasAnimal()) return;
  if (point.contour.size() >= 2) {
    cv::polylines(image, point.contour, true, colours.outline, 1, cv::LINE_AA);
  }
  const cv::Point centre(point.rawX, point.rawY);
  if (point.HasHead()) {
    const cv::Point head(point.headX, point.headY);
    cv::line(image, centre, head, colours.head, 1, cv::LINE_AA);
    cv::circle(image, head, 3, colours.head, cv::FILLED, cv::LINE_AA);
  }
  cv::drawMarker(image, centre, colours.centre, cv::MARKER_CROSS, 9, 2);
}

}  // namespace vx
