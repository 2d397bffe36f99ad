#include "zones/zone_dialog.h"

#include <gtest/gtest.h>

#include "base/messages.h"
#include "support/fakes.h"
#include "zones/draw_rect.h"

namespace {

using vx::ZoneSettings;
using vx::testing::ScriptedAsker;

class ZoneDialog : public ::testing::Test {
 protected:
  void SetUp() override {
    zone = set.AddZone(std::make_unique<vx::CDrawRect>(vx::kKindRectangle, vx::PixelRect{100, 100, 150, 150}));
    settings = vx::SettingsOf(*zone);
  }
  int Confirm(double mmPerPixel = 0.0) {
    return vx::ConfirmZoneSettings(set, *zone, settings, mmPerPixel, headDetection, asker);
  }
  vx::ZoneSet set;
  vx::CDrawObj* zone = nullptr;
  ZoneSettings settings;
  bool headDetection = false;
  ScriptedAsker asker;
};

TEST_F(ZoneDialog, NameAndPercentagesByRule) {
  settings.name = "  ";
  EXPECT_EQ(Confirm(), vx::msg::kEnterName);
  settings.name = "Corner";
  settings.detectInZone = vx::kDetectBody;
  settings.percentEntry = 60;
  settings.percentExit = 61;
  EXPECT_EQ(Confirm(), vx::msg::kExitAboveEntry);
  settings.detectInZone = vx::kDetectCentre;
  EXPECT_EQ(Confirm(), 0);
  EXPECT_EQ(settings.percentExit, 60);  // silently lowered
}

TEST_F(ZoneDialog, HeadRuleAsksToSwitchHeadDetectionOn) {
  settings.detectInZone = vx::kDetectHead;
  asker.answers = {vx::Answer::No};
  EXPECT_EQ(Confirm(), vx::msg::kSwitchHeadDetectionOn);
  EXPECT_FALSE(headDetection);
  asker.answers = {vx::Answer::Yes};
  EXPECT_EQ(Confirm(), 0);
  EXPECT_TRUE(headDetection);
  ASSERT_EQ(asker.questions.size(), 2u);
  EXPECT_EQ(asker.questions[0].messageId, 826);
  EXPECT_EQ(Confirm(), 0);  // already on: no question
  EXPECT_EQ(asker.questions.size(), 2u);
}

TEST_F(ZoneDialog, ArenaAndRulerSkipTheEntryRules) {
  settings.isArena = true;
  settings.detectInZone = vx::kDetectBody;
  settings.percentExit = 90;
  EXPECT_EQ(Confirm(), 0);
  vx::ApplyZoneSettings(set, *zone, settings);
  EXPECT_EQ(set.MainArena(), zone);
  EXPECT_EQ(zone->detectInZone, vx::kDetectCentre);
}

TEST_F(ZoneDialog, HiddenZonesMustKeepApart) {
  auto* other = set.AddZone(std::make_unique<vx::CDrawRect>(vx::kKindRectangle, vx::PixelRect{160, 100, 200, 150}));
  other->hidden = 1;
  other->hiddenDistance = 2;  // mm
  other->hiddenUnit = 1;
  settings.hidden = true;
  settings.hiddenDistance = 2;
  settings.hiddenUnit = 1;
  // 1 mm per pixel: limits of 2 + 1 = 3 pixels each. The zones are 9 pixels apart
  // (151 .. 159 free): 3 + 3 pixels of growth leave them apart.
  EXPECT_EQ(vx::HiddenLimitPixels(2, 1, 1.0), 3);
  EXPECT_EQ(Confirm(1.0), 0);
  // 0.4 mm per pixel: 5 + 1 = 6 pixels each: they meet.
  EXPECT_EQ(vx::HiddenLimitPixels(2, 1, 0.4), 6);
  EXPECT_EQ(Confirm(0.4), vx::msg::kHiddenZonesTooClose);
  // Uncalibrated protocol: no check.
  EXPECT_EQ(Confirm(0.0), 0);
  EXPECT_EQ(vx::HiddenLimitPixels(2, 1, 0.0), 0);
  // Centimetres count ten times as much.
  EXPECT_EQ(vx::HiddenLimitPixels(1, 0, 2.0), 6);
}

}  // namespace

namespace {

TEST(SecondaryArenas, NamesTheStoredTextCannotCarryAreRefused) {
  vx::ZoneSet set;
  EXPECT_TRUE(vx::AddSecondaryArena(set, "Left", {320, 480, 0, 0}));
  EXPECT_EQ(set.secondaryArenas.back().rect, (vx::PixelRect{0, 0, 320, 480}));
  for (const char* name : {"", "A|B", "A;B"}) EXPECT_FALSE(vx::AddSecondaryArena(set, name, {0, 0, 5, 5})) << name;
  EXPECT_FALSE(vx::AddSecondaryArena(set, "Flat", {0, 0, 5, 0}));
  EXPECT_EQ(set.secondaryArenas.size(), 1u);
}

}  // namespace
