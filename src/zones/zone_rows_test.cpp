#include "zones/zone_rows.h"

#include <gtest/gtest.h>

#include "db/protocol_store.h"
#include "support/data_table.h"
#include "support/experiment_fixture.h"
#include "zones/calibration.h"
#include "zones/draw_boolean.h"
#include "zones/draw_poly.h"
#include "zones/draw_rect.h"

namespace {

using vx::PixelRect;
using vx::ZoneRow;
using vx::ZoneSet;

ZoneSet SetOf(int width, int height) {
  ZoneSet set;
  set.imageWidth = width;
  set.imageHeight = height;
  return set;
}

TEST(ZoneRows, ClassChoiceAndDetectionRules) {
  ZoneSet set = SetOf(640, 480);
  ZoneRow poly{.id = 1, .bPoly = 1, .typeRect = 5, .points = "0;0;9;9|3|0;0|9;0|0;9|"};
  ZoneRow bad{.id = 2, .typeRect = 0, .points = "1;1;5;5", .detectInZone = 7};
  ZoneRow arena{.id = 3, .bArena = 1, .typeRect = 2, .points = "0;0;0;0", .detectInZone = 2};
  ZoneRow combined{.id = 4, .typeRect = 5, .points = "0;1;2;1;-2;", .detectInZone = 1};
  vx::LoadZones(set, {poly, bad, arena, combined});
  ASSERT_EQ(set.Zones().size(), 4u);
  EXPECT_TRUE(set.Zones()[0]->IsPolygon());  // bPoly wins over TypeRect 5
  EXPECT_EQ(set.Zones()[1]->detectInZone, vx::kDetectCentre);
  EXPECT_EQ(set.Zones()[2]->detectInZone, vx::kDetectCentre);  // the arena never has a rule
  EXPECT_TRUE(set.Zones()[2]->IsEllipse());
  EXPECT_EQ(set.Zones()[2]->GetRect(), (PixelRect{0, 0, 639, 479}));  // single point expanded
  EXPECT_EQ(set.MainArena(), set.Zones()[2].get());
  EXPECT_TRUE(set.Zones()[3]->IsCombined());
  EXPECT_EQ(set.Zones()[3]->detectInZone, vx::kDetectHead);
}

TEST(ZoneRows, LineWidthRule) {
  ZoneSet set = SetOf(640, 480);
  vx::LoadZones(set, {ZoneRow{.id = 1, .points = "1;1;9;9", .lineWidth = 0},
                      ZoneRow{.id = 2, .points = "1;1;9;9", .lineWidth = 4},
                      ZoneRow{.id = 3, .points = "1;1;9;9", .lineWidth = -3}});
  const auto& z = set.Zones();
  EXPECT_EQ(std::make_tuple(z[0]->pen.enabled, z[0]->pen.widthX), std::make_tuple(false, 2));
  EXPECT_EQ(std::make_tuple(z[1]->pen.enabled, z[1]->pen.widthX, z[1]->pen.widthY), std::make_tuple(true, 4, 4));
  EXPECT_FALSE(z[2]->pen.enabled);
}

TEST(ZoneRows, SavingWritesTheColumnRules) {
  ZoneSet set = SetOf(640, 480);
  set.SetImageSize(640, 480, true, false);
  auto* arena = set.AddZone(std::make_unique<vx::CDrawRect>(vx::kKindRectangle, PixelRect{0, 0, 600, 400}));
  set.SetMainArena(arena);
  arena->movable = 1;  // never saved as movable
  auto* zone = set.AddZone(std::make_unique<vx::CDrawRect>(vx::kKindRectangle, PixelRect{1, 2, 3, 4}));
  zone->movable = 1;
  const std::vector<ZoneRow> rows = vx::SaveZones(set);
  ASSERT_EQ(rows.size(), 3u);
  EXPECT_EQ(std::tie(rows[0].name, rows[0].typeRect), std::make_tuple("Ruler line", 4));
  EXPECT_EQ(std::tie(rows[1].bArena, rows[1].bMovable), std::make_tuple(1, 0));
  EXPECT_EQ(std::tie(rows[2].points, rows[2].bMovable, rows[2].hiddenZone), std::make_tuple("1;2;3;4", 1, "0|0|5|0"));
}

auto Columns(const ZoneRow& r) {
  return std::tie(r.id, r.name, r.bArena, r.bPoly, r.typeRect, r.points, r.lineColor, r.lineWidth, r.bkgColor,
                  r.bkgStyle, r.bkgHatch, r.bkgOutside, r.detectInZone, r.percentEntry, r.percentExit,
                  r.hiddenZone, r.bMovable);
}

// Every stored column of every zone (as each set saves it), and the pixels each zone covers.
void ExpectSameZones(const ZoneSet& a, const ZoneSet& b) {
  ASSERT_EQ(a.Zones().size(), b.Zones().size());
  const std::vector<ZoneRow> rowsA = vx::SaveZones(a), rowsB = vx::SaveZones(b);
  ASSERT_EQ(rowsA.size(), rowsB.size());
  for (size_t i = 0; i < rowsA.size(); ++i) EXPECT_EQ(Columns(rowsA[i]), Columns(rowsB[i])) << rowsA[i].name;
  for (size_t i = 0; i < a.Zones().size(); ++i) {
    const vx::CDrawObj& x = *a.Zones()[i];
    const vx::CDrawObj& y = *b.Zones()[i];
    EXPECT_EQ(typeid(x), typeid(y));
    EXPECT_EQ(x.isRuler, y.isRuler);
    EXPECT_EQ(x.Region(), y.Region()) << x.GetName();
    EXPECT_FALSE(x.Differs(y).affectsResults);
  }
}

TEST(ZoneRows, SetSurvivesProtocolRoundTripFieldByField) {
  ZoneSet set;
  set.SetImageSize(640, 480, true, false);
  set.mainArenaName = "Open field";
  set.secondaryArenas = {{"Left half", {0, 0, 320, 480}}, {"Right half", {320, 0, 640, 480}}};
  auto* arena = set.AddZone(std::make_unique<vx::CDrawRect>(vx::kKindEllipse, PixelRect{20, 10, 620, 470}));
  set.SetMainArena(arena);
  auto* corner = set.AddZone(std::make_unique<vx::CDrawRect>(vx::kKindRoundRect, PixelRect{30, 30, 130, 90}));
  corner->detectInZone = vx::kDetectBody;
  corner->percentEntry = 80;
  corner->percentExit = 20;
  corner->brush = {true, 2, 0x123456, 5};
  corner->bkgOutside = 1;
  corner->pen.color = 0xABCDEF;
  corner->pen.widthX = corner->pen.widthY = 3;
  auto* shelter = set.AddZone(std::make_unique<vx::CDrawPoly>(std::vector<cv::Point>{{400, 300}, {500, 310}, {450, 420}}));
  shelter->hidden = 1;
  shelter->hiddenDistance = 12;
  shelter->hiddenUnit = 1;
  shelter->movable = 1;
  shelter->detectInZone = vx::kDetectHead;
  auto combined = std::make_unique<vx::CDrawBoolean>();
  combined->SetCombination(vx::kCombineIntersection, {corner->id, -shelter->id});
  combined->pen.enabled = true;  // a disabled pen is stored as its width, read back enabled
  set.AddZone(std::move(combined));
  set.AddZone(std::make_unique<vx::CDrawRect>(vx::kKindLine, PixelRect{600, 5, 10, 400}));
  set.rulerLength = 25;
  set.rulerUnit = 0;

  vx::CProtocol protocol;
  vx::StoreZoneSet(set, protocol);
  EXPECT_EQ(protocol.width, 640);
  EXPECT_EQ(protocol.maxIdZone, set.maxIdZone);
  EXPECT_EQ(protocol.secArenas, "2|Open field|2|Left half;0;0;320;480|Right half;320;0;320;480");
  ZoneSet loaded;
  vx::LoadZoneSet(protocol, loaded);
  EXPECT_FALSE(loaded.modified);
  EXPECT_EQ(std::tie(loaded.imageWidth, loaded.imageHeight, loaded.maxIdZone, loaded.mainArenaName,
                     loaded.secondaryArenas, loaded.rulerLength, loaded.rulerUnit, loaded.rulerDx),
            std::tie(set.imageWidth, set.imageHeight, set.maxIdZone, set.mainArenaName, set.secondaryArenas,
                     set.rulerLength, set.rulerUnit, set.rulerDx));
  EXPECT_EQ(vx::MmPerPixel(loaded), vx::MmPerPixel(set));
  ExpectSameZones(set, loaded);
}

TEST(ZoneRows, ZonesSurviveTheExperimentFile) {
  vx::testing::ExperimentFixture fixture;
  vx::Experiment& experiment = fixture.experiment;
  ZoneSet set;
  set.SetImageSize(640, 480, true, false);
  set.AddZone(std::make_unique<vx::CDrawRect>(vx::kKindEllipse, PixelRect{5, 5, 300, 200}))->name = "L'arène \"A\"";
  set.AddZone(std::make_unique<vx::CDrawPoly>(std::vector<cv::Point>{{1, 1}, {90, 3}, {40, 70}}))->name = "a|b;c";
  set.mainArenaName = "Main; |";  // the separators cannot be stored: they are blanked
  vx::CProtocol protocol;
  protocol.name = "P";
  vx::StoreZoneSet(set, protocol);
  ASSERT_TRUE(vx::SaveProtocol(experiment, protocol, false));
  vx::CProtocol read;
  ASSERT_TRUE(vx::LoadProtocol(experiment, protocol.id, read));
  ZoneSet loaded;
  vx::LoadZoneSet(read, loaded);
  ExpectSameZones(set, loaded);
  EXPECT_EQ(loaded.mainArenaName, "Main   ");
}

TEST(SecArenas, ReadingRules) {
  ZoneSet set;
  vx::ParseSecArenas("2|Main|2|Left;0;0;320;480|Right;320;0;320;480", set);
  ASSERT_EQ(set.secondaryArenas.size(), 2u);
  EXPECT_EQ(set.secondaryArenas[1].rect, (PixelRect{320, 0, 640, 480}));  // width and height stored
  EXPECT_EQ(set.ArenaRect(1), (PixelRect{320, 0, 640, 480}));
  const auto rows = vx::testing::ReadDataTable("sec_arenas_texts.tsv");
  ASSERT_FALSE(rows.empty());
  for (const auto& row : rows) {
    vx::ParseSecArenas(row[0], set);
    EXPECT_EQ(set.mainArenaName, row[1]) << row[0];
    EXPECT_EQ(set.secondaryArenas.size(), std::stoul(row[2])) << row[0];
  }
  vx::ParseSecArenas("1|1|A;0;0;10;10", set);
  EXPECT_EQ(set.secondaryArenas[0].name, "A");
  vx::ParseSecArenas("2|Main|1|A;2147483647;0;5;5", set);  // no overflow
  EXPECT_EQ(set.secondaryArenas[0].rect.right, INT32_MAX);
}

}  // namespace
