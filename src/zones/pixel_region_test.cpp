#include "zones/pixel_region.h"

#include <gtest/gtest.h>
#include <opencv2/imgproc.hpp>

#include <random>

namespace {

using vx::PixelRect;
using vx::PixelRegion;

// A region drawn as a mask over [0, size) x [0, size), for pixel-wise comparisons.
cv::Mat MaskOf(const PixelRegion& region, int size = 64) {
  cv::Mat mask = cv::Mat::zeros(size, size, CV_8UC1);
  region.Paint(mask, {0, 0}, 255);
  return mask;
}

// Random blobs: a few filled circles and rectangles drawn by OpenCV.
cv::Mat RandomMask(std::mt19937& random, int size = 64) {
  cv::Mat mask = cv::Mat::zeros(size, size, CV_8UC1);
  std::uniform_int_distribution<int> pos(0, size - 1), radius(2, 12);
  for (int i = 0; i < 4; ++i) {
    cv::circle(mask, {pos(random), pos(random)}, radius(random), 255, cv::FILLED);
    cv::rectangle(mask, cv::Rect(pos(random), pos(random), radius(random), radius(random)), 255,
                  cv::FILLED);
  }
  return mask;
}

TEST(PixelRegion, HugeRectangleIsClippedNotAllocated) {
  const PixelRegion region = PixelRegion::FromRect({INT32_MIN, INT32_MIN, INT32_MAX, INT32_MAX});
  EXPECT_TRUE(region.Contains(0, 0));
  EXPECT_TRUE(region.Contains(vx::kRegionLimit - 1, -vx::kRegionLimit));
  EXPECT_FALSE(region.Contains(0, vx::kRegionLimit));
  EXPECT_EQ(region.PixelCount(), int64_t{2 * vx::kRegionLimit} * 2 * vx::kRegionLimit);
}

TEST(PixelRegion, MaskRoundTripMatchesOpenCvPixelCount) {
  std::mt19937 random(7);
  for (int trial = 0; trial < 20; ++trial) {
    const cv::Mat mask = RandomMask(random);
    const PixelRegion region = PixelRegion::FromMask(mask, {0, 0});
    EXPECT_EQ(region.PixelCount(), cv::countNonZero(mask));
    EXPECT_EQ(cv::countNonZero(MaskOf(region) != mask), 0);
    for (int y = 0; y < mask.rows; ++y) {
      for (int x = 0; x < mask.cols; ++x) {
        ASSERT_EQ(region.Contains(x, y), mask.at<uint8_t>(y, x) != 0) << x << "," << y;
      }
    }
  }
}

TEST(PixelRegion, BooleanOperationsMatchPixelwiseMaskOperations) {
  std::mt19937 random(11);
  for (int trial = 0; trial < 20; ++trial) {
    const cv::Mat a = RandomMask(random), b = RandomMask(random);
    const PixelRegion ra = PixelRegion::FromMask(a), rb = PixelRegion::FromMask(b);
    cv::Mat expected;
    cv::bitwise_or(a, b, expected);
    EXPECT_EQ(cv::countNonZero(MaskOf(ra.Union(rb)) != expected), 0);
    cv::bitwise_and(a, b, expected);
    EXPECT_EQ(cv::countNonZero(MaskOf(ra.Intersect(rb)) != expected), 0);
    EXPECT_EQ(ra.Intersects(rb), cv::countNonZero(expected) > 0);
    cv::bitwise_and(a, ~b, expected);
    EXPECT_EQ(cv::countNonZero(MaskOf(ra.Subtract(rb)) != expected), 0);
  }
}

TEST(PixelRegion, RectanglesTileTheRegionInBands) {
  std::mt19937 random(3);
  for (int trial = 0; trial < 10; ++trial) {
    const cv::Mat mask = RandomMask(random);
    const PixelRegion region = PixelRegion::FromMask(mask);
    cv::Mat painted = cv::Mat::zeros(mask.size(), CV_32SC1);
    int64_t area = 0;
    for (const PixelRect& r : region.Rectangles()) {
      ASSERT_FALSE(r.IsEmpty());
      painted(cv::Rect(r.left, r.top, static_cast<int>(r.Width()), static_cast<int>(r.Height()))) += 1;
      area += r.Width() * r.Height();
    }
    EXPECT_EQ(area, region.PixelCount());  // no overlap ...
    cv::Mat covered = painted > 0;
    EXPECT_EQ(cv::countNonZero(covered != mask), 0);  // ... and exact cover
  }
  // A plain rectangle is one band of one rectangle.
  EXPECT_EQ(PixelRegion::FromRect({1, 2, 30, 40}).Rectangles().size(), 1u);
}

TEST(PixelRegion, GrowthMatchesSquareDilation) {
  std::mt19937 random(5);
  for (int margin : {1, 3}) {
    const cv::Mat mask = RandomMask(random, 48);
    cv::Mat padded = cv::Mat::zeros(64, 64, CV_8UC1);
    mask.copyTo(padded(cv::Rect(8, 8, 48, 48)));
    cv::Mat expected;
    cv::dilate(padded, expected, cv::getStructuringElement(cv::MORPH_RECT, {2 * margin + 1, 2 * margin + 1}));
    const PixelRegion grown = PixelRegion::FromMask(mask, {8, 8}).Grown(margin);
    EXPECT_EQ(cv::countNonZero(MaskOf(grown) != expected), 0) << margin;
  }
}

TEST(PixelRegion, BuilderMergesOverlappingSpansAndSkipsGaps) {
  PixelRegion::Builder builder;
  builder.AddSpan(2, 5, 8);
  builder.AddSpan(2, 0, 6);
  builder.AddSpan(2, 10, 10);  // empty: ignored
  builder.AddSpan(5, 1, 2);
  const PixelRegion region = builder.Build();
  EXPECT_EQ(region.PixelCount(), 8 + 1);
  EXPECT_FALSE(region.Contains(3, 3));
  EXPECT_TRUE(region.Contains(1, 5));
  EXPECT_EQ(region.BoundingBox(), (PixelRect{0, 2, 8, 6}));
  EXPECT_EQ(region.Rectangles().size(), 2u);
}

TEST(PixelRegion, PaintClipsToTheMask) {
  cv::Mat mask = cv::Mat::zeros(10, 10, CV_8UC1);
  PixelRegion::FromRect({-5, -5, 3, 3}).Paint(mask, {0, 0}, 7);
  EXPECT_EQ(cv::countNonZero(mask), 9);
  PixelRegion::FromRect({100, 100, 103, 103}).Paint(mask, {95, 95}, 9);
  EXPECT_EQ(cv::countNonZero(mask == 9), 9);
}

}  // namespace
