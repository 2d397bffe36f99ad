#include "zones/draw_poly.h"

#include <gtest/gtest.h>
#include <opencv2/imgproc.hpp>

namespace {

using vx::CDrawPoly;
using vx::PixelRect;

TEST(DrawPoly, PointsTextRoundTrip) {
  CDrawPoly zone({{10, 20}, {-5, 40}, {30, 35}});
  EXPECT_EQ(zone.GetRect(), (PixelRect{-5, 20, 30, 40}));
  EXPECT_EQ(zone.GetPointsText(), "-5;20;30;40|3|10;20|-5;40|30;35|");
  CDrawPoly copy;
  copy.SetPointsText(zone.GetPointsText(), 640, 480);
  EXPECT_EQ(copy.Vertices(), zone.Vertices());
  EXPECT_EQ(copy.GetRect(), zone.GetRect());
  EXPECT_EQ(copy.Region(), zone.Region());
}

TEST(DrawPoly, MalformedPointsTexts) {
  CDrawPoly zone({{1, 1}, {9, 1}, {9, 9}});
  zone.SetPointsText("", 640, 480);  // nothing: unchanged
  EXPECT_EQ(zone.Vertices().size(), 3u);
  zone.SetPointsText("||7;;9|", 640, 480);  // only the rectangle token, partly present
  EXPECT_EQ(zone.GetRect(), (PixelRect{7, 1, 9, 9}));
  EXPECT_EQ(zone.Vertices().size(), 3u);
  zone.SetPointsText("0;0;10;10|5|1;2|x|4|", 640, 480);  // count beyond the tokens present
  ASSERT_EQ(zone.Vertices().size(), 3u);
  EXPECT_EQ(zone.Vertices()[1], cv::Point(0, 0));
  EXPECT_EQ(zone.Vertices()[2], cv::Point(4, 0));
  zone.SetPointsText("0;0;10;10|2000000000|1;1|", 640, 480);  // a huge count makes nothing up
  EXPECT_EQ(zone.Vertices().size(), 1u);
  zone.SetPointsText("0;0;10;10|-3|1;1|2;2|", 640, 480);
  EXPECT_TRUE(zone.Vertices().empty());
  zone.SetPointsText("0;0;1;1|3|99999999999;1|-99999999999;7|5;5|", 640, 480);
  EXPECT_NO_FATAL_FAILURE(zone.Region());
}

TEST(DrawPoly, FewerThanThreeVerticesHaveNoArea) {
  for (const std::vector<cv::Point>& vertices :
       {std::vector<cv::Point>{}, std::vector<cv::Point>{{5, 5}}, std::vector<cv::Point>{{0, 0}, {10, 10}}}) {
    CDrawPoly zone(vertices);
    EXPECT_TRUE(zone.Region().IsEmpty());
    EXPECT_EQ(zone.GetArea(), 0);
    EXPECT_FALSE(zone.PtInZone(5, 5, nullptr));
    EXPECT_FALSE(zone.CanInflate(true, 2));
    cv::Mat mask(20, 20, CV_8UC1);
    EXPECT_NO_FATAL_FAILURE(zone.DrawMask(mask, 30, {10, 10}, false));
    zone.detectInZone = vx::kDetectBody;
    EXPECT_NO_FATAL_FAILURE(zone.GetZoneState({}, {}, {{0, 0}, {10, 0}, {10, 10}}, nullptr, nullptr));
  }
}

TEST(DrawPoly, InflateUsesTheMitredOffset) {
  CDrawPoly square({{10, 10}, {20, 10}, {20, 20}, {10, 20}});
  ASSERT_TRUE(square.CanInflate(true, 2));
  ASSERT_TRUE(square.Inflate(true, 2));
  EXPECT_EQ(square.GetRect(), (PixelRect{8, 8, 22, 22}));
  EXPECT_EQ(square.GetArea(), 14 * 14);
  ASSERT_TRUE(square.Inflate(false, 5));
  EXPECT_EQ(square.GetRect(), (PixelRect{13, 13, 17, 17}));
  EXPECT_FALSE(square.CanInflate(false, 3));  // would vanish
  CDrawPoly triangle({{0, 0}, {50, 0}, {0, 50}});
  EXPECT_FALSE(triangle.CanInflate(true, 2));
  EXPECT_FALSE(triangle.Inflate(true, 2));
  // A dumbbell shrunk past its neck splits in two: refused.
  CDrawPoly dumbbell({{0, 0}, {40, 0}, {40, 18}, {60, 18}, {60, 0}, {100, 0}, {100, 40}, {60, 40},
                      {60, 22}, {40, 22}, {40, 40}, {0, 40}});
  EXPECT_TRUE(dumbbell.CanInflate(false, 1));
  EXPECT_FALSE(dumbbell.CanInflate(false, 3));
  // The outer region (used for hidden zones) grows by the offset too.
  CDrawPoly small({{10, 10}, {20, 10}, {20, 20}, {10, 20}});
  small.UpdateOuterRegion(3);
  EXPECT_EQ(small.OuterRegion().BoundingBox(), (PixelRect{7, 7, 23, 23}));
}

TEST(DrawPoly, MoveScaleRotateFlip) {
  CDrawPoly zone({{0, 0}, {10, 0}, {10, 20}});
  zone.MoveTo({100, 50, 120, 90});  // moved and doubled
  EXPECT_EQ(zone.Vertices(), (std::vector<cv::Point>{{100, 50}, {120, 50}, {120, 90}}));
  zone.Scale(0.5, 0.25);
  EXPECT_EQ(zone.Vertices(), (std::vector<cv::Point>{{50, 12}, {60, 12}, {60, 22}}));  // 12.5 -> 12
  zone.Flip(true);
  EXPECT_EQ(zone.Vertices(), (std::vector<cv::Point>{{60, 12}, {50, 12}, {50, 22}}));
  zone.Rotate(90);  // about the centre (55, 17)
  EXPECT_EQ(zone.Vertices(), (std::vector<cv::Point>{{60, 22}, {60, 12}, {50, 12}}));
  EXPECT_TRUE(zone.CanRotate(33, nullptr));
}

TEST(DrawPoly, HiddenZoneKeyListsTheVertices) {
  CDrawPoly zone({{1, 2}, {3, 4}, {5, 6}});
  zone.id = 4;
  EXPECT_EQ(zone.GetHiddenZoneKey(), "4,6,3,1,2,3,4,5,6,0|0|5|0");
}

}  // namespace
