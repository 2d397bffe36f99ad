#include "detection/foreground_mask.h"

#include <opencv2/imgproc.hpp>

#include <algorithm>

namespace vx {

namespace {

constexpr double kMinimumOtsu = 5.0;

bool Covers(const cv::Mat& image, const cv::Rect& region) {
  return region.x >= 0 && region.y >= 0 && region.width > 0 && region.height > 0 &&
         region.x + region.width <= image.cols && region.y + region.height <= image.rows;
}

// Thresholds the difference into mask: Otsu (refused below 5) or the fixed threshold.
bool ThresholdDifference(const cv::Mat& difference, cv::Mat& mask, bool otsu, int threshold) {
  if (otsu) {
    const double level =
        cv::threshold(difference, mask, 0, 255, cv::THRESH_BINARY | cv::THRESH_OTSU);
    if (level < kMinimumOtsu) {
      mask.setTo(0);
      return false;
    }
    return true;
  }
  cv::threshold(difference, mask, threshold, 255, cv::THRESH_BINARY);
  return true;
}

// ANDs the difference with the detection-area mask taken at region; false when the mask does
// not cover it.
bool ApplyDetectionArea(const DetectionContext& context, const cv::Rect& region,
                        cv::Mat& difference) {
  if (context.detectionArea.empty()) return true;
  if (!Covers(context.detectionArea, region)) return false;
  cv::bitwise_and(difference, context.detectionArea(region), difference);
  return true;
}

// The grey form of an image: itself when it has one channel (never aliased into a buffer, so
// that a buffer never points into the reference), else converted into buffer.
const cv::Mat& GreyOf(const cv::Mat& image, cv::Mat& buffer) {
  if (image.channels() == 1) return image;
  cv::cvtColor(image, buffer, cv::COLOR_RGB2GRAY);
  return buffer;
}

bool AutomaticMask(const DetectionContext& context, const cv::Mat& roi, cv::Mat& mask,
                   const cv::Rect& rect, MaskBuffers& b) {
  if (context.reference.empty()) return false;
  const cv::Point arenaOrigin = context.arena.tl();
  const cv::Rect referenceRegion = context.backgroundFlag ? rect - arenaOrigin : rect;
  if (!Covers(context.reference, referenceRegion)) return false;
  cv::absdiff(GreyOf(roi, b.grey), GreyOf(context.reference(referenceRegion), b.referenceGrey),
              b.difference);
  if (!ApplyDetectionArea(context, rect - arenaOrigin, b.difference)) return false;
  return ThresholdDifference(b.difference, mask, true, 0);
}

bool SubtractionMask(const DetectionContext& context, const cv::Mat& roi, cv::Mat& mask,
                     const cv::Rect& rect, MaskBuffers& b) {
  if (context.reference.empty()) return false;
  const cv::Rect region = rect - context.arena.tl();
  if (!Covers(context.reference, region)) return false;
  const cv::Mat reference = context.reference(region);
  const int channel = context.colourChannel;
  if (reference.channels() == 3 && channel >= kChannelRed && channel <= kChannelBlue) {
    // BGR order: blue is channel 0, green 1, red 2.
    const int index = channel == kChannelRed ? 2 : channel == kChannelGreen ? 1 : 0;
    cv::extractChannel(roi, b.grey, index);
    cv::extractChannel(reference, b.referenceGrey, index);
    cv::absdiff(b.grey, b.referenceGrey, b.difference);
  } else {
    cv::absdiff(GreyOf(roi, b.grey), GreyOf(reference, b.referenceGrey), b.difference);
  }
  if (!ApplyDetectionArea(context, region, b.difference)) return false;
  return ThresholdDifference(b.difference, mask, context.automaticThreshold,
                             context.differenceThreshold);
}

// inRange over hues lowHue..highHue, wrapping through 0 when lowHue > highHue.
void HueRange(const cv::Mat& hsv, int lowHue, int highHue, const cv::Scalar& low,
              const cv::Scalar& high, cv::Mat& mask, cv::Mat& scratch) {
  if (lowHue <= highHue) {
    cv::inRange(hsv, cv::Scalar(lowHue, low[1], low[2]), cv::Scalar(highHue, high[1], high[2]),
                mask);
    return;
  }
  cv::inRange(hsv, cv::Scalar(lowHue, low[1], low[2]), cv::Scalar(179, high[1], high[2]), mask);
  cv::inRange(hsv, cv::Scalar(0, low[1], low[2]), cv::Scalar(highHue, high[1], high[2]), scratch);
  cv::bitwise_or(mask, scratch, mask);
}

bool BuildMask(const DetectionContext& context, const cv::Mat& roi, cv::Mat& mask,
               const cv::Rect& rect, MaskBuffers& b) {
  switch (context.method) {
    case kMethodAutomatic:
      return AutomaticMask(context, roi, mask, rect, b);
    case kMethodGrayscale:
      cv::inRange(GreyOf(roi, b.grey), cv::Scalar(context.greyLow), cv::Scalar(context.greyHigh),
                  mask);
      return true;
    case kMethodColorSimplified: {
      const HsvBand band =
          SimplifiedColourBand(context.hue, context.saturation, context.tolerance);
      cv::cvtColor(roi, b.hsv, cv::COLOR_BGR2HSV);
      HueRange(b.hsv, band.hueLow, band.hueHigh, cv::Scalar(0, band.saturationLow, 0),
               cv::Scalar(179, band.saturationHigh, 255), mask, b.band);
      return true;
    }
    case kMethodColorFull:
      cv::cvtColor(roi, b.hsv, cv::COLOR_BGR2HSV);
      HueRange(b.hsv, context.hueLow, context.hueHigh,
               cv::Scalar(0, context.saturationLow, context.valueLow),
               cv::Scalar(179, context.saturationHigh, context.valueHigh), mask, b.band);
      return true;
    case kMethodSubtraction:
    case kMethodSubtractionAdvanced:
      return SubtractionMask(context, roi, mask, rect, b);
    default:
      return false;
  }
}

}  // namespace

cv::Mat ViewOfStore(cv::Mat& store, cv::Size size, int type) {
  if (store.type() != type || store.cols < size.width || store.rows < size.height) {
    store.create(std::max(store.rows, size.height), std::max(store.cols, size.width), type);
  }
  return store(cv::Rect(0, 0, size.width, size.height));
}

void MaskBuffers::Reserve(cv::Size size) {
  grey = ViewOfStore(greyStore_, size, CV_8U);
  hsv = ViewOfStore(hsvStore_, size, CV_8UC3);
  difference = ViewOfStore(differenceStore_, size, CV_8U);
  referenceGrey = ViewOfStore(referenceStore_, size, CV_8U);
  band = ViewOfStore(bandStore_, size, CV_8U);
}

bool BuildForegroundMask(const DetectionContext& context, const cv::Mat& roi, cv::Mat& maskOut,
                         const cv::Rect& rect, MaskBuffers* buffers) {
  MaskBuffers local;
  MaskBuffers& b = buffers ? *buffers : local;
  if (buffers) b.Reserve(roi.size());
  maskOut.create(roi.size(), CV_8U);
  bool ok = false;
  try {
    ok = !roi.empty() && BuildMask(context, roi, maskOut, rect, b);
  } catch (const cv::Exception&) {
    ok = false;
  }
  if (!ok) maskOut.setTo(0);
  return ok;
}

cv::Mat MorphologyKernel(double scale) {
  static const cv::Mat k7 = cv::getStructuringElement(cv::MORPH_ELLIPSE, {7, 7});
  static const cv::Mat k5 = cv::getStructuringElement(cv::MORPH_ELLIPSE, {5, 5});
  static const cv::Mat k3 = cv::getStructuringElement(cv::MORPH_ELLIPSE, {3, 3});
  static const cv::Mat k2 = cv::getStructuringElement(cv::MORPH_ELLIPSE, {2, 2});
  if (scale <= 1.0) return k7;
  if (scale <= static_cast<double>(2.3f)) return k5;
  if (scale <= static_cast<double>(4.6f)) return k3;
  if (scale <= 5.0) return k2;
  return {};
}

HsvBand SimplifiedColourBand(int hue, int saturation, int tolerance) {
  const double t = tolerance / 50.0;
  const int hueStep = static_cast<int>(20 * t);
  const int saturationStep = static_cast<int>(50 * t);
  HsvBand band;
  band.hueLow = hue - hueStep;
  if (band.hueLow < 0) band.hueLow += 180;
  band.hueHigh = hue + hueStep;
  if (band.hueHigh >= 180) band.hueHigh -= 180;
  band.saturationLow = std::max(0, saturation - saturationStep);
  band.saturationHigh = std::min(255, saturation + saturationStep);
  return band;
}

}  // namespace vx
