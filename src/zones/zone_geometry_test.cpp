#include "zones/zone_geometry.h"

#include <gtest/gtest.h>

#include "support/data_table.h"
#include "zones/draw_poly.h"
#include "zones/draw_rect.h"

namespace {

TEST(ZoneGeometry, NamedFormsGiveTheStoredTextOrTheReason) {
  const auto rows = vx::testing::ReadDataTable("zone_named_geometry.tsv");
  ASSERT_FALSE(rows.empty());
  for (const auto& row : rows) {
    const vx::NamedGeometry read = vx::ReadNamedGeometry(*vx::FindGeometryForm(row[0]), row[1], 640, 480);
    EXPECT_EQ(read.pointsText, row[2]) << row[0] << ' ' << row[1];
    EXPECT_NE(read.problem.find(row[3]), std::string::npos) << row[1] << ": " << read.problem;
  }
  EXPECT_EQ(vx::FindGeometryForm("star"), nullptr);
}

TEST(ZoneGeometry, TheNamedFormOfAZoneReadsBackToItsStoredText) {
  const vx::CDrawRect ellipse(vx::kKindEllipse, {99, 25, 518, 444});
  const vx::CDrawPoly triangle({{10, 10}, {90, 10}, {50, 80}});
  for (const vx::CDrawObj* zone : {static_cast<const vx::CDrawObj*>(&ellipse), static_cast<const vx::CDrawObj*>(&triangle)}) {
    const std::string named = vx::NamedGeometryOf(*zone);
    const size_t space = named.find(' ');
    const vx::NamedGeometry read = vx::ReadNamedGeometry(*vx::FindGeometryForm(named.substr(0, space)), named.substr(space + 1), 0, 0);
    EXPECT_EQ(read.pointsText, zone->GetPointsText()) << named;
  }
  EXPECT_EQ(vx::NamedGeometryOf(vx::CDrawRect(vx::kKindRuler, {1, 2, 3, 4})), "");
}

}  // namespace
