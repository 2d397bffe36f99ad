// The per-test arena adjustment: its stored text, the mapping between the protocol's frame and
// the test's, and the zones it gives the test.
#include <gtest/gtest.h>

#include "../../tests/support/zone_builder.h"
#include "zones/adjusted_zones.h"
#include "zones/calibration.h"
#include "zones/draw_boolean.h"
#include "zones/draw_poly.h"

namespace {

using vx::PixelRect;

// Zone 1 the arena (0, 0, 100, 100), zone 2 a movable rectangle.
vx::ZoneSet ProtocolZones() {
  vx::ZoneSet set = vx::testing::ArenaSet(640, 480, {0, 0, 100, 100});
  vx::testing::AddZone(set, "Object", {40, 40, 50, 50})->movable = 1;
  return set;
}

TEST(ArenaAdjustment, MapsRectanglesAndPointsBetweenFrames) {
  const vx::AdjustmentReading read = vx::ParseAdjustment("2|0|0|100|100|10|20|210|220|0|", ProtocolZones());
  const vx::TestAdjustment& a = read.adjustment;
  EXPECT_EQ(read.problem, "");
  EXPECT_DOUBLE_EQ(a.scaleX, 2.0);
  EXPECT_DOUBLE_EQ(a.scaleY, 2.0);
  // Width 10 * 2 + 0.5 = 20.5 rounds to 20 (halves to even).
  EXPECT_EQ(a.MapRectToTest({50, 50, 60, 60}), (PixelRect{110, 120, 130, 140}));
  EXPECT_EQ(a.MapPointToProtocol({110, 120}), cv::Point(50, 50));
  // The offset rounds halves away from zero: (3 - 0) * 1.5 = 4.5 gives 5, -4.5 gives -5.
  vx::TestAdjustment half;
  half.reference = {0, 0, 100, 100};
  half.adjusted = {0, 0, 150, 150};
  half.Settle();
  EXPECT_EQ(half.MapRectToTest({3, -3, 5, 5}), (PixelRect{5, -5, 9, 7}));  // 3.5 -> 4, 12.5 -> 12
}

TEST(ArenaAdjustment, ReadsStoredTextsAsTheProgramMeasuresThem) {
  struct Case {
    const char* text;
    int angle;
    PixelRect adjusted;
    bool problem;
  } cases[] = {
      {"", 0, {}, false},
      {"1|0|0|100|100|0|0|100|100|60|", 45, {0, 0, 100, 100}, true},   // clamped
      {"1|0|0|100|100|0|0|100|100|-90|", -45, {0, 0, 100, 100}, true},
      {"1|0|0|0|0|0|0|0|0|7|", 7, {0, 0, 0, 0}, false},                   // angle kept
      {"1|0|0|100|100|0|0|0|0|7|", 7, {0, 0, 100, 100}, false},           // adjusted = reference
      {"0|0|0|100|100|5|5|105|105|", 0, {5, 5, 105, 105}, false},          // no angle before 1
      {"1|0|0|100|100|0|0|0|0|0|", 0, {}, false},                          // nothing: emptied
  };
  for (const Case& c : cases) {
    const vx::AdjustmentReading read = vx::ParseAdjustment(c.text, ProtocolZones());
    EXPECT_EQ(read.adjustment.angle, c.angle) << c.text;
    EXPECT_EQ(read.adjustment.adjusted, c.adjusted) << c.text;
    EXPECT_EQ(!read.problem.empty(), c.problem) << c.text << ": " << read.problem;
  }
}

TEST(ArenaAdjustment, MalformedTextGivesNoAdjustmentAndSaysWhy) {
  const char* bad[] = {
      "2|0|0|100|100|10|20|210|x|0|",         // not a number
      "2|0|0|100|100|10|20|210|",             // short
      "2|0|0|100|100|10|20|210|220|0|2;1;2|",  // a zone position with three numbers
      "2|0|0|100|100|10|20|210|220|0|2;1;2;3;4;z|",
      "2|0|0|100|100|10|20|210|220|99999999999|",
      "abc",
      "|||",
  };
  for (const char* text : bad) {
    const vx::AdjustmentReading read = vx::ParseAdjustment(text, ProtocolZones());
    EXPECT_FALSE(read.problem.empty()) << text;
    EXPECT_FALSE(read.adjustment.IsAdjusted()) << text;
    EXPECT_TRUE(read.adjustment.objects.empty()) << text;
  }
  // Well-formed but not what this program writes: used as the Part says, yet reported.
  const char* odd[] = {
      "7|0|0|100|100|10|20|210|220|0|",
      "2|0|0|100|100|10|20|210|220|0|9;1;2;3;4;0|",   // zone 9 does not exist: dropped
      "2|0|0|100|100|10|20|210|220|0|1;1;2;3;4;0|",   // the arena is not movable
      "2|0|0|100|100|10|20|210|220|0||junk|",
  };
  for (const char* text : odd) {
    const vx::AdjustmentReading read = vx::ParseAdjustment(text, ProtocolZones());
    EXPECT_FALSE(read.problem.empty()) << text;
    EXPECT_TRUE(read.adjustment.IsAdjusted()) << text;
  }
}

TEST(ArenaAdjustment, TextRoundTripsAndDropsDeletedZones) {
  vx::ZoneSet zones = ProtocolZones();
  const std::string text = "2|0|0|100|100|10|20|210|220|-5|2;40;40;60;30;3|";
  const vx::AdjustmentReading read = vx::ParseAdjustment(text, zones);
  EXPECT_EQ(read.problem, "");
  EXPECT_EQ(vx::FormatAdjustment(read.adjustment, zones), text);
  ASSERT_TRUE(zones.RemoveZone(2));
  EXPECT_EQ(vx::FormatAdjustment(read.adjustment, zones), "2|0|0|100|100|10|20|210|220|-5|");
  EXPECT_EQ(vx::FormatAdjustment(vx::TestAdjustment(), zones), "");
}

TEST(AdjustZones, EveryKindFollowsTheArena) {
  vx::ZoneSet set = ProtocolZones();  // arena 1, movable object 2
  vx::testing::AddZone(set, "Round", {20, 20, 30, 40}, vx::kKindEllipse);                      // 3
  set.AddZone(std::make_unique<vx::CDrawPoly>(std::vector<cv::Point>{{10, 10}, {30, 10}, {10, 30}}));  // 4
  set.AddZone(std::make_unique<vx::CDrawRect>(vx::kKindLine, PixelRect{90, 90, 70, 80}));        // 5
  auto both = std::make_unique<vx::CDrawBoolean>();
  both->SetCombination(0, {3, 4});
  vx::CDrawObj* combined = set.AddZone(std::move(both));                                         // 6
  vx::CDrawObj* ruler = set.AddZone(std::make_unique<vx::CDrawRect>(vx::kKindRuler, PixelRect{0, 0, 50, 0}));
  set.rulerLength = 50;
  set.secondaryArenas.push_back({"Right", {50, 0, 100, 100}});
  const int64_t combinedArea = combined->GetArea();

  // Moved by (10, 20), doubled; the object placed at (60, 30) in the protocol's frame.
  vx::AdjustZones(set, vx::ParseAdjustment("2|0|0|100|100|10|20|210|220|0|2;40;40;60;30;0|", set).adjustment);
  EXPECT_EQ(set.MainArena()->GetRect(), (PixelRect{10, 20, 210, 220}));
  EXPECT_EQ(set.FindZone(2)->GetRect(), (PixelRect{130, 80, 150, 100}));
  EXPECT_EQ(set.FindZone(3)->GetRect(), (PixelRect{50, 60, 70, 100}));
  EXPECT_EQ(set.FindZone(4)->GetRect(), (PixelRect{30, 40, 70, 80}));
  EXPECT_EQ(dynamic_cast<const vx::CDrawPoly&>(*set.FindZone(4)).Vertices()[2], cv::Point(30, 80));
  EXPECT_EQ(set.FindZone(5)->GetRect(), (PixelRect{190, 200, 150, 180}));  // direction kept
  EXPECT_NEAR(static_cast<double>(combined->GetArea()), 4.0 * combinedArea, 0.1 * combinedArea);
  EXPECT_EQ(ruler->GetRect(), (PixelRect{10, 20, 110, 20}));
  EXPECT_DOUBLE_EQ(vx::MmPerPixel(set), 0.5);
  EXPECT_EQ(set.ArenaRect(0), (PixelRect{110, 20, 210, 220}));
}

TEST(AdjustZones, AnUnmovableZoneIgnoresAPositionAndRotationLeavesZonesInPlace) {
  vx::ZoneSet set = ProtocolZones();
  set.FindZone(2)->movable = 0;
  vx::AdjustZones(set, vx::ParseAdjustment("2|0|0|100|100|0|0|100|100|30|2;40;40;60;30;0|", set).adjustment);
  EXPECT_EQ(set.FindZone(2)->GetRect(), (PixelRect{40, 40, 50, 50}));
  EXPECT_EQ(set.MainArena()->GetRect(), (PixelRect{0, 0, 100, 100}));
}

}  // namespace
