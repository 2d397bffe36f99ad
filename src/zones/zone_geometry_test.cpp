#include "zones/zone_geometry.h"

#include <gtest/gtest.h>

#include "zones/draw_poly.h"
#include "zones/draw_rect.h"

namespace {

TEST(ZoneGeometry, NamedFormsGiveTheStoredTextOrTheReason) {
  struct Case {
    const char* form;
    const char* value;
    const char* points;  // expected stored text; empty when refused
    const char* reason;  // a part of the refusal
  } cases[] = {
      {"rect", "100,50,300,250", "100;50;300;250", ""},
      {"ellipse", " 99, 25 ,518,444", "99;25;518;444", ""},
      {"line", "500,10,20,10", "500;10;20;10", ""},  // a line keeps its direction
      {"polygon", "10,10;90,10;50,80", "10;10;90;80|3|10;10|90;10|50;80|", ""},
      {"rect", "300,50,100,250", "", "corners are not in order"},
      {"ellipse", "100,50,300,50", "", "corners are not in order"},
      {"line", "5,5,5,5", "", "same point"},
      {"rect", "100,50,640,250", "", "x = 640 is off the image (x from 0 to 639)"},
      {"rect", "-1,50,100,250", "", "off the image"},
      {"polygon", "10,10;90,480;50,80", "", "y = 480"},
      {"rect", "1,2,3", "", "not four numbers"},
      {"rect", "1,2,3,4.5", "", "not a whole number"},
      {"rect", "1,2,3,nan", "", "not a whole number"},
      {"rect", "1,2,3,99999999999", "", "not a whole number"},
      {"polygon", "10,10;90,10", "", "at least three"},
      {"polygon", "10,10;90;50,80", "", "not a vertex"},
      {"polygon", "", "", "at least three"},
  };
  for (const Case& c : cases) {
    const vx::NamedGeometry read = vx::ReadNamedGeometry(*vx::FindGeometryForm(c.form), c.value, 640, 480);
    EXPECT_EQ(read.pointsText, c.points) << c.form << ' ' << c.value;
    EXPECT_NE(read.problem.find(c.reason), std::string::npos) << c.value << ": " << read.problem;
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
