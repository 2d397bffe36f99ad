#include "zones/zone_geometry.h"

#include "base/text.h"
#include "zones/draw_poly.h"
#include "zones/draw_rect.h"

namespace vx {

namespace {

// One pixel coordinate; axis is "x" or "y", limit the image's width or height (0: unknown).
std::string ReadCoordinate(const std::string& text, const char* axis, int limit, int& value) {
  if (!TryParseInt(Trim(text), value)) {
    return Format("'%s' is not a whole number of pixels", text.c_str());
  }
  if (value < 0 || (limit > 0 && value >= limit)) {
    return limit > 0 ? Format("%s = %d is off the image (%s from 0 to %d)", axis, value, axis, limit - 1)
                     : Format("%s = %d is off the image (%s from 0 up)", axis, value, axis);
  }
  return "";
}

// Points "x,y" in sequence, alternately x and y.
std::string ReadPoints(const std::vector<std::string>& numbers, int width, int height,
                       std::vector<cv::Point>& points) {
  for (size_t i = 0; i + 1 < numbers.size(); i += 2) {
    cv::Point point;
    if (std::string problem = ReadCoordinate(numbers[i], "x", width, point.x); !problem.empty()) return problem;
    if (std::string problem = ReadCoordinate(numbers[i + 1], "y", height, point.y); !problem.empty()) return problem;
    points.push_back(point);
  }
  return "";
}

std::string ReadBox(const std::string& value, int width, int height, PixelRect& rect) {
  const std::vector<std::string> numbers = Split(value, ',', true);
  if (numbers.size() != 4) return Format("'%s' is not four numbers", value.c_str());
  std::vector<cv::Point> corners;
  if (std::string problem = ReadPoints(numbers, width, height, corners); !problem.empty()) return problem;
  rect = {corners[0].x, corners[0].y, corners[1].x, corners[1].y};
  return "";
}

std::string ReadPolygon(const std::string& value, int width, int height, std::vector<cv::Point>& vertices) {
  for (const std::string& vertex : Split(value, ';', false)) {
    const std::vector<std::string> numbers = Split(vertex, ',', true);
    if (numbers.size() != 2) return Format("'%s' is not a vertex X,Y", vertex.c_str());
    if (std::string problem = ReadPoints(numbers, width, height, vertices); !problem.empty()) return problem;
  }
  if (vertices.size() < 3) return "a polygon needs at least three vertices";
  return "";
}

NamedGeometry Refused(std::string problem) {
  NamedGeometry refused;
  refused.problem = std::move(problem);
  return refused;
}

}  // namespace

const std::vector<GeometryForm>& GeometryForms() {
  static const std::vector<GeometryForm> kForms = {{"rect", "L,T,R,B", kKindRectangle},
                                                   {"ellipse", "L,T,R,B", kKindEllipse},
                                                   {"polygon", "X,Y;X,Y;...", kKindPolygon},
                                                   {"line", "X1,Y1,X2,Y2", kKindLine}};
  return kForms;
}

const GeometryForm* FindGeometryForm(const std::string& name) {
  for (const GeometryForm& form : GeometryForms()) {
    if (name == form.name) return &form;
  }
  return nullptr;
}

NamedGeometry ReadNamedGeometry(const GeometryForm& form, const std::string& value, int imageWidth,
                                int imageHeight) {
  if (form.kind == kKindPolygon) {
    std::vector<cv::Point> vertices;
    if (std::string problem = ReadPolygon(value, imageWidth, imageHeight, vertices); !problem.empty()) {
      return Refused(problem);
    }
    return {form.kind, CDrawPoly(vertices).GetPointsText(), ""};
  }
  PixelRect rect;
  if (std::string problem = ReadBox(value, imageWidth, imageHeight, rect); !problem.empty()) return Refused(problem);
  if (form.kind == kKindLine) {
    if (rect.left == rect.right && rect.top == rect.bottom) return Refused("the two ends of the line are the same point");
  } else if (rect.right <= rect.left || rect.bottom <= rect.top) {
    return Refused(Format("the corners are not in order: right (%d) must be greater than left (%d) and bottom (%d) "
                          "greater than top (%d)",
                          rect.right, rect.left, rect.bottom, rect.top));
  }
  return {form.kind, CDrawRect(form.kind, rect).GetPointsText(), ""};
}

std::string NamedGeometryOf(const CDrawObj& zone) {
  if (const auto* poly = dynamic_cast<const CDrawPoly*>(&zone)) {
    std::string text = "polygon ";
    for (const cv::Point& v : poly->Vertices()) text += Format("%s%d,%d", text.back() == ' ' ? "" : ";", v.x, v.y);
    return text;
  }
  for (const GeometryForm& form : GeometryForms()) {
    if (form.kind != zone.GetTypeRect() || form.kind == kKindPolygon || zone.isRuler) continue;
    const PixelRect r = zone.GetRect();
    return Format("%s %d,%d,%d,%d", form.name, r.left, r.top, r.right, r.bottom);
  }
  return "";
}

}  // namespace vx
