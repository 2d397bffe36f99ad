#include "zones/points_check.h"

#include <gtest/gtest.h>

#include "support/data_table.h"
#include "zones/draw_rect.h"

namespace {

TEST(PointsCheck, AcceptsTheStoredFormsAndRefusesWithTheReason) {
  vx::ZoneSet set;
  set.AddZone(std::make_unique<vx::CDrawRect>(vx::kKindRectangle, vx::PixelRect{0, 0, 9, 9}));
  set.AddZone(std::make_unique<vx::CDrawRect>(vx::kKindLine, vx::PixelRect{0, 0, 9, 9}));
  const auto rows = vx::testing::ReadDataTable("zone_points_checks.tsv");
  ASSERT_FALSE(rows.empty());
  for (const auto& row : rows) {
    const std::string problem = vx::CheckPointsText(std::stoi(row[0]), row[1], set);
    if (row.size() < 3 || row[2].empty()) {
      EXPECT_EQ(problem, "") << row[1];
    } else {
      EXPECT_NE(problem.find(row[2]), std::string::npos) << row[1] << " -> " << problem;
    }
  }
}

}  // namespace
