#include <gtest/gtest.h>

#include <opencv2/core.hpp>

#include "measures/heat_map.h"
#include "support/trajectory_builder.h"
#include "support/zone_builder.h"

namespace vx {
namespace {

using testing::EvenPath;
using testing::Line;

HeatCanvas Frame(int width, int height) { return {{0, 0, width, height}, {}}; }

TEST(HeatMap, TimeSpreadsAsAConeAroundEachPoint) {
  // 11 points 100 ms apart at (50, 40): one second there; the 10 x 10 outlines give r = 5.
  const std::vector<tMyPoint> still = EvenPath(Line({50, 40}, {50, 40}, 11), 100);
  const int radius = SpotRadius({}, still, 100, 100);
  ASSERT_EQ(radius, 5);
  const cv::Mat grid = AccumulateTime(still, 0, still.size(), {0, 0, 100, 100}, radius);
  EXPECT_NEAR(grid.at<float>(40, 50), 1.0f, 1e-5);
  EXPECT_NEAR(grid.at<float>(40, 53), 0.5f, 1e-5);  // 1 - 3 / 6
  EXPECT_NEAR(grid.at<float>(44, 53), 1.0f - 5.0f / 6.0f, 1e-5);
  EXPECT_EQ(grid.at<float>(40, 56), 0.0f);          // r + 1 away
  EXPECT_EQ(grid.at<float>(0, 0), 0.0f);
  // Only the first of two points counts; a spot at the corner is clipped; outside adds nothing.
  const std::vector<tMyPoint> two = EvenPath({{0, 0}, {80, 80}, {120, 5}, {-3, 5}, {9, 9}}, 500);
  const cv::Mat clipped = AccumulateTime(two, 0, two.size(), {0, 0, 100, 100}, 5);
  EXPECT_NEAR(clipped.at<float>(0, 0), 0.5f, 1e-5);
  EXPECT_NEAR(clipped.at<float>(80, 80), 0.5f, 1e-5);
  EXPECT_EQ(clipped.at<float>(9, 9), 0.0f);
}

TEST(HeatMap, AStillAnimalIsOneBrightDiskOnTheScaledImage) {
  const std::vector<tMyPoint> still = EvenPath(Line({50, 40}, {50, 40}, 11), 100);
  // A canvas of 200 x 200 keeps its size: the levels are the grid's own.
  const std::optional<ResultImage> image = ComputeHeatMap(still, 0, still.size(), Frame(200, 200), {});
  ASSERT_TRUE(image);
  EXPECT_EQ(image->maximumMs, 1000);
  ASSERT_EQ(image->pixels.size(), cv::Size(200, 200));
  double brightest = 0;
  cv::Point at;
  cv::minMaxLoc(image->pixels, nullptr, &brightest, nullptr, &at);
  EXPECT_EQ(brightest, 254);
  EXPECT_EQ(at, cv::Point(50, 40));
  EXPECT_EQ(image->pixels.at<uint8_t>(40, 53), 127);  // half the time: 254 / 2
  EXPECT_EQ(image->pixels.at<uint8_t>(10, 10), 0);
  // A blur box spreads the peak; without one the image is as above.
  const std::optional<ResultImage> blurred = ComputeHeatMap(still, 0, still.size(), Frame(200, 200), {-1, 20});
  EXPECT_LT(blurred->pixels.at<uint8_t>(40, 50), 200);
  // No point, or no canvas: no image.
  EXPECT_FALSE(ComputeHeatMap(still, 3, 3, Frame(100, 100), {}));
  EXPECT_FALSE(ComputeHeatMap(still, 0, still.size(), Frame(0, 100), {}));
  EXPECT_FALSE(ComputeTrackImage(still, 0, still.size(), Frame(100, -5), false));
}

TEST(HeatMap, ImagesTakeASmallerSideOf200AndALargerOfAtMost400) {
  const struct { int w, h, outW, outH; } cases[] = {
      {300, 150, 400, 200}, {100, 100, 200, 200}, {150, 600, 100, 400}, {1000, 900, 222, 200}, {200, 250, 200, 250}};
  for (const auto& c : cases) {
    EXPECT_EQ(HeatImageSize(c.w, c.h), cv::Size(c.outW, c.outH)) << c.w << "x" << c.h;
  }
}

TEST(HeatMap, OutsideAnEllipticArenaIsWhite) {
  ZoneSet zones = testing::ArenaSet(200, 200, {0, 0, 100, 100});
  zones.SetMainArena(testing::AddZone(zones, "Round", {0, 0, 100, 100}, kKindEllipse));
  const HeatCanvas canvas = HeatCanvasOf(zones, -1, 0, 200, 200);
  const std::vector<tMyPoint> path = EvenPath(Line({20, 50}, {80, 50}, 11), 100);
  const std::optional<ResultImage> heat = ComputeHeatMap(path, 0, path.size(), canvas, {});
  const std::optional<ResultImage> track = ComputeTrackImage(path, 0, path.size(), canvas, false);
  ASSERT_TRUE(heat && track);
  EXPECT_EQ(heat->pixels.at<uint8_t>(2, 2), 255);
  EXPECT_EQ(track->pixels.at<uint8_t>(2, 2), kTrackOutside);
  // The track: level 0 along y = 50 (scaled by 2), the background elsewhere; no head, no line.
  EXPECT_EQ(track->pixels.at<uint8_t>(100, 100), kTrackLevel);
  EXPECT_EQ(track->pixels.at<uint8_t>(60, 100), kTrackBackground);
  const std::optional<ResultImage> head = ComputeTrackImage(path, 0, path.size(), canvas, true);
  EXPECT_EQ(cv::countNonZero(head->pixels == kTrackLevel), 0);
}

}  // namespace
}  // namespace vx
