// Finding the arena's floor in pictures rendered with a known floor: the suggestion must lie
// within a few pixels of the drawn edges, whatever lies on the floor or the noise over it.
#include "zones/arena_finder.h"

#include <gtest/gtest.h>

#include <opencv2/imgproc.hpp>

#include <cstdlib>

#include "zones/draw_obj.h"

namespace vx {
namespace {

constexpr int kEdgeTolerance = 3;  // pixels

enum class Floor { Rectangle, Ellipse };

// A 640×480 grey picture: the floor (a rectangle, or the ellipse inscribed in it) in one shade
// on surroundings of another, with a reproducible Gaussian noise.
cv::Mat RenderFloor(Floor shape, cv::Rect floor, int floorGrey, int aroundGrey, double noise) {
  cv::Mat picture(480, 640, CV_8UC1, cv::Scalar(aroundGrey));
  if (shape == Floor::Rectangle) {
    cv::rectangle(picture, floor, cv::Scalar(floorGrey), cv::FILLED);
  } else {
    const cv::Point2f centre(floor.x + (floor.width - 1) / 2.0f, floor.y + (floor.height - 1) / 2.0f);
    cv::ellipse(picture, cv::RotatedRect(centre, cv::Size2f(floor.width, floor.height), 0), cv::Scalar(floorGrey), cv::FILLED);
  }
  if (noise > 0) {
    cv::Mat grain(picture.size(), CV_16SC1);
    cv::theRNG().state = 7;
    cv::randn(grain, 0, noise);
    cv::Mat sum;
    picture.convertTo(sum, CV_16SC1);
    sum += grain;
    sum.convertTo(picture, CV_8UC1);
  }
  return picture;
}

struct ArenaCase {
  const char* name;
  Floor shape;
  bool lightFloor;
  double noise;
  cv::Rect floor;
  cv::Rect object;  // drawn on the floor in the surroundings' shade; empty for none
};

class FindArenaOnRenderedScenes : public ::testing::TestWithParam<ArenaCase> {};

TEST_P(FindArenaOnRenderedScenes, BoundsFollowTheDrawnFloor) {
  const ArenaCase& c = GetParam();
  const int floorGrey = c.lightFloor ? 205 : 40, aroundGrey = c.lightFloor ? 90 : 150;
  cv::Mat picture = RenderFloor(c.shape, c.floor, floorGrey, aroundGrey, c.noise);
  if (!c.object.empty()) cv::rectangle(picture, c.object, cv::Scalar(aroundGrey), cv::FILLED);

  const ArenaSuggestion found = FindArena(picture);
  ASSERT_TRUE(found.found);
  EXPECT_EQ(found.kind, c.shape == Floor::Ellipse ? kKindEllipse : kKindRectangle);
  // The drawn floor covers x from left to left + width - 1 (the ellipse is inscribed in it).
  const int edges[4][2] = {{found.bounds.left, c.floor.x},
                           {found.bounds.top, c.floor.y},
                           {found.bounds.right, c.floor.x + c.floor.width - 1},
                           {found.bounds.bottom, c.floor.y + c.floor.height - 1}};
  for (const auto& edge : edges) EXPECT_LE(std::abs(edge[0] - edge[1]), kEdgeTolerance);
}

INSTANTIATE_TEST_SUITE_P(
    Scenes, FindArenaOnRenderedScenes,
    ::testing::Values(
        ArenaCase{"rectangle", Floor::Rectangle, true, 0, {40, 20, 560, 440}, {}},
        ArenaCase{"rectangleDarkNoisy", Floor::Rectangle, false, 12, {60, 30, 500, 400}, {}},
        ArenaCase{"rectangleObjectInside", Floor::Rectangle, true, 8, {40, 20, 560, 440},
                  {300, 200, 60, 40}},
        ArenaCase{"rectangleObjectOnEdge", Floor::Rectangle, true, 8, {40, 20, 560, 440},
                  {200, 15, 50, 30}},
        ArenaCase{"circle", Floor::Ellipse, true, 0, {100, 20, 440, 440}, {}},
        ArenaCase{"ellipseDarkNoisy", Floor::Ellipse, false, 12, {70, 40, 480, 380}, {}},
        ArenaCase{"circleObjectInside", Floor::Ellipse, true, 10, {100, 20, 440, 440},
                  {280, 220, 50, 50}}),
    [](const ::testing::TestParamInfo<ArenaCase>& info) { return std::string(info.param.name); });

TEST(FindArena, RefusesPicturesWithoutAFloor) {
  const cv::Mat even(480, 640, CV_8UC3, cv::Scalar(120, 120, 120));
  const cv::Mat cases[] = {cv::Mat(), even,
                           RenderFloor(Floor::Rectangle, {0, 0, 640, 480}, 205, 90, 5),  // nothing around it
                           RenderFloor(Floor::Rectangle, {300, 200, 20, 20}, 205, 90, 5),  // too small
                           cv::Mat(4, 4, CV_8UC1, cv::Scalar(0)), cv::Mat(100, 100, CV_32FC1)};
  for (const cv::Mat& picture : cases) EXPECT_FALSE(FindArena(picture).found);
}

}  // namespace
}  // namespace vx
