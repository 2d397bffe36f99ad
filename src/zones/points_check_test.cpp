#include "zones/points_check.h"

#include <gtest/gtest.h>

#include "base/text.h"
#include "zones/draw_rect.h"

namespace {

TEST(PointsCheck, AcceptsTheStoredFormsAndRefusesWithTheReason) {
  vx::ZoneSet set;
  set.AddZone(std::make_unique<vx::CDrawRect>(vx::kKindRectangle, vx::PixelRect{0, 0, 9, 9}));
  const int line = set.AddZone(std::make_unique<vx::CDrawRect>(vx::kKindLine, vx::PixelRect{0, 0, 9, 9}))->id;
  struct Case {
    int kind;
    std::string text;
    std::string reason;  // a part of the message; empty: accepted
  } cases[] = {
      {vx::kKindRectangle, "-3;2;1;4", ""},
      {vx::kKindRectangle, "1;2;-3;4", "corners are reversed"},
      {vx::kKindEllipse, "1;9;3;4", "corners are reversed"},
      {vx::kKindLine, "9;9;1;1", ""},
      {vx::kKindLine, " 1; 2;3 ;4", ""},
      {vx::kKindPolygon, "0;0;9;9|3|0;0|9;0|0;9|", ""},
      {vx::kKindCombined, "0;1;2;1;-1;", ""},
      {vx::kKindRectangle, "1;2;3", "four integers"},
      {vx::kKindRectangle, "1;2;3;x", "four integers"},
      {vx::kKindEllipse, "1;2;3;99999999999", "four integers"},
      {vx::kKindRectangle, "", "four integers"},
      {vx::kKindPolygon, "", "must start"},
      {vx::kKindPolygon, "0;0;9;9|2|0;0|9;0|", "at least 3"},
      {vx::kKindPolygon, "0;0;9;9|0|", "at least 3"},
      {vx::kKindPolygon, "0;0;9;9|1|5;5|", "at least 3"},
      {vx::kKindPolygon, "0;0;9;9|4|0;0|9;0|0;9|", "says 4 but 3 vertices"},
      {vx::kKindPolygon, "0;0;9;9|3|0;0|9;x|0;9|", "vertex 2"},
      {vx::kKindPolygon, "0;0;9;9|many|0;0|9;0|0;9|", "not a number"},
      {vx::kKindCombined, "0;0;1;", "says 1 but 0 components"},
      {vx::kKindCombined, "0;0;0;", "at least one"},
      {vx::kKindCombined, "0;3;1;1;", "operation"},
      {vx::kKindCombined, "0;0;1;77;", "no zone has the id 77"},
      {vx::kKindCombined, "0;0;1;-77;", "no zone has the id 77"},
      {vx::kKindCombined, "0;0;1;0;", "no zone has the id 0"},
      {vx::kKindCombined, "0;0;2;1;", "says 2 but 1 components"},
      {vx::kKindCombined, "0;0;1;a;", "'a' is not a number"},
      {vx::kKindCombined, vx::Format("0;0;1;%d;", line), "has no area"},
      {9, "1;2;3;4", "unknown"},
  };
  for (const Case& c : cases) {
    const std::string problem = vx::CheckPointsText(c.kind, c.text, set);
    if (c.reason.empty()) {
      EXPECT_EQ(problem, "") << c.text;
    } else {
      EXPECT_NE(problem.find(c.reason), std::string::npos) << c.text << " -> " << problem;
    }
  }
}

}  // namespace
