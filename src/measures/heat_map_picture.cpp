#include "measures/heat_map_picture.h"

#include <algorithm>

#include <opencv2/imgproc.hpp>

#include "base/text.h"
#include "drawing/zone_drawing.h"

namespace vx {

namespace {

constexpr int kBarWidth = 18;
constexpr int kLegendWidth = 110;

cv::Mat Coloured(const cv::Mat& grey, HeatPalette palette) {
  cv::Mat colour;
  cv::applyColorMap(grey, colour, palette == HeatPalette::kInferno ? cv::COLORMAP_INFERNO : cv::COLORMAP_VIRIDIS);
  colour.setTo(cv::Scalar(255, 255, 255), grey == 255);
  return colour;
}

std::string SecondsText(int ms) {
  if (ms >= 60000) return Format("%.1f min", ms / 60000.0);
  return Format("%.2f s", ms / 1000.0);
}

// The bar: 254 at the top to 0 at the bottom, labelled with the times they stand for.
void DrawScaleBar(cv::Mat& picture, int left, int maximumMs, HeatPalette palette) {
  const int top = 20, bottom = picture.rows - 20;
  if (bottom - top < 20) return;
  cv::Mat levels(bottom - top, kBarWidth, CV_8UC1);
  for (int y = 0; y < levels.rows; ++y) {
    levels.row(y).setTo(254 - y * 254 / std::max(1, levels.rows - 1));
  }
  Coloured(levels, palette).copyTo(picture(cv::Rect(left, top, kBarWidth, levels.rows)));
  cv::rectangle(picture, cv::Rect(left, top, kBarWidth, levels.rows), cv::Scalar(0, 0, 0), 1);
  const cv::Scalar black(0, 0, 0);
  cv::putText(picture, SecondsText(maximumMs), {left + kBarWidth + 4, top + 10}, cv::FONT_HERSHEY_SIMPLEX, 0.4,
              black, 1, cv::LINE_AA);
  cv::putText(picture, "0 s", {left + kBarWidth + 4, bottom}, cv::FONT_HERSHEY_SIMPLEX, 0.4, black, 1, cv::LINE_AA);
  cv::putText(picture, "per pixel", {left + kBarWidth + 4, (top + bottom) / 2}, cv::FONT_HERSHEY_SIMPLEX, 0.35,
              black, 1, cv::LINE_AA);
}

}  // namespace

cv::Mat HeatMapPicture(const ResultImage& image, const HeatCanvas& canvas, const ZoneSet* zones,
                       HeatPalette palette) {
  const cv::Size size(std::max(1, static_cast<int>(canvas.rect.Width())), std::max(1, static_cast<int>(canvas.rect.Height())));
  cv::Mat grey;
  cv::resize(image.pixels, grey, size, 0, 0, cv::INTER_LINEAR);
  // The arena's edge stays sharp: outside is white whatever the resizing mixed there.
  if (!canvas.arenaMask.empty() && canvas.arenaMask.size() == size) grey.setTo(255, canvas.arenaMask == 0);
  cv::Mat map = Coloured(grey, palette);
  if (zones != nullptr) {
    // Zones are drawn in frame coordinates: draw on a frame-sized picture and keep the canvas.
    cv::Mat frame(canvas.rect.bottom, canvas.rect.right, CV_8UC3, cv::Scalar(255, 255, 255));
    const cv::Rect area(canvas.rect.left, canvas.rect.top, size.width, size.height);
    map.copyTo(frame(area));
    DrawZones(frame, *zones, {.names = true, .ruler = false});
    map = frame(area).clone();
  }
  cv::Mat picture(std::max(map.rows, 120), map.cols + kBarWidth + kLegendWidth, CV_8UC3, cv::Scalar(255, 255, 255));
  map.copyTo(picture(cv::Rect(0, 0, map.cols, map.rows)));
  DrawScaleBar(picture, map.cols + 10, image.maximumMs, palette);
  return picture;
}

}  // namespace vx
