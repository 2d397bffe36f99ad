#include "detection/click_tuning.h"

#include <opencv2/imgproc.hpp>

#include <algorithm>
#include <cmath>
#include <vector>

#include "detection/detector.h"

namespace vx {

namespace {

// Counts the blobs a grey band gives on the arena image, after the opening that removes specks.
class BandTester {
 public:
  explicit BandTester(const cv::Mat& grey)
      : grey_(grey), kernel_(cv::getStructuringElement(cv::MORPH_ELLIPSE, {5, 5}, {2, 2})) {}

  bool GivesOneBlob(int low, int high) {
    cv::inRange(grey_, cv::Scalar(low), cv::Scalar(high), band_);
    cv::morphologyEx(band_, band_, cv::MORPH_OPEN, kernel_, cv::Point(2, 2), 1);
    cv::findContours(band_, contours_, cv::RETR_EXTERNAL, cv::CHAIN_APPROX_SIMPLE);
    int blobs = 0;
    bool spansRegion = false;
    for (const auto& contour : contours_) {
      if (cv::contourArea(contour) <= 0) continue;
      ++blobs;
      spansRegion = cv::boundingRect(contour) == cv::Rect(0, 0, grey_.cols, grey_.rows);
    }
    // A blob from side to side of the arena is the floor joining the band, not the animal: on
    // an even floor the band would otherwise widen to the whole grey scale.
    return blobs == 1 && !spansRegion;
  }

 private:
  cv::Mat grey_;  // a view of the arena region
  cv::Mat kernel_;
  cv::Mat band_;
  std::vector<std::vector<cv::Point>> contours_;
};

void TuneGreyBand(DetectionSettings& settings, const cv::Mat& grey, cv::Point click,
                  const cv::Rect& arena) {
  const cv::Rect around = cv::Rect(click.x - 2, click.y - 2, 5, 5) & cv::Rect(0, 0, grey.cols, grey.rows);
  const int m = static_cast<int>(std::lround(cv::mean(grey(around))[0]));
  int low = m - 10;
  int high = m + 10;
  if (low < 0) {
    low = 0;
    high = 20;
  } else if (high > 255) {
    low = 235;
    high = 255;
  }
  settings.greyLow = low;
  settings.greyHigh = high;
  BandTester tester(grey(SearchRectangle(arena, grey.size())));
  if (!tester.GivesOneBlob(low, high)) return;
  while (high < 255 && tester.GivesOneBlob(low, high + 1)) ++high;
  while (low > 0 && tester.GivesOneBlob(low - 1, high)) --low;
  settings.greyLow = low;
  settings.greyHigh = high;
}

cv::Vec3b HsvAt(const cv::Mat& frame, cv::Point click) {
  cv::Mat pixel = frame(cv::Rect(click, cv::Size(1, 1))).clone();
  cv::Mat hsv;
  cv::cvtColor(pixel, hsv, cv::COLOR_BGR2HSV);
  return hsv.at<cv::Vec3b>(0, 0);
}

}  // namespace

bool TuneFromClick(DetectionSettings& settings, const cv::Mat& frame, cv::Point click,
                   const cv::Rect& arena) {
  if (frame.empty() || frame.type() != CV_8UC3 || click.x < 0 || click.y < 0 ||
      click.x >= frame.cols || click.y >= frame.rows) {
    return false;
  }
  switch (settings.method) {
    case kMethodGrayscale: {
      cv::Mat grey;
      cv::cvtColor(frame, grey, cv::COLOR_RGB2GRAY);  // as detection sees it
      TuneGreyBand(settings, grey, click, arena);
      return true;
    }
    case kMethodColorSimplified: {
      const cv::Vec3b hsv = HsvAt(frame, click);
      settings.hue = hsv[0];
      settings.saturation = hsv[1];
      return true;
    }
    case kMethodColorFull: {
      const cv::Vec3b hsv = HsvAt(frame, click);
      const int h = hsv[0];
      const int s = hsv[1];
      settings.hueLow = h - 20 < 0 ? h + 160 : h - 20;
      settings.hueHigh = h + 20 > 179 ? h - 160 : h + 20;
      settings.saturationLow = std::max(0, s - 50);
      settings.saturationHigh = std::min(255, s + 50);
      return true;
    }
    default:
      return false;
  }
}

}  // namespace vx
