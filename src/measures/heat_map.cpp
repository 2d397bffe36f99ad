#include "measures/heat_map.h"

#include <algorithm>
#include <cmath>

#include <opencv2/imgproc.hpp>

#include "zones/arena_mask.h"

namespace vx {

namespace {

// Canvases beyond this many pixels come from damaged geometry, not from a video frame.
constexpr int64_t kLargestCanvasPixels = int64_t{1} << 26;

cv::Mat Spot(int radius) {
  const int side = 2 * radius + 1;
  cv::Mat spot(side, side, CV_32F);
  for (int dy = -radius; dy <= radius; ++dy) {
    for (int dx = -radius; dx <= radius; ++dx) {
      const float d = std::sqrt(static_cast<float>(dx * dx + dy * dy)) / static_cast<float>(radius + 1);
      spot.at<float>(dy + radius, dx + radius) = 1.0f - std::min(1.0f, std::max(0.0f, d));
    }
  }
  return spot;
}

// The arena's mask resized to size (nearest pixel, so that it stays two-valued).
cv::Mat MaskOfSize(const cv::Mat& mask, cv::Size size) {
  if (mask.empty() || mask.size() == size) return mask;
  cv::Mat resized;
  cv::resize(mask, resized, size, 0, 0, cv::INTER_NEAREST);
  return resized;
}

bool Usable(const HeatCanvas& canvas) {
  return !canvas.rect.IsEmpty() &&
         SaturatedProduct(canvas.rect.Width(), canvas.rect.Height()) <= kLargestCanvasPixels;
}

}  // namespace

HeatCanvas HeatCanvasOf(const ZoneSet& zones, int arenaIndex, int angle, int videoWidth, int videoHeight) {
  HeatCanvas canvas;
  if (zones.MainArena() == nullptr) {
    canvas.rect = {0, 0, std::max(0, videoWidth), std::max(0, videoHeight)};
    return canvas;
  }
  DetectionArea area = BuildDetectionArea(zones, arenaIndex, angle, false);
  canvas.rect = area.rect;
  canvas.arenaMask = area.mask;
  return canvas;
}

cv::Size HeatImageSize(int width, int height, float* factor) {
  float w = static_cast<float>(width), h = static_cast<float>(height);
  if (w < h) {
    if (w != 200) {
      h = h * 200 / w;
      w = 200;
    }
  } else if (h != 200) {
    w = w * 200 / h;
    h = 200;
  }
  if (h > 400) {
    w = w * 400 / h;
    h = 400;
  }
  if (w > 400) {
    h = h * 400 / w;
    w = 400;
  }
  const cv::Size size(std::max(1, static_cast<int>(w)), std::max(1, static_cast<int>(h)));
  if (factor != nullptr) *factor = static_cast<float>(size.width) / static_cast<float>(std::max(1, width));
  return size;
}

int SpotRadius(const HeatMapSettings& settings, const std::vector<tMyPoint>& points, int width, int height) {
  const int smaller = std::min(width, height);
  if (settings.spot > 0) return smaller / (settings.spot >= 10 && settings.spot <= 50 ? settings.spot : 20);
  double area = 0;
  size_t outlines = 0;
  for (const tMyPoint& p : points) {
    if (p.contour.size() < 3) continue;
    area += cv::contourArea(p.contour);
    ++outlines;
  }
  if (outlines == 0) return 0;
  // An outline larger than the canvas is damage: the spot never needs to be wider than it.
  return std::min(smaller, static_cast<int>(std::sqrt(area / static_cast<double>(outlines)) * 0.5 + 0.5));
}

namespace {

cv::Mat DepositedTime(const std::vector<tMyPoint>& points, size_t begin, size_t end, const PixelRect& rect) {
  const int width = static_cast<int>(rect.Width()), height = static_cast<int>(rect.Height());
  cv::Mat deposits = cv::Mat::zeros(height, width, CV_32F);
  end = std::min(end, points.size());
  for (size_t i = begin; i + 1 < end; ++i) {
    const tMyPoint& p = points[i];
    const int64_t x = int64_t{p.rawX} - rect.left, y = int64_t{p.rawY} - rect.top;
    if (x < 0 || y < 0 || x >= width || y >= height) continue;
    const float seconds = static_cast<float>(points[i + 1].time - p.time) / 1000.0f;
    deposits.at<float>(static_cast<int>(y), static_cast<int>(x)) += seconds;
  }
  return deposits;
}

cv::Mat SpreadTime(const cv::Mat& deposits, int radius) {
  cv::Mat grid;
  cv::filter2D(deposits, grid, CV_32F, Spot(radius), cv::Point(-1, -1), 0, cv::BORDER_CONSTANT);
  // The transform the correlation may use leaves rounding noise where nothing was deposited.
  cv::threshold(grid, grid, 1e-6, 0, cv::THRESH_TOZERO);
  return grid;
}

}  // namespace

cv::Mat AccumulateTime(const std::vector<tMyPoint>& points, size_t begin, size_t end,
                       const PixelRect& rect, int radius) {
  return SpreadTime(DepositedTime(points, begin, end, rect), radius);
}

void TimeGridMean::Add(const std::vector<tMyPoint>& points, size_t begin, size_t end, const PixelRect& rect,
                       int radius) {
  cv::Mat deposits = DepositedTime(points, begin, end, rect);
  if (count_ == 0) size_ = deposits.size();
  if (deposits.size() != size_) cv::resize(deposits, deposits, size_, 0, 0, cv::INTER_AREA);
  cv::Mat& sum = depositsByRadius_[radius];
  if (sum.empty()) {
    sum = deposits;
  } else {
    sum += deposits;
  }
  ++count_;
}

cv::Mat TimeGridMean::Mean() const {
  if (count_ == 0) return {};
  cv::Mat total = cv::Mat::zeros(size_, CV_32F);
  for (const auto& [radius, deposits] : depositsByRadius_) total += SpreadTime(deposits, radius);
  return total / static_cast<double>(count_);
}

ResultImage HeatMapImage(const cv::Mat& grid, const HeatMapSettings& settings, const HeatCanvas& canvas) {
  double largest = 0;
  cv::minMaxLoc(grid, nullptr, &largest);
  ResultImage image;
  image.maximumMs = static_cast<int>(std::floor(largest * 1000 + 0.5));
  const float m = largest > 0 ? static_cast<float>(largest) : 1.0f;
  cv::Mat grey(grid.size(), CV_8UC1);
  for (int y = 0; y < grid.rows; ++y) {
    const float* in = grid.ptr<float>(y);
    uint8_t* out = grey.ptr<uint8_t>(y);
    for (int x = 0; x < grid.cols; ++x) {
      out[x] = static_cast<uint8_t>(std::floor(std::min(in[x], m) / m * 254.0f + 0.5f));
    }
  }
  if (settings.blur > 0) {
    const int box = std::min(grid.cols, grid.rows) / settings.blur;
    if (box > 1) cv::blur(grey, grey, cv::Size(box, box));
  }
  if (!canvas.arenaMask.empty()) grey.setTo(255, MaskOfSize(canvas.arenaMask, grey.size()) == 0);
  const cv::Size size = HeatImageSize(grey.cols, grey.rows);
  if (size != grey.size()) cv::resize(grey, grey, size);
  image.pixels = grey;
  image.width = grey.cols;
  image.height = grey.rows;
  return image;
}

std::optional<ResultImage> ComputeHeatMap(const std::vector<tMyPoint>& points, size_t begin, size_t end,
                                          const HeatCanvas& canvas, const HeatMapSettings& settings) {
  if (std::min(end, points.size()) <= begin || !Usable(canvas)) return std::nullopt;
  const int width = static_cast<int>(canvas.rect.Width()), height = static_cast<int>(canvas.rect.Height());
  const int radius = SpotRadius(settings, points, width, height);
  return HeatMapImage(AccumulateTime(points, begin, end, canvas.rect, radius), settings, canvas);
}

std::optional<ResultImage> ComputeTrackImage(const std::vector<tMyPoint>& points, size_t begin, size_t end,
                                             const HeatCanvas& canvas, bool head) {
  end = std::min(end, points.size());
  if (end <= begin || !Usable(canvas)) return std::nullopt;
  float f = 1;
  const cv::Size size = HeatImageSize(static_cast<int>(canvas.rect.Width()),
                                      static_cast<int>(canvas.rect.Height()), &f);
  cv::Mat track(size, CV_8UC1, cv::Scalar(kTrackBackground));
  cv::Point previous(-1, -1);
  for (size_t i = begin; i < end; ++i) {
    const tMyPoint& p = points[i];
    const bool found = head ? p.HasHead() : p.HasAnimal();
    const int64_t x = int64_t{head ? p.headX : p.rawX} - canvas.rect.left;
    const int64_t y = int64_t{head ? p.headY : p.rawY} - canvas.rect.top;
    cv::Point here(-1, -1);
    if (found && x >= 0 && y >= 0) {
      here = {static_cast<int>(static_cast<float>(x) * f + 0.5f), static_cast<int>(static_cast<float>(y) * f + 0.5f)};
    }
    if (here.x >= 0 && previous.x >= 0) cv::line(track, previous, here, cv::Scalar(kTrackLevel), 2, cv::LINE_8);
    previous = here;
  }
  if (!canvas.arenaMask.empty()) track.setTo(kTrackOutside, MaskOfSize(canvas.arenaMask, size) == 0);
  ResultImage image;
  image.pixels = track;
  image.width = size.width;
  image.height = size.height;
  return image;
}

}  // namespace vx
