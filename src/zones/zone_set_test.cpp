#include "zones/zone_set.h"

#include <gtest/gtest.h>

#include "base/messages.h"
#include "zones/calibration.h"
#include "zones/draw_boolean.h"
#include "zones/draw_poly.h"
#include "zones/draw_rect.h"

namespace {

using vx::CDrawRect;
using vx::PixelRect;
using vx::ZoneSet;

std::unique_ptr<CDrawRect> Rect(int kind = vx::kKindRectangle, PixelRect r = {0, 0, 10, 10}) {
  return std::make_unique<CDrawRect>(kind, r);
}

TEST(ZoneSet, IdsAndDefaultNames) {
  ZoneSet set;
  EXPECT_EQ(set.maxIdZone, -1);
  auto arena = Rect();
  arena->isArena = 1;
  std::vector<std::unique_ptr<vx::CDrawObj>> zones;
  zones.push_back(Rect());
  zones.push_back(Rect(vx::kKindRoundRect));
  zones.push_back(Rect(vx::kKindEllipse));
  zones.push_back(Rect(vx::kKindLine));
  zones.push_back(std::make_unique<vx::CDrawPoly>());
  zones.push_back(std::make_unique<vx::CDrawBoolean>());
  zones.push_back(std::move(arena));
  zones.push_back(Rect());
  const char* names[] = {"Rectangle", "Rectangle 1", "Circle", "Line", "Polygon", "Combined zone", "Arena", "Rectangle 2"};
  for (size_t i = 0; i < zones.size(); ++i) {
    const auto* zone = set.AddZone(std::move(zones[i]));
    EXPECT_EQ(zone->id, static_cast<int>(i) + 1);
    EXPECT_EQ(zone->name, names[i]);
  }
  EXPECT_TRUE(set.modified);
}

TEST(ZoneSet, NextIdStartsAfterTheLargestStoredId) {
  ZoneSet set;
  auto stored = Rect();
  stored->id = 17;
  set.AppendZone(std::move(stored));
  set.maxIdZone = 0;
  EXPECT_EQ(set.NextZoneId(), 18);
  EXPECT_EQ(set.NextZoneId(), 19);
  ZoneSet empty;
  EXPECT_EQ(empty.NextZoneId(), 1);
  auto keepId = Rect();
  keepId->id = 5;
  EXPECT_EQ(set.AddZone(std::move(keepId))->id, 5);
}

TEST(ZoneSet, LookupsArenaAndRuler) {
  ZoneSet set;
  set.imageWidth = 640;
  set.imageHeight = 480;
  EXPECT_EQ(set.MainArena(), nullptr);
  EXPECT_EQ(set.ArenaRect(-1), (PixelRect{0, 0, 640, 480}));
  auto* zone = set.AddZone(Rect(vx::kKindRectangle, {300, 200, 20, 10}));
  auto* other = set.AddZone(Rect());
  set.SetMainArena(other);
  set.SetMainArena(zone);
  EXPECT_EQ(set.MainArena(), zone);
  EXPECT_EQ(other->isArena, 0);
  EXPECT_EQ(set.ArenaRect(-1), (PixelRect{20, 10, 300, 200}));
  EXPECT_EQ(set.FindZone(other->id), other);
  EXPECT_EQ(set.FindZone(99), nullptr);
  int refusal = 0;
  EXPECT_FALSE(set.RemoveZone(zone->id, &refusal));
  EXPECT_EQ(refusal, vx::msg::kCannotDeleteArena);
  set.SetImageSize(640, 480, true, false);
  ASSERT_NE(set.Ruler(), nullptr);
  EXPECT_FALSE(set.RemoveZone(set.Ruler()->id, &refusal));
  EXPECT_EQ(refusal, vx::msg::kCannotDeleteRuler);
  const int otherId = other->id;
  EXPECT_TRUE(set.RemoveZone(otherId));
  EXPECT_FALSE(set.RemoveZone(otherId));
}

TEST(ZoneSet, FirstImageSizeCreatesTheRuler) {
  ZoneSet set;
  EXPECT_FALSE(set.SetImageSize(640, 480, true, true));
  const vx::CDrawObj* ruler = set.Ruler();
  ASSERT_NE(ruler, nullptr);
  EXPECT_EQ(ruler->GetRect(), (PixelRect{10, 470, 320, 470}));
  EXPECT_EQ(std::make_tuple(ruler->GetTypeRect(), ruler->GetName(), ruler->pen.color, ruler->id),
            std::make_tuple(vx::kKindRuler, std::string("Ruler line"), 18429u, 1));
  EXPECT_EQ(std::make_tuple(set.rulerDx, set.rulerDy, set.rulerLength, set.rulerUnit), std::make_tuple(310, 0, 0, 1));
  set.SetImageSize(640, 480, true, false);  // one ruler only
  EXPECT_EQ(set.Zones().size(), 1u);
}

TEST(ZoneSet, ResizingScalesByTheSmallerRatio) {
  ZoneSet set;
  set.SetImageSize(640, 480, true, false);
  auto* zone = set.AddZone(Rect(vx::kKindRectangle, {100, 100, 201, 301}));
  set.secondaryArenas = {{"A", {0, 0, 321, 480}}};
  EXPECT_TRUE(set.SetImageSize(320, 480, false, true));
  EXPECT_EQ(zone->GetRect(), (PixelRect{50, 50, 100, 150}));  // 100.5 and 150.5 to even
  EXPECT_EQ(set.Ruler()->GetRect(), (PixelRect{5, 235, 160, 235}));
  EXPECT_EQ(set.secondaryArenas[0].rect, (PixelRect{0, 0, 160, 240}));
  EXPECT_FALSE(set.SetImageSize(320, 480, false, true));  // same size: nothing to do
  ZoneSet fresh;
  fresh.AddZone(Rect(vx::kKindRectangle, {10, 10, 20, 20}));
  EXPECT_FALSE(fresh.SetImageSize(320, 240, false, true));  // no valid old size
}

TEST(ZoneSet, CopiesAreIndependentAndOwnTheirZones) {
  ZoneSet set;
  auto* a = set.AddZone(Rect(vx::kKindRectangle, {0, 0, 9, 9}));
  auto combined = std::make_unique<vx::CDrawBoolean>();
  combined->SetCombination(vx::kCombineUnion, {a->id});
  set.AddZone(std::move(combined));
  ZoneSet copy(set);
  for (const auto& zone : copy.Zones()) EXPECT_EQ(zone->owner, &copy);
  copy.Zones()[0]->SetRect({0, 0, 19, 19});
  EXPECT_EQ(copy.Zones()[1]->GetArea(), 400);
  EXPECT_EQ(set.Zones()[1]->GetArea(), 100);
  ZoneSet moved(std::move(copy));
  for (const auto& zone : moved.Zones()) EXPECT_EQ(zone->owner, &moved);
  EXPECT_EQ(moved.Zones()[1]->GetArea(), 400);
}

TEST(ZoneSet, RotatingARectangleFreelyReplacesItWithAPolygon) {
  ZoneSet set;
  auto* rect = static_cast<CDrawRect*>(set.AddZone(Rect(vx::kKindRectangle, {10, 10, 29, 19})));
  bool mustBecomePolygon = false;
  ASSERT_TRUE(rect->CanRotate(30, &mustBecomePolygon));
  ASSERT_TRUE(mustBecomePolygon);
  const int id = rect->id;
  auto polygon = rect->ToPolygon();
  polygon->Rotate(30);
  ASSERT_TRUE(set.ReplaceZone(std::move(polygon)));
  EXPECT_TRUE(set.FindZone(id)->IsPolygon());
  EXPECT_EQ(set.FindZone(id)->name, "Rectangle");
  EXPECT_NEAR(static_cast<double>(set.FindZone(id)->GetArea()), 200.0, 20.0);
}

TEST(Calibration, RatioFromTheRuler) {
  ZoneSet set;
  EXPECT_EQ(vx::MmPerPixel(set), 0.0);
  set.SetImageSize(640, 480, true, false);
  set.rulerLength = 50;
  set.rulerUnit = 0;
  EXPECT_NEAR(vx::MmPerPixel(set), 500.0 / 310.0, 1e-12);
  set.rulerUnit = 1;
  EXPECT_NEAR(vx::MmPerPixel(set), 50.0 / 310.0, 1e-12);
  vx::CDrawObj* ruler = set.Ruler();
  ruler->SetRect({100, 400, 100, 100});
  const double down = vx::MmPerPixel(set);
  ruler->SetRect({100, 100, 100, 400});
  EXPECT_EQ(vx::MmPerPixel(set), down);
  EXPECT_NEAR(down, 50.0 / 300.0, 1e-12);
  ruler->SetRect({7, 7, 7, 7});
  EXPECT_EQ(vx::MmPerPixel(set), 0.0);
}

TEST(Calibration, RefreshRulerAndZonesPageValidation) {
  ZoneSet set;
  vx::RefreshRuler(set, 30, 0);  // no ruler: nothing happens
  EXPECT_EQ(set.rulerLength, 0);
  set.SetImageSize(640, 480, true, false);
  set.Ruler()->SetRect({10, 20, 110, 70});
  vx::RefreshRuler(set, 30, 0);
  EXPECT_EQ(std::make_tuple(set.rulerLength, set.rulerUnit, set.rulerDx, set.rulerDy), std::make_tuple(30, 0, 100, 50));
  EXPECT_EQ(vx::ValidateZonesPage(set, 30), 0);
  EXPECT_EQ(vx::ValidateZonesPage(set, 0), vx::msg::kRulerLengthMissing);
  set.AddZone(Rect())->isArena = 1;
  set.AddZone(Rect())->isArena = 1;
  EXPECT_EQ(vx::ValidateZonesPage(set, 30), vx::msg::kProtocolInconsistent);
  set.Ruler()->SetRect({5, 5, 5, 5});
  EXPECT_EQ(vx::ValidateZonesPage(set, 30), vx::msg::kRulerEndsCoincide);
}

}  // namespace
