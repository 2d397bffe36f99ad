#include "zones/draw_poly.h"

#include <opencv2/imgproc.hpp>
#include <polyclipping/clipper.hpp>

#include <algorithm>
#include <cmath>

#include "base/text.h"
#include "zones/shape_raster.h"

namespace vx {

namespace {

// OpenCV's polygon filling keeps coordinates in 64-bit fixed point; vertices farther than
// this from the mask are brought in (they lie far outside any image).
constexpr int64_t kFillLimit = int64_t{1} << 24;

std::vector<cv::Point> Shifted(const std::vector<cv::Point>& vertices, cv::Point origin) {
  std::vector<cv::Point> shifted;
  shifted.reserve(vertices.size());
  for (const cv::Point& v : vertices) {
    shifted.emplace_back(static_cast<int>(std::clamp<int64_t>(int64_t{v.x} - origin.x, -kFillLimit, kFillLimit)),
                         static_cast<int>(std::clamp<int64_t>(int64_t{v.y} - origin.y, -kFillLimit, kFillLimit)));
  }
  return shifted;
}

}  // namespace

std::vector<std::vector<cv::Point>> OffsetPolygon(const std::vector<cv::Point>& vertices,
                                                  double delta) {
  std::vector<std::vector<cv::Point>> result;
  ClipperLib::Path path;
  for (const cv::Point& v : vertices) path.emplace_back(v.x, v.y);
  ClipperLib::Paths solution;
  try {
    ClipperLib::ClipperOffset offset(2.0, 0.25);
    offset.AddPath(path, ClipperLib::jtMiter, ClipperLib::etClosedPolygon);
    offset.Execute(solution, delta);
  } catch (...) {  // the offsetter throws on coordinates beyond its range
    return result;
  }
  for (const ClipperLib::Path& p : solution) {
    std::vector<cv::Point> polygon;
    for (const ClipperLib::IntPoint& q : p) {
      polygon.emplace_back(ClampToInt(q.X), ClampToInt(q.Y));
    }
    result.push_back(std::move(polygon));
  }
  return result;
}

CDrawPoly::CDrawPoly(std::vector<cv::Point> vertices) : CDrawObj({}) {
  pen.color = DefaultZoneColor(0);
  vertices_ = std::move(vertices);
  FitPosition();
}

void CDrawPoly::FitPosition() {
  if (vertices_.empty()) {
    position_ = {};
    return;
  }
  PixelRect r{vertices_[0].x, vertices_[0].y, vertices_[0].x, vertices_[0].y};
  for (const cv::Point& v : vertices_) {
    r.left = std::min(r.left, v.x);
    r.top = std::min(r.top, v.y);
    r.right = std::max(r.right, v.x);
    r.bottom = std::max(r.bottom, v.y);
  }
  position_ = r;
}

void CDrawPoly::SetVertices(std::vector<cv::Point> vertices) {
  vertices_ = std::move(vertices);
  FitPosition();
  Changed();
}

std::string CDrawPoly::GetPointsText() const {
  std::string text = Format("%d;%d;%d;%d|%d|", position_.left, position_.top, position_.right,
                            position_.bottom, static_cast<int>(vertices_.size()));
  for (const cv::Point& v : vertices_) text += Format("%d;%d|", v.x, v.y);
  return text;
}

void CDrawPoly::SetPointsText(const std::string& text, int, int) {
  const std::vector<std::string> tokens = Split(text, '|', false);
  if (!tokens.empty()) {
    const std::vector<std::string> parts = Split(tokens[0], ';', true);
    int* fields[] = {&position_.left, &position_.top, &position_.right, &position_.bottom};
    for (size_t i = 0; i < 4 && i < parts.size(); ++i) {
      if (!parts[i].empty()) *fields[i] = ToInt(parts[i]);
    }
  }
  if (tokens.size() >= 2) {
    // A count larger than the vertices present reads only those present: a damaged count
    // must not make up vertices (or memory).
    const int64_t count = std::clamp<int64_t>(ToInt(tokens[1]), 0, static_cast<int64_t>(tokens.size()) - 2);
    vertices_.clear();
    for (int64_t i = 0; i < count; ++i) {
      const std::vector<std::string> xy = Split(tokens[static_cast<size_t>(i) + 2], ';', true);
      vertices_.emplace_back(xy.size() > 0 ? ToInt(xy[0]) : 0, xy.size() > 1 ? ToInt(xy[1]) : 0);
    }
  }
  Changed();
}

PixelRegion CDrawPoly::BuildRegion() const { return PolygonRegion(vertices_); }

PixelRegion CDrawPoly::BuildOuterRegion(int margin) const {
  if (margin == 0) return PolygonRegion(vertices_);
  return PolygonsRegion(OffsetPolygon(vertices_, margin));
}

void CDrawPoly::MoveTo(const PixelRect& rect) {
  const PixelRect old = position_;
  const double fx = old.Width() != 0 ? static_cast<double>(rect.Width()) / old.Width() : 1.0;
  const double fy = old.Height() != 0 ? static_cast<double>(rect.Height()) / old.Height() : 1.0;
  for (cv::Point& v : vertices_) {
    v.x = ClampToInt(rect.left + int64_t{SaturateToInt(std::nearbyint((int64_t{v.x} - old.left) * fx))});
    v.y = ClampToInt(rect.top + int64_t{SaturateToInt(std::nearbyint((int64_t{v.y} - old.top) * fy))});
  }
  position_ = rect;
  Changed();
}

double CDrawPoly::DistanceFrom(cv::Point p, cv::Point, const ArenaAdjustment*, const ZoneTestInfo*,
                               bool) const {
  if (vertices_.empty()) return 0.0;
  double best = INFINITY;
  for (size_t i = 0; i < vertices_.size(); ++i) {
    const cv::Point& a = vertices_[i];
    const cv::Point& b = vertices_[(i + 1) % vertices_.size()];
    best = std::min(best, DistanceToSegment({static_cast<double>(p.x), static_cast<double>(p.y)},
                                            {static_cast<double>(a.x), static_cast<double>(a.y)},
                                            {static_cast<double>(b.x), static_cast<double>(b.y)}));
  }
  return best;
}

void CDrawPoly::EraseFromBodyMask(cv::Mat& mask, cv::Point origin) const {
  if (vertices_.empty()) return;
  cv::fillPoly(mask, std::vector<std::vector<cv::Point>>{Shifted(vertices_, origin)}, cv::Scalar(0),
               cv::LINE_8);
}

void CDrawPoly::DrawShape(cv::Mat& mask, int angle, cv::Point centre, uint8_t value,
                          cv::Point origin) const {
  if (vertices_.empty()) return;
  std::vector<cv::Point> turned(vertices_);
  if (angle != 0) {
    for (cv::Point& v : turned) v = RotateAbout(v, centre, angle);
  }
  cv::fillPoly(mask, std::vector<std::vector<cv::Point>>{Shifted(turned, origin)}, cv::Scalar(value),
               cv::LINE_8);
}

void CDrawPoly::DrawOnImage(cv::Mat& image) const {
  if (image.empty() || !pen.enabled || vertices_.empty()) return;
  const cv::Scalar color(pen.color >> 16 & 0xFF, pen.color >> 8 & 0xFF, pen.color & 0xFF);
  cv::polylines(image, std::vector<std::vector<cv::Point>>{Shifted(vertices_, {0, 0})}, true, color,
                std::clamp(pen.widthX, 1, 64));
}

void CDrawPoly::Scale(double fx, double fy) {
  for (cv::Point& v : vertices_) {
    v = {SaturateToInt(std::nearbyint(v.x * fx)), SaturateToInt(std::nearbyint(v.y * fy))};
  }
  CDrawObj::Scale(fx, fy);
}

bool CDrawPoly::CanRotate(int, bool* mustBecomePolygon) const {
  if (mustBecomePolygon != nullptr) *mustBecomePolygon = false;
  return true;
}

void CDrawPoly::Rotate(int angle) {
  const cv::Point c = GetCenter();
  for (cv::Point& v : vertices_) v = RotateAbout(v, c, angle);
  FitPosition();
  Changed();
}

void CDrawPoly::Flip(bool horizontal) {
  const PixelRect r = position_.Normalized();
  for (cv::Point& v : vertices_) {
    if (horizontal) v.x = ClampToInt(int64_t{r.left} + r.right - v.x);
    else v.y = ClampToInt(int64_t{r.top} + r.bottom - v.y);
  }
  Changed();
}

bool CDrawPoly::CanInflate(bool grow, int n) const {
  if (vertices_.size() < 4) return false;
  const auto result = OffsetPolygon(vertices_, grow ? n : -n);
  return result.size() == 1 && result[0].size() >= 3;
}

bool CDrawPoly::Inflate(bool grow, int n) {
  if (vertices_.size() < 3 || !CanInflate(grow, n)) return false;
  SetVertices(OffsetPolygon(vertices_, grow ? n : -n)[0]);
  return true;
}

ZoneDifference CDrawPoly::Differs(const CDrawObj& other) const {
  ZoneDifference d = CDrawObj::Differs(other);
  const auto* poly = dynamic_cast<const CDrawPoly*>(&other);
  if (poly == nullptr || poly->vertices_ != vertices_) d.affectsResults = d.differs = true;
  return d;
}

std::string CDrawPoly::HiddenKeyShape() const {
  std::string key = Format("%d,%d,%d", id, kKindPolygon, static_cast<int>(vertices_.size()));
  for (const cv::Point& v : vertices_) key += Format(",%d,%d", v.x, v.y);
  return key;
}

}  // namespace vx
