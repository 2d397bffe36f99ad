// A zone's geometry in words a user types: a form name and its numbers ("rect" with
// "100,50,300,250"), turned into the stored Points text of that kind, and back.
//
// The stored texts carry a bounding box, a vertex count and separators a user should never
// have to write. The named forms hold only what a person measures on a frame; this is where
// both the command line and the desktop application's fields get the stored text from.
#pragma once

#include <string>
#include <vector>

#include "zones/draw_obj.h"

namespace vx {

struct GeometryForm {
  const char* name;    // "rect", "ellipse", "polygon", "line"
  const char* layout;  // how the numbers are written: "L,T,R,B"
  int kind;            // the shape kind it makes (TypeRect)
};

// The forms in the order they are offered.
const std::vector<GeometryForm>& GeometryForms();

// The form of that name, or nullptr.
const GeometryForm* FindGeometryForm(const std::string& name);

struct NamedGeometry {
  int kind = -1;
  std::string pointsText;  // the stored form, ready for SetPointsText
  std::string problem;     // why the value is refused ("" when accepted)
};

// Reads value in the layout of form. Coordinates are whole pixels on the image of
// imageWidth x imageHeight (both 0: the size is not known yet, any place from 0 up). Refused:
// a number that does not parse, a coordinate off the image, a rectangle or ellipse whose
// right edge is not right of its left edge (or bottom not below top) — corners typed
// backwards are a typing error, not a shape — a line whose ends coincide, a polygon of fewer
// than three vertices.
NamedGeometry ReadNamedGeometry(const GeometryForm& form, const std::string& value,
                                int imageWidth, int imageHeight);

// The named form of a zone's geometry, as the command that would make it: "rect 1,2,3,4",
// "polygon 1,2;3,4;5,6". Empty for the kinds without a named form (rounded rectangle,
// combined zone, ruler).
std::string NamedGeometryOf(const CDrawObj& zone);

}  // namespace vx
