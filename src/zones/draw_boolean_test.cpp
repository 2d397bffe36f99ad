#include "zones/draw_boolean.h"

#include <gtest/gtest.h>

#include "support/data_table.h"
#include "zones/draw_poly.h"
#include "zones/draw_rect.h"
#include "zones/zone_set.h"

namespace {

using vx::CDrawBoolean;
using vx::CDrawRect;
using vx::ZoneSet;
using vx::ZoneState;

class CombinedZones : public ::testing::Test {
 protected:
  void SetUp() override {
    set.imageWidth = 100;
    set.imageHeight = 80;
    arena = set.AddZone(std::make_unique<CDrawRect>(vx::kKindRectangle, vx::PixelRect{5, 5, 94, 74}));
    set.SetMainArena(arena);
    a = set.AddZone(std::make_unique<CDrawRect>(vx::kKindRectangle, vx::PixelRect{10, 10, 50, 40}));
    b = set.AddZone(std::make_unique<CDrawRect>(vx::kKindEllipse, vx::PixelRect{30, 20, 80, 60}));
  }
  CDrawBoolean* Combine(int operation, std::vector<int> components) {
    auto zone = std::make_unique<CDrawBoolean>();
    zone->SetCombination(operation, std::move(components));
    return static_cast<CDrawBoolean*>(set.AddZone(std::move(zone)));
  }
  // Every pixel of the image: the combined zone against a pixel-wise rule.
  template <typename Rule>
  void ExpectPixels(const vx::CDrawObj& zone, Rule rule) {
    for (int y = 0; y < set.imageHeight; ++y) {
      for (int x = 0; x < set.imageWidth; ++x) {
        ASSERT_EQ(zone.PtInZone(x, y, nullptr), rule(x, y)) << x << "," << y;
      }
    }
  }

