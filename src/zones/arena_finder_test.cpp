// Finding the arena's floor in pictures rendered with a known floor: the suggestion must lie
// within a few pixels of the drawn edges, whatever lies on the floor or the noise over it.
#include "zones/arena_finder.h"

#include <gtest/gtest.h>

#include <opencv2/imgproc.hpp>

#include <cstdlib>

#include "support/data_table.h"
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

TEST(FindArena, BoundsFollowTheDrawnFloor) {
  const auto rows = testing::ReadDataTable("arena_scenes.tsv");
  ASSERT_FALSE(rows.empty());
  for (const auto& row : rows) {
    SCOPED_TRACE(row[0]);
    int v[8];
    for (int i = 0; i < 8; ++i) v[i] = std::stoi(row[static_cast<size_t>(4 + i)]);
    const cv::Rect floor(v[0], v[1], v[2], v[3]), object(v[4], v[5], v[6], v[7]);
    const Floor shape = row[1] == "ellipse" ? Floor::Ellipse : Floor::Rectangle;
    const bool light = row[2] == "1";
    const int floorGrey = light ? 205 : 40, aroundGrey = light ? 90 : 150;
    cv::Mat picture = RenderFloor(shape, floor, floorGrey, aroundGrey, std::stod(row[3]));
    if (!object.empty()) cv::rectangle(picture, object, cv::Scalar(aroundGrey), cv::FILLED);

    const ArenaSuggestion found = FindArena(picture);
    ASSERT_TRUE(found.found);
    EXPECT_EQ(found.kind, shape == Floor::Ellipse ? kKindEllipse : kKindRectangle);
    // The drawn floor covers x from left to left + width - 1 (the ellipse is inscribed in it).
    const int edges[4][2] = {{found.bounds.left, floor.x},
                             {found.bounds.top, floor.y},
                             {found.bounds.right, floor.x + floor.width - 1},
                             {found.bounds.bottom, floor.y + floor.height - 1}};
    for (const auto& edge : edges) EXPECT_LE(std::abs(edge[0] - edge[1]), kEdgeTolerance);
  }
}

TEST(FindArena, RefusesPicturesWithoutAFloor) {
  const cv::Mat even(480, 640, CV_8UC3, cv::Scalar(120, 120, 120));
  const cv::Mat cases[] = {cv::Mat(), even,
                           RenderFloor(Floor::Rectangle, {0, 0, 640, 480}, 205, 90, 5),  // nothing around it
                           RenderFloor(Floor::Rectangle, {300, 200, 20, 20}, 205, 90, 5),  // too small
                           cv::Mat(4, 4, CV_8UC1, cv::Scalar(0)), cv::Mat(100, 100, CV_32FC1)};
  for (const cv::Mat& picture : cases) EXPECT_FALSE(FindArena(picture).found);
}

TEST(ArenaFinder, AConfirmedSuggestionReshapesTheArenaKeepingItsIdentity) {
  ZoneSet set;
  set.SetImageSize(640, 480, true, false);
  ArenaSuggestion ellipse{true, kKindEllipse, {100, 20, 540, 460}};
  CDrawObj* added = ApplySuggestedArena(set, ellipse);
  ASSERT_NE(added, nullptr);
  EXPECT_EQ(set.MainArena(), added);
  added->name = "Open field";
  const int id = added->id;
  CDrawObj* reshaped = ApplySuggestedArena(set, {true, kKindRectangle, {90, 10, 550, 470}});
  ASSERT_NE(reshaped, nullptr);
  EXPECT_EQ(reshaped->GetTypeRect(), kKindRectangle);
  EXPECT_EQ(reshaped->GetRect(), (PixelRect{90, 10, 550, 470}));
  EXPECT_EQ(reshaped->id, id);
  EXPECT_EQ(reshaped->name, "Open field");
  EXPECT_EQ(set.MainArena(), reshaped);
  EXPECT_EQ(set.Zones().size(), 2u);  // the ruler and the arena
  EXPECT_EQ(ApplySuggestedArena(set, ArenaSuggestion{}), nullptr);
}

}  // namespace
}  // namespace vx
