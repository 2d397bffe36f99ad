// The per-frame zone test: centre, head and body-percentage rules, arena adjustment.
#include <gtest/gtest.h>
#include <opencv2/imgproc.hpp>

#include "zones/draw_boolean.h"
#include "zones/draw_poly.h"
#include "zones/draw_rect.h"
#include "zones/zone_set.h"

namespace {

using vx::CDrawRect;
using vx::ZoneState;

const std::vector<cv::Point> kNoContour;

// A 100 x 100 square outline at the origin. Its body mask is 100 x 100 pixels (the mask
// leaves out the box's last column and row), all inside the filled outline: body = 10000.
std::vector<cv::Point> SquareOutline() { return {{0, 0}, {100, 0}, {100, 100}, {0, 100}}; }

// A rectangle zone covering the columns from x0 on of the square: the body mask loses the
// columns x0 .. 99 (the zone is drawn as a rectangle of width x1 - x0 from x0).
CDrawRect BodyZone(int x0) {
  CDrawRect zone(vx::kKindRectangle, {x0, -10, 300, 300});
  zone.detectInZone = vx::kDetectBody;
  return zone;
}

TEST(ZoneState, BodyPercentageThresholds) {
  struct Case {
    int x0;
    ZoneState expected;
  } cases[] = {{29, ZoneState::Inside},      // 71 %
               {30, ZoneState::Undecided},   // 70 % exactly: not more than the entry
               {40, ZoneState::Undecided},   // 60 %
               {50, ZoneState::Undecided},   // 50 % exactly: not less than the exit
               {51, ZoneState::Outside},     // 49 %
               {100, ZoneState::Outside}};   // touching the box only: 0 %
  for (const Case& c : cases) {
    EXPECT_EQ(BodyZone(c.x0).GetZoneState({}, {}, SquareOutline(), nullptr, nullptr), c.expected)
        << c.x0;
  }
}

TEST(ZoneState, BodyPercentageMatchesIndependentMaskCount) {
  // A round outline against an ellipse zone: recount with OpenCV directly.
  std::vector<cv::Point> outline;
  cv::ellipse2Poly(cv::Point(60, 50), cv::Size(30, 20), 15, 0, 360, 10, outline);
  CDrawRect zone(vx::kKindEllipse, {50, 20, 140, 90});
  zone.detectInZone = vx::kDetectBody;
  const cv::Rect box = cv::boundingRect(outline);  // width = max - min + 1
  cv::Mat body = cv::Mat::zeros(box.height - 1, box.width - 1, CV_8UC1);
  cv::fillPoly(body, std::vector<std::vector<cv::Point>>{outline}, 255, cv::LINE_8, 0, -box.tl());
  const int bodyCount = cv::countNonZero(body);
  cv::ellipse(body, cv::RotatedRect(cv::Point2f(95.0f - box.x, 55.0f - box.y), cv::Size2f(90, 70), 0), 0, cv::FILLED);
  const double inside = 100.0 * (bodyCount - cv::countNonZero(body)) / bodyCount;
  for (int entry : {10, 30, 50, 70, 90}) {
    zone.percentEntry = static_cast<uint8_t>(entry);
    zone.percentExit = static_cast<uint8_t>(entry);
    const ZoneState expected = inside > entry ? ZoneState::Inside
                               : inside < entry ? ZoneState::Outside : ZoneState::Undecided;
    EXPECT_EQ(zone.GetZoneState({}, {}, outline, nullptr, nullptr), expected) << entry << " vs " << inside;
  }
}

TEST(ZoneState, BodyRuleEdgeCases) {
  CDrawRect zone = BodyZone(0);
  EXPECT_EQ(zone.GetZoneState({}, {}, kNoContour, nullptr, nullptr), ZoneState::Outside);
  // Boxes that do not meet: Outside at once.
  const std::vector<cv::Point> far{{1000, 1000}, {1010, 1000}, {1010, 1010}};
  CDrawRect small(vx::kKindRectangle, {0, 0, 50, 50});
  small.detectInZone = vx::kDetectBody;
  EXPECT_EQ(small.GetZoneState({}, {}, far, nullptr, nullptr), ZoneState::Outside);
  // A flat outline has no body: nothing is decided.
  EXPECT_EQ(zone.GetZoneState({}, {}, {{5, 5}, {40, 5}}, nullptr, nullptr), ZoneState::Undecided);
  // Lines and the ruler: always Outside.
  for (int kind : {vx::kKindLine, vx::kKindRuler}) {
    CDrawRect line(kind, {0, 0, 200, 200});
    line.detectInZone = vx::kDetectBody;
    EXPECT_EQ(line.GetZoneState({}, {}, SquareOutline(), nullptr, nullptr), ZoneState::Outside);
  }
  // A polygon zone is filled through its vertices.
  vx::CDrawPoly poly({{-10, -10}, {150, -10}, {150, 150}, {-10, 150}});
  poly.detectInZone = vx::kDetectBody;
  EXPECT_EQ(poly.GetZoneState({}, {}, SquareOutline(), nullptr, nullptr), ZoneState::Inside);
  // Unknown detection modes decide nothing.
  zone.detectInZone = 9;
  EXPECT_EQ(zone.GetZoneState({5, 5}, {5, 5}, SquareOutline(), nullptr, nullptr), ZoneState::Undecided);
}

TEST(ZoneState, CentreAndHeadRules) {
  CDrawRect zone(vx::kKindRectangle, {10, 10, 20, 20});
  EXPECT_EQ(zone.GetZoneState({15, 15}, {-1, -1}, kNoContour, nullptr, nullptr), ZoneState::Inside);
  EXPECT_EQ(zone.GetZoneState({25, 15}, {15, 15}, kNoContour, nullptr, nullptr), ZoneState::Outside);
  zone.detectInZone = vx::kDetectHead;
  EXPECT_EQ(zone.GetZoneState({15, 15}, {-1, -1}, kNoContour, nullptr, nullptr), ZoneState::Undecided);
  EXPECT_EQ(zone.GetZoneState({15, 15}, {12, -1}, kNoContour, nullptr, nullptr), ZoneState::Undecided);
  EXPECT_EQ(zone.GetZoneState({50, 50}, {15, 15}, kNoContour, nullptr, nullptr), ZoneState::Inside);
  EXPECT_EQ(zone.GetZoneState({15, 15}, {50, 50}, kNoContour, nullptr, nullptr), ZoneState::Outside);
  for (int kind : {vx::kKindEllipse, vx::kKindLine, vx::kKindRuler, vx::kKindRoundRect}) {
    CDrawRect other(kind, {10, 10, 20, 20});
    other.detectInZone = vx::kDetectHead;
    EXPECT_EQ(other.GetZoneState({15, 15}, {-1, -1}, kNoContour, nullptr, nullptr), ZoneState::Undecided);
  }
}

TEST(ZoneState, AdjustmentRotatesPositionsBackIntoTheProtocol) {
  // The test's arena is turned by 90 degrees about (50, 50): a zone drawn at the top of
  // the protocol's arena lies at the right in the test's video.
  vx::ArenaAdjustment adjustment;
  adjustment.adjusted = {0, 0, 100, 100};
  adjustment.angle = 90;
  CDrawRect top(vx::kKindRectangle, {40, 0, 60, 20});
  EXPECT_FALSE(top.PtInZone(50, 10, &adjustment));
  EXPECT_TRUE(top.PtInZone(90, 50, &adjustment));
  EXPECT_EQ(adjustment.RotatePoint({90, 50}, true), cv::Point(50, 10));
  EXPECT_EQ(adjustment.RotatePoint({50, 10}, false), cv::Point(90, 50));
  // The body rule turns the outline, and leaves the caller's copy alone.
  top.detectInZone = vx::kDetectBody;
  std::vector<cv::Point> outline{{82, 42}, {98, 42}, {98, 58}, {82, 58}};
  const auto copy = outline;
  EXPECT_EQ(top.GetZoneState({}, {}, outline, &adjustment, nullptr), ZoneState::Inside);
  EXPECT_EQ(outline, copy);
  // Angle 0 or no adjustment: positions are used as they are.
  adjustment.angle = 0;
  EXPECT_TRUE(top.PtInZone(50, 10, &adjustment));
}

TEST(ZoneState, RotationRoundsHalvesAwayFromZero) {
  // 180 degrees about (0, 0) maps (1, 1) to (-1, -1) exactly despite the inexact constant.
  EXPECT_EQ(vx::RotateAbout({1, 1}, {0, 0}, 180), cv::Point(-1, -1));
  // 45 degrees: (10, 0) goes to (7.07, 7.07).
  EXPECT_EQ(vx::RotateAbout({10, 0}, {0, 0}, 45), cv::Point(7, 7));
  // An empty adjusted rectangle turns about (0, 0).
  vx::ArenaAdjustment adjustment;
  adjustment.angle = 90;
  EXPECT_EQ(adjustment.Centre(), cv::Point(0, 0));
  EXPECT_EQ(adjustment.RotatePoint({10, 0}, false), cv::Point(0, 10));
}

}  // namespace

namespace {

TEST(RotatedBounds, BoxOfTheTurnedCorners) {
  EXPECT_EQ(vx::RotatedBounds({0, 0, 100, 40}, {50, 20}, 0), (vx::PixelRect{0, 0, 100, 40}));
  EXPECT_EQ(vx::RotatedBounds({0, 0, 100, 40}, {50, 20}, 90), (vx::PixelRect{30, -30, 70, 70}));
  // 45 degrees: a 20 x 20 square about its centre spans 2 * 14.14 pixels.
  EXPECT_EQ(vx::RotatedBounds({0, 0, 20, 20}, {10, 10}, 45), (vx::PixelRect{-4, -4, 24, 24}));
  EXPECT_EQ(vx::RotatedCorners({0, 0, 20, 20}, {10, 10}, 90)[0], cv::Point(20, 0));
}

}  // namespace
