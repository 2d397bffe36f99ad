#include "zones/zone_handles.h"

#include <gtest/gtest.h>

#include "zones/draw_boolean.h"
#include "zones/draw_poly.h"
#include "zones/draw_rect.h"

namespace {

using vx::PixelRect;

vx::ZoneSet SetOf640x480() {
  vx::ZoneSet set;
  set.SetImageSize(640, 480, false, false);
  return set;
}

TEST(ZoneHandles, DraggingAHandleMovesOnlyItsEdges) {
  struct Case {
    int handle;
    cv::Point to;
    PixelRect expected;
  } cases[] = {
      {0, {5, 6}, {5, 6, 100, 80}},    {1, {0, 2}, {10, 2, 100, 80}},  {2, {120, 0}, {10, 0, 120, 80}},
      {3, {90, 0}, {10, 20, 90, 80}},  {4, {50, 40}, {10, 20, 50, 40}}, {5, {0, 99}, {10, 20, 100, 99}},
      {6, {200, 10}, {200, 20, 100, 10}},  // dragged past the far corner: stored inside out
      {7, {0, 0}, {0, 20, 100, 80}},
  };
  for (const Case& c : cases) {
    vx::ZoneSet set = SetOf640x480();
    auto* zone = set.AddZone(std::make_unique<vx::CDrawRect>(vx::kKindRectangle, PixelRect{10, 20, 100, 80}));
    set.modified = false;
    EXPECT_TRUE(vx::MoveHandleTo(*zone, c.handle, c.to)) << c.handle;
    EXPECT_EQ(zone->GetRect(), c.expected) << c.handle;
    EXPECT_TRUE(set.modified);
    EXPECT_EQ(vx::HandleAt(*zone, vx::HandlePoint(*zone, c.handle), 2), c.handle);
  }
}

TEST(ZoneHandles, RoundnessLineEndsAndVertices) {
  vx::ZoneSet set = SetOf640x480();
  auto* round = static_cast<vx::CDrawRect*>(
      set.AddZone(std::make_unique<vx::CDrawRect>(vx::kKindRoundRect, PixelRect{0, 0, 100, 100})));
  ASSERT_EQ(vx::HandleCount(*round), 9);
  EXPECT_EQ(vx::HandlePoint(*round, 8), cv::Point(92, 92));
  EXPECT_TRUE(vx::MoveHandleTo(*round, 8, {80, 70}));
  EXPECT_EQ(round->RoundWidth(), 40);
  EXPECT_EQ(round->RoundHeight(), 60);

  auto* line = set.AddZone(std::make_unique<vx::CDrawRect>(vx::kKindLine, PixelRect{10, 10, 50, 50}));
  ASSERT_EQ(vx::HandleCount(*line), 2);
  EXPECT_TRUE(vx::MoveHandleTo(*line, 1, {900, -5}));  // kept inside the image
  EXPECT_EQ(line->GetRect(), (PixelRect{10, 10, 639, 0}));

  auto* poly = static_cast<vx::CDrawPoly*>(
      set.AddZone(std::make_unique<vx::CDrawPoly>(std::vector<cv::Point>{{0, 0}, {40, 0}, {0, 30}})));
  EXPECT_TRUE(vx::MoveHandleTo(*poly, 1, {60, 10}));
  EXPECT_EQ(poly->Vertices()[1], cv::Point(60, 10));
  EXPECT_EQ(poly->GetRect().right, 60);
  EXPECT_TRUE(vx::MoveZoneBy(*poly, {5, 5}));
  EXPECT_EQ(poly->Vertices()[0], cv::Point(5, 5));

  vx::CDrawBoolean combined;
  EXPECT_EQ(vx::HandleCount(combined), 0);
  EXPECT_FALSE(vx::MoveHandleTo(combined, 0, {1, 1}));
  EXPECT_FALSE(vx::MoveZoneBy(combined, {1, 1}));
}

TEST(ZoneHandles, PickingPrefersTheSmallestZoneAndOutlinesNearThePointer) {
  vx::ZoneSet set = SetOf640x480();
  auto* arena = set.AddZone(std::make_unique<vx::CDrawRect>(vx::kKindRectangle, PixelRect{0, 0, 400, 400}));
  auto* centre = set.AddZone(std::make_unique<vx::CDrawRect>(vx::kKindEllipse, PixelRect{100, 100, 200, 200}));
  auto* line = set.AddZone(std::make_unique<vx::CDrawRect>(vx::kKindLine, PixelRect{300, 10, 300, 300}));
  EXPECT_EQ(vx::ZoneAt(set, {150, 150}, 3), centre);
  EXPECT_EQ(vx::ZoneAt(set, {20, 20}, 3), arena);
  EXPECT_EQ(vx::ZoneAt(set, {302, 50}, 3), line);
  EXPECT_EQ(vx::ZoneAt(set, {500, 450}, 3), nullptr);
}

}  // namespace
