#include "detection/blob_shape.h"

#include <gtest/gtest.h>

#include <opencv2/imgproc.hpp>

#include <cmath>

namespace vx {
namespace {

constexpr double kPi = 3.14159265358979323846;

// The outer contour of a filled shape drawn by draw on a canvas.
template <typename Draw>
Contour ContourOf(cv::Size canvas, Draw draw, int approximation = cv::CHAIN_APPROX_SIMPLE) {
  cv::Mat image = cv::Mat::zeros(canvas, CV_8U);
  draw(image);
  std::vector<Contour> contours;
  cv::findContours(image, contours, cv::RETR_EXTERNAL, approximation);
  return contours.empty() ? Contour() : contours.front();
}

Contour Rectangle(cv::Rect r, int approximation = cv::CHAIN_APPROX_SIMPLE) {
  return ContourOf({200, 200}, [&](cv::Mat& m) { m(r).setTo(255); }, approximation);
}

Contour Ellipse(cv::Point centre, cv::Size axes, double angle) {
  return ContourOf({300, 300}, [&](cv::Mat& m) {
    cv::ellipse(m, centre, axes, angle, 0, 360, cv::Scalar(255), cv::FILLED);
  }, cv::CHAIN_APPROX_NONE);
}

TEST(FitOrientedBox, MeasuresTheContourAlongTheEllipseAxes) {
  // A 61 × 21 rectangle: extents 60 and 20 between pixel centres, plus 2 above 40; an 11 × 6
  // one: extents 10 and 5, plus 1.
  const struct {
    cv::Rect rect;
    double longSide, shortSide;
  } cases[] = {{{50, 80, 61, 21}, 62.0, 22.0}, {{10, 10, 11, 6}, 11.0, 6.0}};
  for (const auto& c : cases) {
    const cv::RotatedRect box = FitOrientedBox(Rectangle(c.rect, cv::CHAIN_APPROX_NONE));
    EXPECT_NEAR(std::max(box.size.width, box.size.height), c.longSide, 0.01);
    EXPECT_NEAR(std::min(box.size.width, box.size.height), c.shortSide, 0.01);
    EXPECT_NEAR(box.center.x, c.rect.x + (c.rect.width - 1) / 2.0, 0.01);
    EXPECT_NEAR(box.center.y, c.rect.y + (c.rect.height - 1) / 2.0, 0.01);
  }
}

TEST(AcceptBlob, RejectsBlobsMoreThanFiveTimesLongerThanWide) {
  const SizeBounds off{kSizeNone, -1, -1, 0};
  const cv::Rect rect(0, 0, 200, 200);
  EXPECT_TRUE(AcceptBlob(off, Rectangle({20, 50, 99, 21}), rect));    // 5:1 with the margins
  EXPECT_FALSE(AcceptBlob(off, Rectangle({20, 50, 130, 20}), rect));
  EXPECT_FALSE(AcceptBlob(off, Rectangle({50, 20, 20, 130}), rect));
  EXPECT_FALSE(AcceptBlob(off, {}, rect));
}

TEST(AcceptBlob, HalvesTheLowerBoundAtTheBorderOfTheSearchedArea) {
  // 1 mm per pixel: a 10 × 15 pixel blob is 150 mm² = 1.5 cm²; minimum 2 cm².
  const SizeBounds animal{kSizeAnimal, 2.0, 10.0, 1.0};
  const cv::Rect rect(0, 0, 200, 200);
  // The contour of a 11 × 16 pixel block has area 10 × 15.
  EXPECT_FALSE(AcceptBlob(animal, Rectangle({80, 80, 11, 16}), rect));
  EXPECT_TRUE(AcceptBlob(animal, Rectangle({0, 80, 11, 16}), rect));
  EXPECT_TRUE(AcceptBlob(animal, Rectangle({80, 184, 11, 16}), rect));
  EXPECT_FALSE(AcceptBlob(animal, Rectangle({80, 183, 11, 16}), rect));
  // The same blob in a region without a size cannot touch anything.
  EXPECT_FALSE(AcceptBlob(animal, Rectangle({0, 80, 11, 16}), cv::Rect()));
}

TEST(AcceptBlob, WidensAnimalBoundsByTenPercentButNotCustomOnes) {
  const cv::Rect rect(0, 0, 200, 200);
  const Contour blob = Rectangle({50, 50, 21, 11});  // 200 mm² = 2 cm² at 1 mm/pixel
  EXPECT_TRUE(AcceptBlob({kSizeAnimal, 2.2, 5.0, 1.0}, blob, rect));   // 2.2 × 0.9 = 1.98
  EXPECT_FALSE(AcceptBlob({kSizeCustom, 2.2, 5.0, 1.0}, blob, rect));
  EXPECT_TRUE(AcceptBlob({kSizeAnimal, 1.0, 1.85, 1.0}, blob, rect));  // 1.85 × 1.1 = 2.035
  EXPECT_FALSE(AcceptBlob({kSizeCustom, 1.0, 1.85, 1.0}, blob, rect));
  EXPECT_TRUE(AcceptBlob({kSizeCustom, 1.0, 0.5, 1.0}, blob, rect));   // maximum below minimum
  EXPECT_TRUE(AcceptBlob({kSizeAnimal, 0.0, 5.0, 1.0}, blob, rect));   // no minimum
}

TEST(TrimThinParts, CutsATailOffTheBody) {
  const Contour withTail = ContourOf({300, 200}, [](cv::Mat& m) {
    cv::ellipse(m, cv::Point(100, 100), cv::Size(30, 14), 0, 0, 360, cv::Scalar(255), cv::FILLED);
    cv::line(m, cv::Point(70, 100), cv::Point(20, 100), cv::Scalar(255), 3);
  });
  const cv::Rect before = cv::boundingRect(withTail);
  EXPECT_LE(before.x, 20);
  Contour trimmed = withTail;
  TrimThinParts(trimmed, 1.0);
  const cv::Rect after = cv::boundingRect(trimmed);
  EXPECT_GE(after.x, 65);
  EXPECT_NEAR(after.x + after.width, before.x + before.width, 1);
  EXPECT_NEAR(after.height, before.height, 1);
}

TEST(SimplifyOutline, KeepsAtMostFortyPoints) {
  const Contour circle = Ellipse({150, 150}, {80, 60}, 0);
  ASSERT_GT(circle.size(), 100u);
  const Contour outline = SimplifyOutline(circle);
  EXPECT_LE(outline.size(), kMaxOutlinePoints);
  EXPECT_GE(outline.size(), 20u);  // no coarser than needed
  const Contour small = Rectangle({10, 10, 20, 20});
  EXPECT_EQ(SimplifyOutline(small), small);
}

TEST(SimplifyOutline, AJaggedOutlineKeepsWhatToleranceFourLeaves) {
  // A star of 40 spikes 30 pixels deep: tolerance 4 cannot bring it under 40 points.
  Contour star;
  for (int i = 0; i < 80; ++i) {
    const double radius = i % 2 ? 60.0 : 90.0;
    const double a = i * kPi / 40;
    star.emplace_back(150 + static_cast<int>(radius * std::cos(a)),
                      150 + static_cast<int>(radius * std::sin(a)));
  }
  Contour expected;
  cv::approxPolyDP(star, expected, 4, true);
  ASSERT_GT(expected.size(), kMaxOutlinePoints);
  EXPECT_EQ(SimplifyOutline(star), expected);
}

}  // namespace
}  // namespace vx
