#include "zones/arena_mask.h"

#include <gtest/gtest.h>
#include <opencv2/imgproc.hpp>

#include "zones/draw_poly.h"
#include "zones/draw_rect.h"

namespace {

using vx::PixelRect;

vx::ZoneSet ArenaSet(int kind, PixelRect arena) {
  vx::ZoneSet set;
  set.SetImageSize(640, 480, true, false);
  set.SetMainArena(set.AddZone(std::make_unique<vx::CDrawRect>(kind, arena)));
  return set;
}

TEST(ArenaMask, EllipticArenaMaskAtTheArenaRectangle) {
  const vx::ZoneSet set = ArenaSet(vx::kKindEllipse, {100, 50, 300, 250});
  const vx::DetectionArea area = vx::BuildDetectionArea(set);
  EXPECT_EQ(area.rect, (PixelRect{100, 50, 300, 250}));
  ASSERT_EQ(area.mask.size(), cv::Size(200, 200));
  cv::Mat expected = cv::Mat::zeros(200, 200, CV_8UC1);
  cv::ellipse(expected, cv::RotatedRect({100, 100}, {200, 200}, 0), 255, cv::FILLED);
  EXPECT_EQ(cv::countNonZero(area.mask != expected), 0);
}

TEST(ArenaMask, HiddenZonesAreCutOut) {
  vx::ZoneSet set = ArenaSet(vx::kKindRectangle, {100, 50, 300, 250});
  auto* shelter = set.AddZone(std::make_unique<vx::CDrawRect>(vx::kKindRectangle, PixelRect{120, 60, 139, 89}));
  shelter->hidden = 1;
  auto* visible = set.AddZone(std::make_unique<vx::CDrawRect>(vx::kKindRectangle, PixelRect{200, 200, 220, 220}));
  (void)visible;
  const vx::DetectionArea area = vx::BuildDetectionArea(set);
  EXPECT_EQ(cv::countNonZero(area.mask), 200 * 200 - 20 * 30);
  EXPECT_EQ(area.mask.at<uint8_t>(60 - 50, 120 - 100), 0);
  EXPECT_EQ(area.mask.at<uint8_t>(59 - 50, 120 - 100), 255);
}

TEST(ArenaMask, SecondaryArenaPlacesTheMainArenaShape) {
  vx::ZoneSet set = ArenaSet(vx::kKindEllipse, {0, 0, 300, 300});
  set.secondaryArenas = {{"Right", {320, 0, 640, 480}}};
  const vx::DetectionArea area = vx::BuildDetectionArea(set, 0);
  EXPECT_EQ(area.rect, (PixelRect{320, 0, 640, 480}));
  ASSERT_EQ(area.mask.size(), cv::Size(320, 480));
  EXPECT_EQ(area.mask.at<uint8_t>(240, 160), 255);
  EXPECT_EQ(area.mask.at<uint8_t>(2, 2), 0);
  EXPECT_EQ(vx::BuildDetectionArea(set, 3).rect, (PixelRect{0, 0, 300, 300}));  // invalid index
}

TEST(ArenaMask, RotatedArenaWidensTheRectangleAndTurnsTheMask) {
  const vx::ZoneSet set = ArenaSet(vx::kKindRectangle, {200, 200, 300, 240});
  const vx::DetectionArea area = vx::BuildDetectionArea(set, -1, 90);
  // Turned by 90 degrees about (250, 220): 40 wide and 100 high.
  EXPECT_EQ(area.rect, (PixelRect{230, 170, 270, 270}));
  EXPECT_EQ(cv::countNonZero(area.mask), 40 * 100);
  const vx::ZoneSet corner = ArenaSet(vx::kKindRectangle, {0, 0, 100, 100});
  EXPECT_EQ(vx::BuildDetectionArea(corner, -1, 30).rect.left, 0);  // clamped at 0
}

TEST(ArenaMask, WithoutArenaTheWholeImage) {
  vx::ZoneSet set;
  set.SetImageSize(64, 48, true, false);
  vx::DetectionArea area = vx::BuildDetectionArea(set);
  EXPECT_EQ(area.rect, (PixelRect{0, 0, 64, 48}));
  EXPECT_TRUE(area.mask.empty());
  set.AddZone(std::make_unique<vx::CDrawPoly>(std::vector<cv::Point>{{0, 0}, {10, 0}, {10, 10}, {0, 10}}))->hidden = 1;
  area = vx::BuildDetectionArea(set);
  ASSERT_EQ(area.mask.size(), cv::Size(64, 48));
  EXPECT_EQ(cv::countNonZero(area.mask), 64 * 48 - 11 * 11);
}

}  // namespace
