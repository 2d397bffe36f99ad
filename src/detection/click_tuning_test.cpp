#include "detection/click_tuning.h"

#include <gtest/gtest.h>

#include <opencv2/imgproc.hpp>

#include "video/synthetic_animal.h"

namespace vx {
namespace {

DetectionSettings WithMethod(int method) {
  DetectionSettings settings;
  settings.method = method;
  return settings;
}

TEST(ClickTuning, TheGreyBandWidensUntilASecondBlobWouldJoin) {
  // Grey levels: floor 205, animal 35, a darkish mat at 80 and a shadow at 150.
  cv::Mat frame = RenderAnimalFrame(LightFloorScene(), DarkAnimal(), {{200, 200}, 30});
  frame(cv::Rect(400, 100, 30, 30)).setTo(cv::Scalar::all(80));
  frame(cv::Rect(400, 300, 30, 30)).setTo(cv::Scalar::all(150));
  DetectionSettings settings = WithMethod(kMethodGrayscale);
  ASSERT_TRUE(TuneFromClick(settings, frame, {200, 200}, cv::Rect(40, 20, 560, 440)));
  EXPECT_EQ(settings.greyLow, 0);
  EXPECT_EQ(settings.greyHigh, 79);
}

TEST(ClickTuning, AFirstBandWithoutExactlyOneBlobStays) {
  cv::Mat frame(200, 200, CV_8UC3, cv::Scalar::all(200));
  frame(cv::Rect(20, 20, 30, 30)).setTo(cv::Scalar::all(100));
  frame(cv::Rect(120, 120, 30, 30)).setTo(cv::Scalar::all(104));
  DetectionSettings settings = WithMethod(kMethodGrayscale);
  ASSERT_TRUE(TuneFromClick(settings, frame, {30, 30}, {}));
  EXPECT_EQ(settings.greyLow, 90);  // two blobs in 90..110: no widening
  EXPECT_EQ(settings.greyHigh, 110);
}

TEST(ClickTuning, TheBandIsMovedInsideTheGreyScaleAtItsEnds) {
  cv::Mat frame(100, 100, CV_8UC3, cv::Scalar::all(128));
  frame(cv::Rect(20, 20, 5, 5)).setTo(cv::Scalar::all(4));
  frame(cv::Rect(70, 70, 5, 5)).setTo(cv::Scalar::all(250));
  frame(cv::Rect(40, 40, 3, 3)).setTo(cv::Scalar::all(0));
  frame(cv::Rect(50, 50, 3, 3)).setTo(cv::Scalar::all(255));
  // Each band also takes a speck that the opening removes, and the blob clicked on: one blob,
  // widened until the floor joins.
  DetectionSettings dark = WithMethod(kMethodGrayscale);
  ASSERT_TRUE(TuneFromClick(dark, frame, {22, 22}, {}));
  EXPECT_EQ(dark.greyLow, 0);
  EXPECT_EQ(dark.greyHigh, 127);
  DetectionSettings bright = WithMethod(kMethodGrayscale);
  ASSERT_TRUE(TuneFromClick(bright, frame, {72, 72}, {}));
  EXPECT_EQ(bright.greyLow, 129);
  EXPECT_EQ(bright.greyHigh, 255);
}

TEST(ClickTuning, OtherMethodsAndClicksOutsideChangeNothing) {
  const cv::Mat frame(10, 10, CV_8UC3, cv::Scalar::all(50));
  DetectionSettings subtraction = WithMethod(kMethodSubtraction);
  EXPECT_FALSE(TuneFromClick(subtraction, frame, {5, 5}, {}));
  DetectionSettings grey = WithMethod(kMethodGrayscale);
  EXPECT_FALSE(TuneFromClick(grey, frame, {10, 5}, {}));
  EXPECT_FALSE(TuneFromClick(grey, frame, {-1, 5}, {}));
  EXPECT_FALSE(TuneFromClick(grey, cv::Mat(), {0, 0}, {}));
  EXPECT_EQ(grey.greyLow, 0);
  EXPECT_EQ(grey.greyHigh, 255);
}

}  // namespace
}  // namespace vx
