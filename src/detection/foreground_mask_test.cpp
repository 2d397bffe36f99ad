// Each method's mask on crafted pixels, against rules re-applied by hand in the test.
#include "detection/foreground_mask.h"

#include <gtest/gtest.h>

#include <opencv2/imgproc.hpp>

namespace vx {
namespace {

DetectionContext ContextFor(int method) {
  DetectionContext context;
  context.method = method;
  return context;
}

cv::Mat MaskOf(const DetectionContext& context, const cv::Mat& roi, bool* ok = nullptr,
            cv::Rect rect = {}) {
  if (rect.empty()) rect = cv::Rect(0, 0, roi.cols, roi.rows);
  cv::Mat mask;
  const bool built = BuildForegroundMask(context, roi, mask, rect);
  if (ok) *ok = built;
  return mask;
}

// A strip of pixels built from HSV triples.
cv::Mat FromHsv(const std::vector<cv::Vec3b>& hsv) {
  cv::Mat image(1, static_cast<int>(hsv.size()), CV_8UC3);
  for (size_t i = 0; i < hsv.size(); ++i) image.at<cv::Vec3b>(0, static_cast<int>(i)) = hsv[i];
  cv::Mat bgr;
  cv::cvtColor(image, bgr, cv::COLOR_HSV2BGR);
  return bgr;
}

TEST(GreyscaleMask, UsesTheRgbFormulaOnBgrPixelsAsTheyAre) {
  // Blue 200 read as red: 0.299 × 200 = 59.8, not the 22.8 of a true BGR conversion.
  cv::Mat roi(1, 3, CV_8UC3);
  roi.at<cv::Vec3b>(0, 0) = {200, 0, 0};
  roi.at<cv::Vec3b>(0, 1) = {0, 0, 200};
  roi.at<cv::Vec3b>(0, 2) = {60, 60, 60};
  DetectionContext context = ContextFor(kMethodGrayscale);
  context.greyLow = 55;
  context.greyHigh = 65;
  bool ok = false;
  const cv::Mat mask = MaskOf(context, roi, &ok);
  EXPECT_TRUE(ok);
  EXPECT_EQ(mask.at<uint8_t>(0, 0), 255);
  EXPECT_EQ(mask.at<uint8_t>(0, 1), 0);  // 0.114 × 200 = 22.8
  EXPECT_EQ(mask.at<uint8_t>(0, 2), 255);
}

TEST(SimplifiedColourBand, WrapsAndClampsAsTheToleranceSays) {
  const struct {
    int hue, saturation, tolerance;
    int hueLow, hueHigh, saturationLow, saturationHigh;
  } cases[] = {
      {5, 127, 50, 165, 25, 77, 177},   // the hue band wraps through 0
      {90, 230, 50, 70, 110, 180, 255},  // the saturation band stops at 255
      {170, 20, 75, 140, 20, 0, 95},     // steps of 30 and 75; stops at 0
      {100, 100, 0, 100, 100, 100, 100},
  };
  for (const auto& c : cases) {
    const HsvBand band = SimplifiedColourBand(c.hue, c.saturation, c.tolerance);
    EXPECT_EQ(std::make_tuple(band.hueLow, band.hueHigh, band.saturationLow, band.saturationHigh),
              std::make_tuple(c.hueLow, c.hueHigh, c.saturationLow, c.saturationHigh))
        << c.hue << " " << c.saturation << " " << c.tolerance;
  }
}

TEST(FullColourMask, HueLowAboveHighWrapsThroughZero) {
  const cv::Mat roi = FromHsv({{175, 200, 200}, {5, 200, 200}, {90, 200, 200}, {175, 20, 200},
                               {5, 200, 20}});
  DetectionContext context = ContextFor(kMethodColorFull);
  context.hueLow = 170;
  context.hueHigh = 10;
  context.saturationLow = 100;
  context.valueLow = 100;
  const cv::Mat mask = MaskOf(context, roi);
  EXPECT_NE(mask.at<uint8_t>(0, 0), 0);
  EXPECT_NE(mask.at<uint8_t>(0, 1), 0);
  EXPECT_EQ(mask.at<uint8_t>(0, 2), 0);
  EXPECT_EQ(mask.at<uint8_t>(0, 3), 0);  // saturation too low
  EXPECT_EQ(mask.at<uint8_t>(0, 4), 0);  // value too low
  context.hueLow = 0;
  context.hueHigh = 179;
  context.saturationLow = context.valueLow = 0;
  EXPECT_EQ(cv::countNonZero(MaskOf(context, roi)), 5);
}

// A light floor with a dark square, and the floor alone as reference. The frame carries a
// little camera noise: on a perfectly clean difference Otsu's threshold is 0, which means
// "nothing differs".
struct Scene {
  cv::Mat frame;
  cv::Mat background;
};
Scene SquareScene(cv::Size size = {80, 60}, cv::Rect square = {30, 20, 12, 10}) {
  Scene scene;
  scene.background = cv::Mat(size, CV_8UC3, cv::Scalar(180, 190, 200));
  scene.frame = scene.background.clone();
  scene.frame(square).setTo(cv::Scalar(40, 40, 40));
  cv::Mat noise(size, CV_8UC3);
  cv::RNG rng(7);
  rng.fill(noise, cv::RNG::UNIFORM, 0, 7);
  scene.frame += noise;
  return scene;
}

TEST(AutomaticMask, FindsWhatDiffersFromTheBackground) {
  const Scene scene = SquareScene();
  DetectionContext context = ContextFor(kMethodAutomatic);
  context.backgroundFlag = false;
  cv::cvtColor(scene.background, context.reference, cv::COLOR_RGB2GRAY);
  bool ok = false;
  const cv::Mat mask = MaskOf(context, scene.frame, &ok);
  ASSERT_TRUE(ok);
  EXPECT_EQ(cv::countNonZero(mask), 12 * 10);
  EXPECT_NE(mask.at<uint8_t>(25, 35), 0);
}

TEST(SubtractionMask, FixedThresholdAndDetectionArea) {
  cv::Mat background(20, 20, CV_8UC3, cv::Scalar(100, 100, 100));
  cv::Mat frame = background.clone();
  frame(cv::Rect(2, 2, 4, 4)).setTo(cv::Scalar(125, 125, 125));    // 25 brighter
  frame(cv::Rect(10, 10, 4, 4)).setTo(cv::Scalar(115, 115, 115));  // 15 brighter
  frame(cv::Rect(14, 2, 4, 4)).setTo(cv::Scalar(0, 0, 0));
  DetectionContext context = ContextFor(kMethodSubtraction);
  cv::cvtColor(background, context.reference, cv::COLOR_RGB2GRAY);
  context.differenceThreshold = 20;
  EXPECT_EQ(cv::countNonZero(MaskOf(context, frame)), 32);
  context.detectionArea = cv::Mat(20, 20, CV_8U, cv::Scalar(255));
  context.detectionArea(cv::Rect(12, 0, 8, 8)).setTo(0);  // hides the black square
  EXPECT_EQ(cv::countNonZero(MaskOf(context, frame)), 16);
  context.automaticThreshold = true;
  context.detectionArea.release();
  bool ok = false;
  EXPECT_GT(cv::countNonZero(MaskOf(context, frame, &ok)), 0);
  EXPECT_TRUE(ok);
}

TEST(SubtractionMask, ColourChannelsAreTakenInBgrOrder) {
  cv::Mat background(10, 10, CV_8UC3, cv::Scalar(100, 100, 100));
  cv::Mat frame = background.clone();
  frame(cv::Rect(0, 0, 5, 10)).setTo(cv::Scalar(100, 100, 160));  // red differs (channel 2)
  DetectionContext context = ContextFor(kMethodSubtractionAdvanced);
  context.reference = background;
  context.differenceThreshold = 30;
  context.colourChannel = kChannelRed;
  EXPECT_EQ(cv::countNonZero(MaskOf(context, frame)), 50);
  context.colourChannel = kChannelBlue;
  EXPECT_EQ(cv::countNonZero(MaskOf(context, frame)), 0);
  context.colourChannel = kChannelAll;  // grey: 0.299 × 100 + 0.587 × 100 + 0.114 × 160 ≈ 107
  EXPECT_EQ(cv::countNonZero(MaskOf(context, frame)), 0);
  context.differenceThreshold = 5;
  EXPECT_EQ(cv::countNonZero(MaskOf(context, frame)), 50);
}

TEST(ReferenceMethods, WithoutAUsableReferenceFindNothing) {
  const Scene scene = SquareScene();
  bool built = true;
  EXPECT_EQ(cv::countNonZero(MaskOf(ContextFor(kMethodNone), scene.frame, &built)), 0);  // no method: black
  EXPECT_FALSE(built);
  for (int method : {kMethodAutomatic, kMethodSubtraction, kMethodSubtractionAdvanced}) {
    DetectionContext context = ContextFor(method);
    bool ok = true;
    cv::Mat mask = MaskOf(context, scene.frame, &ok);
    EXPECT_FALSE(ok) << method;
    EXPECT_EQ(mask.size(), scene.frame.size());
    EXPECT_EQ(cv::countNonZero(mask), 0);
    // A reference of another size than the frames.
    context.reference = cv::Mat(30, 30, CV_8U, cv::Scalar(0));
    context.backgroundFlag = true;
    mask = MaskOf(context, scene.frame, &ok);
    EXPECT_FALSE(ok) << method;
    EXPECT_EQ(cv::countNonZero(mask), 0);
    // A detection-area mask of the wrong size.
    context.reference = cv::Mat(scene.frame.size(), CV_8U, cv::Scalar(0));
    context.detectionArea = cv::Mat(5, 5, CV_8U, cv::Scalar(255));
    EXPECT_FALSE(BuildForegroundMask(context, scene.frame, mask,
                                     cv::Rect(0, 0, scene.frame.cols, scene.frame.rows)));
  }
}

TEST(MorphologyKernel, ShrinksWithTheScaleAndStopsAboveFive) {
  struct Case { double scale; int size; };
  // The limits 2.3 and 4.6 are single-precision values, a hair below their double forms.
  const double limit23 = static_cast<double>(2.3f);
  const double limit46 = static_cast<double>(4.6f);
  for (const Case& c : {Case{0.0, 7}, Case{0.5, 7}, Case{1.0, 7}, Case{1.01, 5}, Case{limit23, 5},
                        Case{2.3, 3}, Case{limit46, 3}, Case{4.6, 2}, Case{5.0, 2}, Case{5.01, 0}}) {
    const cv::Mat kernel = MorphologyKernel(c.scale);
    EXPECT_EQ(kernel.rows, c.size) << c.scale;
    EXPECT_EQ(kernel.cols, c.size) << c.scale;
  }
  const cv::Mat seven = MorphologyKernel(1.0);
  EXPECT_EQ(seven.at<uint8_t>(0, 0), 0);  // elliptic: the corners are out
  EXPECT_EQ(seven.at<uint8_t>(3, 3), 1);
}

}  // namespace
}  // namespace vx
