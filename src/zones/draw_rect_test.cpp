#include "zones/draw_rect.h"

#include <gtest/gtest.h>
#include <opencv2/imgproc.hpp>

#include "support/data_table.h"
#include "zones/draw_poly.h"
#include "zones/zone_set.h"

namespace {

using vx::CDrawRect;
using vx::PixelRect;

TEST(DrawRect, RectangleIncludesBothEdgesWhateverItsDirection) {
  for (const PixelRect& r : {PixelRect{10, 10, 20, 20}, PixelRect{20, 20, 10, 10}}) {
    CDrawRect zone(vx::kKindRectangle, r);
    EXPECT_TRUE(zone.PtInZone(10, 10, nullptr));
    EXPECT_TRUE(zone.PtInZone(20, 20, nullptr));
    EXPECT_FALSE(zone.PtInZone(21, 20, nullptr));
    EXPECT_FALSE(zone.PtInZone(15, 9, nullptr));
    // The region (used by combined zones and masks) agrees with the direct test.
    for (int y = 5; y < 25; ++y) {
      for (int x = 5; x < 25; ++x) {
        ASSERT_EQ(zone.Region().Contains(x, y), zone.PtInZone(x, y, nullptr)) << x << "," << y;
      }
    }
  }
}

TEST(DrawRect, EveryFramedKindMatchesItsRegionRuleOnAGrid) {
  // Rounded rectangle and ellipse cover the box from (x0, y0) to (x1 + 1, y1 + 1).
  CDrawRect ellipse(vx::kKindEllipse, {4, 6, 30, 19});
  CDrawRect rounded(vx::kKindRoundRect, {4, 6, 30, 19});
  for (int y = 0; y < 26; ++y) {
    for (int x = 0; x < 36; ++x) {
      const double u = (x + 0.5 - 17.5) / 13.5, v = (y + 0.5 - 13.0) / 7.0;
      ASSERT_EQ(ellipse.PtInZone(x, y, nullptr), u * u + v * v <= 1.0) << x << "," << y;
      const bool inBox = x >= 4 && x <= 30 && y >= 6 && y <= 19;
      if (x >= 12 && x <= 22) {  // away from the corners the rounded rectangle is its box
        ASSERT_EQ(rounded.PtInZone(x, y, nullptr), inBox);
      }
    }
  }
  EXPECT_FALSE(rounded.PtInZone(4, 6, nullptr));  // corner pixel is cut
  EXPECT_TRUE(rounded.PtInZone(17, 6, nullptr));
}

TEST(DrawRect, AreasUseTheStoredFormulas) {
  EXPECT_EQ(CDrawRect(vx::kKindRectangle, {10, 10, 20, 30}).GetArea(), 11 * 21);
  EXPECT_EQ(CDrawRect(vx::kKindRectangle, {20, 30, 10, 10}).GetArea(), 11 * 21);
  // Ellipse: |w h pi / 4| + 0.5 truncated with pi = 3.1415925f: 101 * 51 * pi / 4 = 4045.8...
  EXPECT_EQ(CDrawRect(vx::kKindEllipse, {0, 0, 100, 50}).GetArea(), 4046);
  // Rounded rectangle: 101 * 51 - (16 * 16 - pi * 16 * 16 / 4) = 5151 - 54.94 = 5096.06
  EXPECT_EQ(CDrawRect(vx::kKindRoundRect, {0, 0, 100, 50}).GetArea(), 5096);
  // The formulas agree with the pixel counts of the regions to within the outline.
  CDrawRect ellipse(vx::kKindEllipse, {0, 0, 200, 120});
  EXPECT_NEAR(static_cast<double>(ellipse.GetArea()), static_cast<double>(ellipse.Region().PixelCount()), 0.01 * ellipse.GetArea());
  CDrawRect rounded(vx::kKindRoundRect, {0, 0, 200, 120});
  EXPECT_NEAR(static_cast<double>(rounded.GetArea()), static_cast<double>(rounded.Region().PixelCount()), 0.01 * rounded.GetArea());
}

TEST(DrawRect, PointsTextReadingRules) {
  const auto rows = vx::testing::ReadDataTable("zone_rect_texts.tsv");
  ASSERT_FALSE(rows.empty());
  for (const auto& row : rows) {
    CDrawRect zone(std::stoi(row[0]), {1, 2, 3, 4});
    zone.isArena = std::stoi(row[1]);
    zone.SetPointsText(row[2], 640, 480);
    EXPECT_EQ(zone.GetRect(), (PixelRect{std::stoi(row[3]), std::stoi(row[4]), std::stoi(row[5]),
                                         std::stoi(row[6])}))
        << row[2];
  }
  CDrawRect line(vx::kKindLine, {30, 40, 5, 6});
  EXPECT_EQ(line.GetPointsText(), "30;40;5;6");
}

TEST(DrawRect, HugeCoordinatesNeverCrash) {
  for (int kind : {vx::kKindRectangle, vx::kKindRoundRect, vx::kKindEllipse}) {
    CDrawRect huge(kind, {INT32_MIN, INT32_MIN, INT32_MAX, INT32_MAX});
    EXPECT_GT(huge.GetArea(), int64_t{1} << 62);
    EXPECT_TRUE(huge.PtInZone(0, 0, nullptr));
    EXPECT_GE(huge.GetDistance({0, 0}, nullptr, nullptr, false), 0.0);
  }
}

TEST(DrawRect, ScaleRoundsHalvesToEven) {
  CDrawRect zone(vx::kKindRoundRect, {1, 3, 5, 7});
  zone.Scale(0.5, 0.5);
  EXPECT_EQ(zone.GetRect(), (PixelRect{0, 2, 2, 4}));
  EXPECT_EQ(zone.RoundWidth(), 8);
}

TEST(DrawRect, InflateGrowsAndRefusesTooNarrowShrinks) {
  CDrawRect zone(vx::kKindRectangle, {0, 0, 10, 40});
  EXPECT_FALSE(zone.CanInflate(false, 5));
  EXPECT_FALSE(zone.Inflate(false, 5));
  EXPECT_TRUE(zone.CanInflate(false, 4));
  EXPECT_TRUE(zone.Inflate(true, 3));
  EXPECT_EQ(zone.GetRect(), (PixelRect{-3, -3, 13, 43}));
  CDrawRect line(vx::kKindLine, {0, 0, 10, 40});
  EXPECT_FALSE(line.CanInflate(true, 1));
}

TEST(DrawRect, RotationRules) {
  bool polygon = false;
  CDrawRect rect(vx::kKindRectangle, {0, 0, 40, 20});
  EXPECT_TRUE(rect.CanRotate(30, &polygon));
  EXPECT_TRUE(polygon);
  EXPECT_TRUE(rect.CanRotate(90, &polygon));
  EXPECT_FALSE(polygon);
  rect.Rotate(90);
  EXPECT_EQ(rect.GetRect(), (PixelRect{10, -10, 30, 30}));
  CDrawRect ellipse(vx::kKindEllipse, {0, 0, 40, 20});
  EXPECT_FALSE(ellipse.CanRotate(45, nullptr));
  EXPECT_TRUE(ellipse.CanRotate(180, nullptr));
  CDrawRect line(vx::kKindLine, {0, 0, 20, 0});
  EXPECT_TRUE(line.CanRotate(45, nullptr));
  line.Rotate(90);
  EXPECT_EQ(line.GetRect(), (PixelRect{10, -10, 10, 10}));
  line.Flip(false);
  EXPECT_EQ(line.GetRect(), (PixelRect{10, 10, 10, -10}));
  // A freely rotated rectangle goes through its polygon, which covers the same pixels.
  const auto poly = rect.ToPolygon();
  EXPECT_EQ(poly->Region(), rect.Region());
}

TEST(DrawRect, DrawMaskFillsInclusiveRectangleAndInverts) {
  CDrawRect zone(vx::kKindRectangle, {2, 3, 11, 8});
  cv::Mat mask(20, 20, CV_8UC1, cv::Scalar(77));
  zone.DrawMask(mask, 0, {0, 0}, false);
  EXPECT_EQ(cv::countNonZero(mask), 10 * 6);
  EXPECT_EQ(mask.at<uint8_t>(3, 2), 255);
  EXPECT_EQ(mask.at<uint8_t>(8, 11), 255);
  zone.DrawMask(mask, 0, {0, 0}, true);
  EXPECT_EQ(cv::countNonZero(mask), 400 - 60);
  // With an origin, the mask is a window of the image.
  zone.DrawMask(mask, 0, {0, 0}, false, {2, 3});
  EXPECT_EQ(mask.at<uint8_t>(0, 0), 255);
  EXPECT_EQ(cv::countNonZero(mask), 60);
}

TEST(DrawRect, DiffersSeparatesCosmeticFromResultChanges) {
  CDrawRect a(vx::kKindRectangle, {0, 0, 10, 10});
  CDrawRect b(a);
  EXPECT_FALSE(a.Differs(b).differs);
  b.name = "Other";
  b.pen.color = 1;
  EXPECT_TRUE(a.Differs(b).differs);
  EXPECT_FALSE(a.Differs(b).affectsResults);
  b.percentEntry = 80;
  EXPECT_TRUE(a.Differs(b).affectsResults);
  CDrawRect c(vx::kKindEllipse, {0, 0, 10, 10});
  EXPECT_TRUE(a.Differs(c).affectsResults);
  CDrawRect d(a);
  d.SetRoundness(4, 4);
  EXPECT_TRUE(a.Differs(d).affectsResults);
}

TEST(DrawRect, HiddenZoneKeyAndText) {
  CDrawRect zone(vx::kKindEllipse, {1, 2, 3, 4});
  zone.id = 7;
  zone.SetHiddenZoneText(" 0|1|3|1 ");
  EXPECT_EQ(zone.hidden, 1);
  EXPECT_EQ(zone.hiddenDistance, 3);
  EXPECT_EQ(zone.hiddenUnit, 1);
  EXPECT_EQ(zone.GetHiddenZoneKey(), "7,2,1,2,3,4,0|1|3|1");
  // Unknown unit, bad number, too few parts: defaults. Blank: unchanged.
  for (const char* text : {"0|1|3|2", "0|1|x|1", "junk"}) {
    zone.SetHiddenZoneText("0|1|3|1");
    zone.SetHiddenZoneText(text);
    EXPECT_EQ(zone.GetHiddenZoneText(), "0|0|5|0") << text;
  }
  zone.SetHiddenZoneText("  ");
  EXPECT_EQ(zone.GetHiddenZoneText(), "0|0|5|0");
}

TEST(DrawRect, CentreUsesIntegerDivision) {
  EXPECT_EQ(CDrawRect(vx::kKindRectangle, {1, 2, 4, 7}).GetCenter(), cv::Point(2, 4));
  EXPECT_EQ(CDrawRect(vx::kKindRectangle, {-5, -5, 0, 0}).GetCenter(), cv::Point(-2, -2));
}

TEST(DrawRect, OutlineIsDrawnInThePenColour) {
  cv::Mat image = cv::Mat::zeros(50, 50, CV_8UC3);
  CDrawRect zone(vx::kKindRectangle, {10, 10, 30, 20});
  zone.pen.color = 0x0000FF;  // red, as 0x00BBGGRR
  zone.pen.widthX = 1;
  zone.DrawOnImage(image);
  EXPECT_EQ(image.at<cv::Vec3b>(10, 10), cv::Vec3b(0, 0, 255));
  EXPECT_EQ(image.at<cv::Vec3b>(15, 20), cv::Vec3b(0, 0, 0));  // inside stays
  zone.pen.enabled = false;
  cv::Mat untouched = cv::Mat::zeros(50, 50, CV_8UC3);
  zone.DrawOnImage(untouched);
  EXPECT_EQ(cv::countNonZero(untouched.reshape(1)), 0);
}

}  // namespace