  ZoneSet set;
  vx::CDrawObj* arena = nullptr;
  vx::CDrawObj* a = nullptr;
  vx::CDrawObj* b = nullptr;
};

TEST_F(CombinedZones, UnionAndIntersection) {
  auto in = [](const vx::CDrawObj* z, int x, int y) { return z->PtInZone(x, y, nullptr); };
  ExpectPixels(*Combine(vx::kCombineUnion, {a->id, b->id}), [&](int x, int y) { return in(a, x, y) || in(b, x, y); });
  ExpectPixels(*Combine(vx::kCombineIntersection, {a->id, b->id}), [&](int x, int y) { return in(a, x, y) && in(b, x, y); });
}

TEST_F(CombinedZones, ComplementIsTakenWithinTheArenaRectangle) {
  auto in = [](const vx::CDrawObj* z, int x, int y) { return z->PtInZone(x, y, nullptr); };
  // Zone a minus zone b.
  ExpectPixels(*Combine(vx::kCombineIntersection, {a->id, -b->id}), [&](int x, int y) { return in(a, x, y) && !in(b, x, y); });
  // The complement alone: the arena's rectangle (right and bottom excluded) minus the zone.
  ExpectPixels(*Combine(vx::kCombineUnion, {-a->id}),
               [&](int x, int y) { return x >= 5 && x < 94 && y >= 5 && y < 74 && !in(a, x, y); });
  // Without a main arena the complement is taken within the whole image.
  set.SetMainArena(nullptr);
  ExpectPixels(*Combine(vx::kCombineUnion, {-a->id}), [&](int x, int y) { return !in(a, x, y); });
}

TEST_F(CombinedZones, MissingSelfAndCyclicComponentsEndCleanly) {
  CDrawBoolean* empty = Combine(vx::kCombineUnion, {});
  EXPECT_TRUE(empty->Region().IsEmpty());
  EXPECT_EQ(empty->GetZoneState({20, 20}, {}, {}, nullptr, nullptr), ZoneState::Undecided);
  CDrawBoolean* missing = Combine(vx::kCombineUnion, {999, a->id, -998});
  EXPECT_EQ(missing->Region(), a->Region());
  // A zone naming itself, and two zones naming each other.
  auto self = std::make_unique<CDrawBoolean>();
  self->id = 50;
  self->SetCombination(vx::kCombineUnion, {50, a->id});
  CDrawBoolean* selfRef = static_cast<CDrawBoolean*>(set.AddZone(std::move(self)));
  EXPECT_EQ(selfRef->Region(), a->Region());
  EXPECT_FALSE(selfRef->IsMovable());
  EXPECT_TRUE(selfRef->HasId(a->id));
  EXPECT_FALSE(selfRef->HasId(12345));
  CDrawBoolean* x = Combine(vx::kCombineUnion, {});
  CDrawBoolean* y = Combine(vx::kCombineUnion, {x->id, b->id});
  x->SetCombination(vx::kCombineIntersection, {y->id, -x->id, a->id});
  EXPECT_NO_FATAL_FAILURE(x->Region());
  EXPECT_NO_FATAL_FAILURE(y->GetDistance({0, 0}, nullptr, nullptr, true));
  EXPECT_NO_FATAL_FAILURE(x->GetDistance({0, 0}, nullptr, nullptr, true));
  EXPECT_FALSE(x->IsMovable());
  a->movable = 1;
  EXPECT_TRUE(y->IsMovable());
}

TEST_F(CombinedZones, DistanceByOperation) {
  CDrawBoolean* both = Combine(vx::kCombineUnion, {a->id, b->id});
  const cv::Point p(0, 0);
  EXPECT_DOUBLE_EQ(both->GetDistance(p, nullptr, nullptr, true),
                   std::min(a->GetDistance(p, nullptr, nullptr, true), b->GetDistance(p, nullptr, nullptr, true)));
  // Intersection: distance to the nearest side of the region's rectangles.
  CDrawBoolean* square = Combine(vx::kCombineIntersection, {a->id});
  EXPECT_DOUBLE_EQ(square->GetDistance({10, 0}, nullptr, nullptr, true), 10.0);
  EXPECT_DOUBLE_EQ(square->GetDistance({60, 20}, nullptr, nullptr, true), 9.0);  // right side at 51
  EXPECT_EQ(square->GetDistance({20, 20}, nullptr, nullptr, true), 0.0);
}

TEST_F(CombinedZones, BodyRuleUsesTheRegionRectangles) {
  CDrawBoolean* zone = Combine(vx::kCombineUnion, {a->id});
  zone->detectInZone = vx::kDetectBody;
  const std::vector<cv::Point> inside{{15, 15}, {35, 15}, {35, 35}, {15, 35}};
  EXPECT_EQ(zone->GetZoneState({}, {}, inside, nullptr, nullptr), ZoneState::Inside);
  const std::vector<cv::Point> outside{{60, 60}, {70, 60}, {70, 70}};
  EXPECT_EQ(zone->GetZoneState({}, {}, outside, nullptr, nullptr), ZoneState::Outside);
  CDrawBoolean* nothing = Combine(vx::kCombineIntersection, {a->id, 999});
  nothing->SetCombination(vx::kCombineIntersection, {a->id, -a->id});
  nothing->detectInZone = vx::kDetectBody;
  EXPECT_EQ(nothing->GetZoneState({}, {}, inside, nullptr, nullptr), ZoneState::Outside);
}

TEST_F(CombinedZones, ChoiceZoneFollowsTheTestsCustomField) {
  CDrawBoolean* choice = Combine(vx::kCombineChoice, {a->id, b->id});
  EXPECT_TRUE(choice->IsChoice());
  EXPECT_TRUE(choice->Region().IsEmpty());
  vx::CField field;
  field.id = 3;
  field.type = vx::kFieldProtocolChoice;
  field.category = 1;
  field.idProtocol = 9;
  field.idZone = choice->id;
  field.choices = {{.id = 20, .name = "left", .idZone = a->id}, {.id = 21, .name = "right", .idZone = b->id}};
  std::vector<vx::CField> fields{field};
  vx::CInfosTest test;
  test.idProtocol = 9;
  test.fields = {{.fieldId = 3, .type = vx::kFieldProtocolChoice, .choiceId = 21}};
  const vx::ZoneTestInfo info{&test, &fields};
  EXPECT_EQ(choice->ChosenZone(&info), b);
  EXPECT_EQ(choice->GetZoneState({70, 40}, {}, {}, nullptr, &info), ZoneState::Inside);
  EXPECT_EQ(choice->GetZoneState({12, 12}, {}, {}, nullptr, &info), ZoneState::Outside);
  EXPECT_DOUBLE_EQ(choice->GetDistance({0, 40}, nullptr, &info, true), b->GetDistance({0, 40}, nullptr, nullptr, true));
  test.fields[0].choiceId = 20;
  EXPECT_EQ(choice->GetZoneState({12, 12}, {}, {}, nullptr, &info), ZoneState::Inside);

  // Each missing link: no chosen zone, nothing decided.
  EXPECT_EQ(choice->GetZoneState({12, 12}, {}, {}, nullptr, nullptr), ZoneState::Undecided);
  EXPECT_EQ(choice->GetDistance({0, 40}, nullptr, nullptr, true), 0.0);
  for (auto breakLink : std::vector<std::function<void(vx::CField&, vx::CInfosTest&)>>{
           [](vx::CField& f, vx::CInfosTest&) { f.category = 0; },
           [](vx::CField& f, vx::CInfosTest&) { f.type = vx::kFieldChoice; },
           [](vx::CField&, vx::CInfosTest& t) { t.idProtocol = 8; },
           [](vx::CField& f, vx::CInfosTest&) { f.idZone = 77; },
           [](vx::CField&, vx::CInfosTest& t) { t.fields.clear(); },
           [](vx::CField&, vx::CInfosTest& t) { t.fields[0].choiceId = 99; },
           [](vx::CField& f, vx::CInfosTest&) { f.choices[0].idZone = 404; }}) {
    std::vector<vx::CField> broken{field};
    vx::CInfosTest brokenTest = test;
    breakLink(broken[0], brokenTest);
    const vx::ZoneTestInfo brokenInfo{&brokenTest, &broken};
    EXPECT_EQ(choice->GetZoneState({12, 12}, {}, {}, nullptr, &brokenInfo), ZoneState::Undecided);
  }
  // A choice naming the choice zone itself does not recurse.
  fields[0].choices[0].idZone = choice->id;
  EXPECT_EQ(choice->GetZoneState({12, 12}, {}, {}, nullptr, &info), ZoneState::Undecided);
}

TEST(CombinedPointsText, EncodeDecodeAndBadTokens) {
  CDrawBoolean zone;
  zone.SetCombination(vx::kCombineIntersection, {3, -4});
  EXPECT_EQ(zone.GetPointsText(), "0;1;2;3;-4;");
  const auto rows = vx::testing::ReadDataTable("combined_points_texts.tsv");
  ASSERT_FALSE(rows.empty());
  for (const auto& row : rows) {
    CDrawBoolean copy;
    copy.SetCombination(vx::kCombineIntersection, {9});
    copy.SetPointsText(row[0], 0, 0);
    EXPECT_EQ(copy.GetPointsText(), row[1]) << row[0];
  }
  CDrawBoolean choice;
  choice.SetPointsText("0;2;1;7;", 0, 0);
  EXPECT_TRUE(choice.IsChoice());
  EXPECT_EQ(choice.Components(), std::vector<int>{7});
}

}  // namespace
