// The first step of detection: a frame region becomes a binary foreground mask by the test's
// detection method, and the cleaning kernel that goes with a calibration scale.
#pragma once

#include <opencv2/core/mat.hpp>

#include "detection/detection_context.h"

namespace vx {

// Working images reused from frame to frame so that the per-frame path does not allocate:
// each is a view of a backing image kept at the largest size seen, since the searched region
// (the tracking window) changes size from one frame to the next.
class MaskBuffers {
 public:
  // Makes every working image a view of size (allocating only when a store is too small).
  void Reserve(cv::Size size);

  cv::Mat grey;
  cv::Mat hsv;
  cv::Mat difference;
  cv::Mat referenceGrey;
  cv::Mat band;

 private:
  cv::Mat greyStore_, hsvStore_, differenceStore_, referenceStore_, bandStore_;
};

// A view of size at the top-left of store, which grows (never shrinks) to hold it.
cv::Mat ViewOfStore(cv::Mat& store, cv::Size size, int type);

// The method's mask (0 or 255, CV_8U, roi's size) for roi, the frame region taken at rect
// (frame coordinates). roi is 8-bit BGR. Grey is OpenCV's RGB-to-grey formula applied to the
// BGR channels as they are; HSV hues are 0..179.
//
// False, with maskOut all 0, when the method cannot produce a usable mask: no reference image
// for methods 0, 4, 5; a reference or detection-area mask that does not cover rect; an Otsu
// threshold below 5 (nothing differs from the reference); method 6; a video-library error.
bool BuildForegroundMask(const DetectionContext& context, const cv::Mat& roi, cv::Mat& maskOut,
                         const cv::Rect& rect, MaskBuffers* buffers = nullptr);

// The elliptic cleaning kernel for a scale in mm per pixel: 7×7 up to 1.0, 5×5 up to 2.3,
// 3×3 up to 4.6, 2×2 up to 5.0, none above (an empty Mat): at that scale an animal is only a
// few pixels across and cleaning would erase it. An unknown scale (0) gets the 7×7 kernel.
cv::Mat MorphologyKernel(double scale);

// The hue and saturation band of the simplified colour method (hueLow > hueHigh: it wraps).
struct HsvBand {
  int hueLow, hueHigh, saturationLow, saturationHigh;
};
HsvBand SimplifiedColourBand(int hue, int saturation, int tolerance);

}  // namespace vx
