#include "detection/blob_shape.h"

#include <opencv2/imgproc.hpp>

#include <algorithm>
#include <climits>
#include <cmath>

#include "detection/foreground_mask.h"

namespace vx {

namespace {

constexpr double kPi = 3.14159265358979323846;

bool IsFinite(const cv::RotatedRect& box) {
  return std::isfinite(box.center.x) && std::isfinite(box.center.y) &&
         std::isfinite(box.size.width) && std::isfinite(box.size.height) &&
         std::isfinite(box.angle);
}

cv::RotatedRect EllipseOf(const Contour& contour, bool& ok) {
  ok = false;
  try {
    const cv::RotatedRect ellipse = cv::fitEllipse(contour);
    ok = IsFinite(ellipse) && ellipse.size.width > 0 && ellipse.size.height > 0;
    return ellipse;
  } catch (const cv::Exception&) {
    return {};
  }
}

}  // namespace

cv::RotatedRect FitOrientedBox(const Contour& contour) {
  if (contour.empty()) return {};
  bool fitted = false;
  const cv::RotatedRect ellipse = contour.size() < 5 ? cv::RotatedRect() : EllipseOf(contour, fitted);
  if (!fitted) return cv::minAreaRect(contour);

  const double a = ellipse.angle * kPi / 180.0;
  const cv::Point2d u(std::cos(a), std::sin(a));
  const cv::Point2d v(-u.y, u.x);
  cv::Point2d mean(0, 0);
  for (const cv::Point& p : contour) mean += cv::Point2d(p);
  mean *= 1.0 / static_cast<double>(contour.size());
  double minU = INFINITY, maxU = -INFINITY, minV = INFINITY, maxV = -INFINITY;
  for (const cv::Point& p : contour) {
    const cv::Point2d d = cv::Point2d(p) - mean;
    const double pu = d.dot(u);
    const double pv = d.dot(v);
    minU = std::min(minU, pu);
    maxU = std::max(maxU, pu);
    minV = std::min(minV, pv);
    maxV = std::max(maxV, pv);
  }
  const double extentU = maxU - minU;
  const double extentV = maxV - minV;
  const cv::Point2d centre = mean + u * ((maxU + minU) / 2) + v * ((maxV + minV) / 2);
  const double larger = std::max(extentU, extentV);
  const double smaller = std::min(extentU, extentV);
  const double grow = larger > 40.0 ? 2.0 : 1.0;
  const bool wide = ellipse.size.width > ellipse.size.height;
  const cv::Size2f sides = wide ? cv::Size2f(larger + grow, smaller + grow)
                                : cv::Size2f(smaller + grow, larger + grow);
  return cv::RotatedRect(cv::Point2f(centre), sides, ellipse.angle);
}

bool AcceptBlob(const SizeBounds& bounds, const Contour& contour, const cv::Rect& rect) {
  return JudgeBlob(bounds, contour, rect) == BlobVerdict::kAccepted;
}

BlobVerdict JudgeBlob(const SizeBounds& bounds, const Contour& contour, const cv::Rect& rect) {
  if (contour.empty()) return BlobVerdict::kWrongShape;
  const cv::RotatedRect box = FitOrientedBox(contour);
  if (box.size.height > 5 * box.size.width || box.size.width > 5 * box.size.height) {
    return BlobVerdict::kWrongShape;
  }
  if (bounds.FilterOff()) return BlobVerdict::kAccepted;
  const double tolerance = bounds.sizeMode == kSizeCustom ? 0.0 : static_cast<double>(0.1f);
  double lower = bounds.minSize * (1.0 - tolerance);
  const cv::Rect box2 = cv::boundingRect(contour);
  const bool touches = rect.width > 0 && rect.height > 0 &&
                       (box2.x <= 0 || box2.y <= 0 || box2.x + box2.width >= rect.width ||
                        box2.y + box2.height >= rect.height);
  if (touches) lower = bounds.minSize * 0.5;
  const double upper = bounds.maxSize * (1.0 + tolerance);
  const double area = cv::contourArea(contour) * bounds.scale * bounds.scale / 100.0;
  if (area < lower) return BlobVerdict::kTooSmall;
  return area <= upper ? BlobVerdict::kAccepted : BlobVerdict::kTooLarge;
}

void TrimThinParts(Contour& contour, double scale) {
  if (contour.size() < 3) return;
  const cv::Mat kernel = MorphologyKernel(scale);
  if (kernel.empty()) return;
  const cv::Rect bounds = cv::boundingRect(contour);
  cv::Mat blob = cv::Mat::zeros(bounds.size(), CV_8U);
  cv::drawContours(blob, std::vector<Contour>{contour}, 0, cv::Scalar(255), cv::FILLED, cv::LINE_8,
                   cv::noArray(), INT_MAX, -bounds.tl());
  cv::Mat rowCounts, columnCounts;
  cv::reduce(blob / 255, rowCounts, 1, cv::REDUCE_SUM, CV_32S);
  cv::reduce(blob / 255, columnCounts, 0, cv::REDUCE_SUM, CV_32S);
  double rowMin, rowMax, columnMin, columnMax;
  cv::minMaxLoc(rowCounts, &rowMin, &rowMax);
  cv::minMaxLoc(columnCounts, &columnMin, &columnMax);
  const double thick = std::min(rowMax, columnMax);
  const double thin = std::min(rowMin, columnMin);
  if (!(thin * 5 < thick)) return;

  cv::Mat opened;
  const cv::Scalar border = cv::morphologyDefaultBorderValue();
  cv::erode(blob, opened, kernel, cv::Point(-1, -1), 1, cv::BORDER_CONSTANT, border);
  cv::dilate(opened, opened, kernel, cv::Point(-1, -1), 1, cv::BORDER_CONSTANT, border);
  std::vector<Contour> parts;
  cv::findContours(opened, parts, cv::RETR_EXTERNAL, cv::CHAIN_APPROX_SIMPLE);
  if (parts.size() != 1) return;
  if (cv::contourArea(parts[0]) < static_cast<double>(0.05f) * cv::contourArea(contour)) return;
  const cv::Rect keep = cv::boundingRect(parts[0]) + bounds.tl();
  Contour trimmed = contour;
  for (size_t i = trimmed.size(); i-- > 0;) {
    const cv::Point& p = trimmed[i];
    if (p.x < keep.x || p.y < keep.y || p.x > keep.x + keep.width || p.y > keep.y + keep.height) {
      trimmed.erase(trimmed.begin() + static_cast<std::ptrdiff_t>(i));
    }
  }
  if (trimmed.size() >= 3) contour = std::move(trimmed);
}

Contour SimplifyOutline(const Contour& contour) {
  if (contour.size() <= kMaxOutlinePoints) return contour;
  Contour result;
  int epsilon = 4;
  cv::approxPolyDP(contour, result, epsilon, true);
  if (result.size() > kMaxOutlinePoints) return result;
  while (result.size() <= kMaxOutlinePoints && epsilon > 1) {
    --epsilon;
    cv::approxPolyDP(contour, result, epsilon, true);
  }
  // The whole-step search went one step too far (or reached 1): refine by tenths between the
  // last tolerance that gave too many points and the next whole value.
  if (epsilon == 1 && result.size() <= kMaxOutlinePoints) epsilon = 0;
  double trial = epsilon + 0.1;
  cv::approxPolyDP(contour, result, trial, true);
  while (result.size() > kMaxOutlinePoints && trial < epsilon + 1) {
    trial += 0.1;
    cv::approxPolyDP(contour, result, trial, true);
  }
  return result;
}

}  // namespace vx
