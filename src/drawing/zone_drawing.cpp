#include "drawing/zone_drawing.h"

#include <opencv2/imgproc.hpp>

#include <algorithm>

#include "base/text.h"
#include "zones/calibration.h"

namespace vx {

namespace {

cv::Scalar Bgr(uint32_t colorRef) {
  return cv::Scalar(colorRef >> 16 & 0xFF, colorRef >> 8 & 0xFF, colorRef & 0xFF);
}

// Combined zones have no outline of their own: the border of their pixel region stands in.
void DrawRegionOutline(cv::Mat& image, const CDrawObj& zone, const cv::Scalar& colour) {
  const PixelRegion& region = zone.Region();
  if (region.IsEmpty()) return;
  cv::Mat mask(image.size(), CV_8UC1, cv::Scalar(0));
  region.Paint(mask, {0, 0}, 255);
  std::vector<std::vector<cv::Point>> contours;
  cv::findContours(mask, contours, cv::RETR_LIST, cv::CHAIN_APPROX_SIMPLE);
  cv::drawContours(image, contours, -1, colour, 1, cv::LINE_AA);
}

std::string RulerLabel(const ZoneSet& zones) {
  if (zones.rulerLength <= 0) return "Ruler (no length)";
  return Format("Ruler %d %s", zones.rulerLength, zones.rulerUnit == 0 ? "cm" : "mm");
}

// Where a zone's name goes: inside its top-left corner; the arena's above its top edge (its
// corner is often shared with a zone), the ruler's centred above the line.
cv::Point NameOrigin(const cv::Mat& image, const CDrawObj& zone, const std::string& name) {
  const PixelRect box = zone.GetBounds();
  int x = box.left + 4, y = box.top + 16;
  if (zone.isRuler != 0) {
    int baseline = 0;
    const cv::Size text = cv::getTextSize(name, cv::FONT_HERSHEY_SIMPLEX, 0.45, 1, &baseline);
    x = (box.left + box.right - text.width) / 2;
    y = box.top - 6;
  } else if (zone.isArena != 0 && box.top >= 18) {
    y = box.top - 5;
  }
  return {std::clamp(x, 2, std::max(2, image.cols - 40)), std::clamp(y, 12, image.rows - 4)};
}

void DrawZoneName(cv::Mat& image, const ZoneSet& zones, const CDrawObj& zone, const cv::Scalar& colour) {
  const std::string name = zone.isRuler != 0 ? RulerLabel(zones) : zone.GetName();
  DrawLabel(image, name, NameOrigin(image, zone, name), colour);
}

}  // namespace

void DrawLabel(cv::Mat& image, const std::string& text, cv::Point origin, const cv::Scalar& colour,
               double scale) {
  const int font = cv::FONT_HERSHEY_SIMPLEX;
  cv::putText(image, text, origin, font, scale, cv::Scalar(0, 0, 0), 3, cv::LINE_AA);
  cv::putText(image, text, origin, font, scale, colour, 1, cv::LINE_AA);
}

void DrawZones(cv::Mat& image, const ZoneSet& zones, const ZoneDrawing& options) {
  if (image.empty() || image.type() != CV_8UC3) return;
  for (const auto& zone : zones.Zones()) {
    if (zone->isRuler != 0 && !options.ruler) continue;
    const cv::Scalar colour = Bgr(zone->pen.color);
    if (zone->IsCombined()) {
      DrawRegionOutline(image, *zone, colour);
    } else {
      // A zone whose pen is off is still shown; the arena's outline, which bounds the whole
      // analysis, at least 2 pixels wide.
      auto copy = zone->Clone();
      copy->pen.enabled = true;
      if (zone->isArena != 0) copy->pen.widthX = std::max(copy->pen.widthX, 2);
      copy->DrawOnImage(image);
    }
    if (options.names) DrawZoneName(image, zones, *zone, colour);
  }
}

void DrawPixelGrid(cv::Mat& image, int step) {
  if (image.empty() || image.type() != CV_8UC3 || step < 10) return;
  cv::Mat lines = image.clone();
  const cv::Scalar grid(255, 255, 0);
  for (int x = step; x < image.cols; x += step) cv::line(lines, {x, 0}, {x, image.rows - 1}, grid, 1);
  for (int y = step; y < image.rows; y += step) cv::line(lines, {0, y}, {image.cols - 1, y}, grid, 1);
  cv::addWeighted(lines, 0.25, image, 0.75, 0, image);
  for (int x = step; x < image.cols; x += step) {
    cv::line(image, {x, 0}, {x, 6}, grid, 1);
    cv::line(image, {x, image.rows - 7}, {x, image.rows - 1}, grid, 1);
    if (x % (2 * step) == 0) DrawLabel(image, std::to_string(x), {x + 2, 16}, grid, 0.35);
  }
  for (int y = step; y < image.rows; y += step) {
    cv::line(image, {0, y}, {6, y}, grid, 1);
    cv::line(image, {image.cols - 7, y}, {image.cols - 1, y}, grid, 1);
    if (y % (2 * step) == 0) DrawLabel(image, std::to_string(y), {8, y + 4}, grid, 0.35);
  }
}

}  // namespace vx
