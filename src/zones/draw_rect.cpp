#include "zones/draw_rect.h"

#include <opencv2/imgproc.hpp>

#include <algorithm>
#include <cmath>

#include "base/text.h"
#include "zones/draw_poly.h"
#include "zones/shape_raster.h"

namespace vx {

namespace {

// The constant the stored areas were computed with: pi in single precision as written,
// 3.1415925f (3.141592502593994), not the nearest float to pi.
constexpr float kAreaPi = 3.1415925f;

// Beyond this many pixels from the mask, OpenCV's sub-pixel drawing of an ellipse overflows;
// such zones lie far outside any image and are drawn from their region instead.
constexpr double kDrawLimit = 1 << 14;

cv::Scalar ColorOf(uint32_t colorRef) {
  return cv::Scalar(colorRef >> 16 & 0xFF, colorRef >> 8 & 0xFF, colorRef & 0xFF);
}

// A filled rectangle of int64 geometry, clipped to the mask first so that nothing overflows.
void FillRect(cv::Mat& mask, int64_t x, int64_t y, int64_t w, int64_t h, uint8_t value) {
  const int64_t x0 = std::max<int64_t>(x, 0), y0 = std::max<int64_t>(y, 0);
  const int64_t x1 = std::min<int64_t>(x + w, mask.cols), y1 = std::min<int64_t>(y + h, mask.rows);
  if (x1 <= x0 || y1 <= y0) return;
  cv::rectangle(mask, cv::Rect(static_cast<int>(x0), static_cast<int>(y0),
                               static_cast<int>(x1 - x0), static_cast<int>(y1 - y0)),
                cv::Scalar(value), cv::FILLED, cv::LINE_8);
}

// Truncates an area towards zero, saturating where damaged geometry gives absurd values.
int64_t TruncatedArea(double area) {
  return area >= 9.2e18 ? INT64_MAX : static_cast<int64_t>(area);
}

}  // namespace

double DistanceToEllipse(cv::Point2d p, cv::Point2d c, double a, double b) {
  if (a <= 0 || b <= 0) {  // a flat ellipse is the segment between its extreme points
    return DistanceToSegment(p, {c.x - a, c.y - b}, {c.x + a, c.y + b});
  }
  const double px = std::fabs(p.x - c.x);
  const double py = std::fabs(p.y - c.y);
  double tx = 0.707, ty = 0.707;
  for (int i = 0; i < 4; ++i) {
    const double x = a * tx, y = b * ty;
    const double ex = (a * a - b * b) * tx * tx * tx / a;
    const double ey = (b * b - a * a) * ty * ty * ty / b;
    const double r = std::hypot(x - ex, y - ey);
    const double q = std::hypot(px - ex, py - ey);
    if (q == 0) break;  // the point is the centre of curvature: every step stays put
    tx = std::clamp(((px - ex) * r / q + ex) / a, 0.0, 1.0);
    ty = std::clamp(((py - ey) * r / q + ey) / b, 0.0, 1.0);
    const double t = std::hypot(tx, ty);
    tx /= t;
    ty /= t;
  }
  return std::hypot(px - a * tx, py - b * ty);
}

CDrawRect::CDrawRect(int kind, const PixelRect& position) : CDrawObj(position) {
  pen.color = DefaultZoneColor(0);
  SetTypeRect(kind);
}

void CDrawRect::SetTypeRect(int kind) {
  kind_ = kind;
  if (kind == kKindRuler) isRuler = 1;
  Changed();
}

void CDrawRect::SetRoundness(int width, int height) {
  roundW_ = width;
  roundH_ = height;
  Changed();
}

std::string CDrawRect::GetPointsText() const {
  return Format("%d;%d;%d;%d", position_.left, position_.top, position_.right, position_.bottom);
}

void CDrawRect::SetPointsText(const std::string& text, int imageWidth, int imageHeight) {
  size_t cut[3];
  size_t from = 0;
  for (size_t& c : cut) {
    c = text.find(';', from);
    if (c == std::string::npos) return;
    from = c + 1;
  }
  int64_t left = ToInt(text.substr(0, cut[0]));
  int64_t top = ToInt(text.substr(cut[0] + 1, cut[1] - cut[0] - 1));
  int64_t right = ToInt(text.substr(cut[1] + 1, cut[2] - cut[1] - 1));
  int64_t bottom = ToInt(text.substr(cut[2] + 1));
  if (left == right && top == bottom) {
    if (isRuler != 0) {
      left = 10;
      top = bottom = int64_t{imageHeight} - 10;
      right = imageWidth / 2;
    } else if (isArena != 0) {
      left = top = 0;
      right = int64_t{imageWidth} - 1;
      bottom = int64_t{imageHeight} - 1;
    } else if (IsLine()) {
      right = left + 10;
    } else {
      right = left + 10;
      bottom = top + 10;
    }
  }
  // Shapes lying wholly off the image are brought back to its nearest edge. Without a known
  // image size only the negative side can be checked.
  auto bringBack = [](int64_t& a, int64_t& b, int size) {
    if (a < 0 && b < 0) {
      const int64_t shift = -a;
      a += shift;
      b += shift;
    } else if (size >= 1 && a > size - 1 && b > size - 1) {
      const int64_t shift = int64_t{size} - 1 - b;
      a += shift;
      b += shift;
    }
  };
  bringBack(left, right, imageWidth);
  bringBack(top, bottom, imageHeight);
  position_ = {ClampToInt(left), ClampToInt(top), ClampToInt(right), ClampToInt(bottom)};
  Changed();
}

bool CDrawRect::Contains(cv::Point p) const {
  if (kind_ == kKindRectangle) {
    return std::min(position_.left, position_.right) <= p.x &&
           p.x <= std::max(position_.left, position_.right) &&
           std::min(position_.top, position_.bottom) <= p.y &&
           p.y <= std::max(position_.top, position_.bottom);
  }
  if (IsLine()) return false;
  return Region().Contains(p.x, p.y);
}

PixelRegion CDrawRect::ShapeOver(const PixelRect& box) const {
  switch (kind_) {
    case kKindRectangle: return PixelRegion::FromRect(box);
    case kKindRoundRect: return RoundRectRegion(box, roundW_, roundH_);
    case kKindEllipse: return EllipseRegion(box);
    default: return {};
  }
}

PixelRegion CDrawRect::BuildRegion() const { return BuildOuterRegion(0); }

PixelRegion CDrawRect::BuildOuterRegion(int margin) const {
  const PixelRect n = position_.Normalized();
  return ShapeOver({ClampToInt(int64_t{n.left} - margin), ClampToInt(int64_t{n.top} - margin),
                    ClampToInt(int64_t{n.right} + 1 + margin),
                    ClampToInt(int64_t{n.bottom} + 1 + margin)});
}

int64_t CDrawRect::GetArea() const {
  const PixelRect n = position_.Normalized();
  const int64_t w = n.Width() + 1;
  const int64_t h = n.Height() + 1;
  switch (kind_) {
    case kKindRectangle:
      return std::llabs(SaturatedProduct(w, h));
    case kKindRoundRect: {
      // The corner term is computed in single precision, as the stored areas were.
      const float corners = static_cast<float>(int64_t{roundW_} * roundH_) -
                            kAreaPi * static_cast<float>(roundW_) * static_cast<float>(roundH_) / 4.0f;
      return TruncatedArea(std::fabs(static_cast<double>(w) * static_cast<double>(h)) - corners + 0.5);
    }
    case kKindEllipse:
      return TruncatedArea(
          std::fabs(static_cast<double>(static_cast<float>(static_cast<double>(w) * static_cast<double>(h)) * kAreaPi / 4.0f)) + 0.5);
    default:
      return 0;
  }
}

double CDrawRect::DistanceFrom(cv::Point p, cv::Point, const ArenaAdjustment*,
                               const ZoneTestInfo*, bool insideFlag) const {
  const cv::Point2d q(p.x, p.y);
  const PixelRect n = position_.Normalized();
  const double x0 = n.left, y0 = n.top, x1 = n.right, y1 = n.bottom;
  switch (kind_) {
    case kKindRectangle:
      return std::min({DistanceToSegment(q, {x0, y0}, {x1, y0}), DistanceToSegment(q, {x1, y0}, {x1, y1}),
                       DistanceToSegment(q, {x1, y1}, {x0, y1}), DistanceToSegment(q, {x0, y1}, {x0, y0})});
    case kKindEllipse: {
      const cv::Point c = GetCenter();
      return DistanceToEllipse(q, {static_cast<double>(c.x), static_cast<double>(c.y)},
                               (x1 - x0) / 2.0, (y1 - y0) / 2.0);
    }
    case kKindRoundRect: {
      // The straight parts of the outline, then each corner arc for points facing it (the
      // arcs' ends are the straight parts' ends, which cover every other point).
      const double rx = std::min<double>(std::max(roundW_, 0), x1 - x0) / 2.0;
      const double ry = std::min<double>(std::max(roundH_, 0), y1 - y0) / 2.0;
      double d = std::min({DistanceToSegment(q, {x0 + rx, y0}, {x1 - rx, y0}),
                           DistanceToSegment(q, {x0 + rx, y1}, {x1 - rx, y1}),
                           DistanceToSegment(q, {x0, y0 + ry}, {x0, y1 - ry}),
                           DistanceToSegment(q, {x1, y0 + ry}, {x1, y1 - ry})});
      if (rx > 0 && ry > 0) {
        for (const double cx : {x0 + rx, x1 - rx}) {
          for (const double cy : {y0 + ry, y1 - ry}) {
            const bool facesX = cx == x0 + rx ? q.x <= cx : q.x >= cx;
            const bool facesY = cy == y0 + ry ? q.y <= cy : q.y >= cy;
            if (facesX && facesY) d = std::min(d, DistanceToEllipse(q, {cx, cy}, rx, ry));
          }
        }
      }
      return d;
    }
    default:  // lines and the ruler
      return insideFlag ? DistanceToSegment(q, {static_cast<double>(position_.left), static_cast<double>(position_.top)},
                                            {static_cast<double>(position_.right), static_cast<double>(position_.bottom)})
                        : 0.0;
  }
}

void CDrawRect::EraseFromBodyMask(cv::Mat& mask, cv::Point origin) const {
  const PixelRect n = position_.Normalized();
  const int64_t x = int64_t{n.left} - origin.x, y = int64_t{n.top} - origin.y;
  if (kind_ == kKindRectangle || kind_ == kKindRoundRect) {
    FillRect(mask, x, y, n.Width(), n.Height(), 0);
  } else if (kind_ == kKindEllipse) {
    const double cx = (static_cast<double>(n.left) + n.right) * 0.5 - origin.x;
    const double cy = (static_cast<double>(n.top) + n.bottom) * 0.5 - origin.y;
    if (std::fabs(cx) + n.Width() > kDrawLimit || std::fabs(cy) + n.Height() > kDrawLimit) {
      Region().Paint(mask, origin, 0);
      return;
    }
    cv::ellipse(mask, cv::RotatedRect(cv::Point2f(static_cast<float>(cx), static_cast<float>(cy)),
                                      cv::Size2f(static_cast<float>(n.Width()), static_cast<float>(n.Height())), 0),
                cv::Scalar(0), cv::FILLED, cv::LINE_8);
  }
}

void CDrawRect::DrawShape(cv::Mat& mask, int angle, cv::Point centre, uint8_t value,
                          cv::Point origin) const {
  const PixelRect n = position_.Normalized();
  if (kind_ == kKindRectangle || kind_ == kKindRoundRect) {
    if (angle == 0) {
      FillRect(mask, int64_t{n.left} - origin.x, int64_t{n.top} - origin.y, n.Width() + 1,
               n.Height() + 1, value);
      return;
    }
    std::vector<cv::Point> corners = RotatedCorners(n, centre, angle);
    for (cv::Point& c : corners) c -= origin;
    cv::fillPoly(mask, std::vector<std::vector<cv::Point>>{corners}, cv::Scalar(value), cv::LINE_8);
  } else if (kind_ == kKindEllipse) {
    cv::Point2d c((static_cast<double>(n.left) + n.right) * 0.5, (static_cast<double>(n.top) + n.bottom) * 0.5);
    if (angle != 0 && GetCenter() != centre) {
      // An ellipse away from the rotation centre turns about it as the other shapes do.
      const double a = angle * 3.1415926 / 180.0;
      const cv::Point2d d = c - cv::Point2d(centre.x, centre.y);
      c = cv::Point2d(centre.x + d.x * std::cos(a) - d.y * std::sin(a),
                      centre.y + d.y * std::cos(a) + d.x * std::sin(a));
    }
    c -= cv::Point2d(origin.x, origin.y);
    if (std::fabs(c.x) + n.Width() > kDrawLimit || std::fabs(c.y) + n.Height() > kDrawLimit) return;
    cv::ellipse(mask, cv::RotatedRect(cv::Point2f(static_cast<float>(c.x), static_cast<float>(c.y)),
                                      cv::Size2f(static_cast<float>(n.Width()), static_cast<float>(n.Height())),
                                      static_cast<float>(angle)),
                cv::Scalar(value), cv::FILLED, cv::LINE_8);
  }
}

void CDrawRect::DrawOnImage(cv::Mat& image) const {
  if (image.empty() || !pen.enabled) return;
  const cv::Scalar color = ColorOf(pen.color);
  const int thickness = std::clamp(pen.widthX, 1, 64);
  const PixelRect n = position_.Normalized();
  if (IsLine()) {
    cv::line(image, {position_.left, position_.top}, {position_.right, position_.bottom}, color, thickness);
  } else if (kind_ == kKindEllipse) {
    if (n.Width() > kDrawLimit || n.Height() > kDrawLimit) return;
    cv::ellipse(image, cv::RotatedRect(cv::Point2f((n.left + n.right) * 0.5f, (n.top + n.bottom) * 0.5f),
                                       cv::Size2f(static_cast<float>(n.Width()), static_cast<float>(n.Height())), 0),
                color, thickness);
  } else {
    cv::rectangle(image, cv::Point(n.left, n.top), cv::Point(n.right, n.bottom), color, thickness);
  }
}

void CDrawRect::Scale(double fx, double fy) {
  roundW_ = SaturateToInt(std::nearbyint(roundW_ * fx));
  roundH_ = SaturateToInt(std::nearbyint(roundH_ * fy));
  CDrawObj::Scale(fx, fy);
}

bool CDrawRect::CanRotate(int angle, bool* mustBecomePolygon) const {
  const bool quarter = angle % 90 == 0;
  if (mustBecomePolygon != nullptr) *mustBecomePolygon = kind_ == kKindRectangle && !quarter;
  return kind_ == kKindRectangle || IsLine() || quarter;
}

void CDrawRect::Rotate(int angle) {
  const cv::Point c = GetCenter();
  if (IsLine()) {
    const cv::Point a = RotateAbout({position_.left, position_.top}, c, angle);
    const cv::Point b = RotateAbout({position_.right, position_.bottom}, c, angle);
    position_ = {a.x, a.y, b.x, b.y};
  } else if (angle % 90 == 0) {
    const cv::Point a = RotateAbout({position_.left, position_.top}, c, angle);
    const cv::Point b = RotateAbout({position_.right, position_.bottom}, c, angle);
    position_ = PixelRect{a.x, a.y, b.x, b.y}.Normalized();
    if (angle % 180 != 0) std::swap(roundW_, roundH_);
  } else {
    return;  // only a polygon copy can take this angle (ToPolygon)
  }
  Changed();
}

void CDrawRect::Flip(bool horizontal) {
  if (!IsLine()) return;  // framed shapes are symmetric about their own centre
  if (horizontal) std::swap(position_.left, position_.right);
  else std::swap(position_.top, position_.bottom);
  Changed();
}

bool CDrawRect::CanInflate(bool grow, int n) const {
  if (IsLine() || n < 0) return false;
  if (grow) return true;
  const PixelRect r = position_.Normalized();
  return r.Width() > 2 * int64_t{n} && r.Height() > 2 * int64_t{n};
}

bool CDrawRect::Inflate(bool grow, int n) {
  if (!CanInflate(grow, n)) return false;
  const int64_t d = grow ? n : -int64_t{n};
  const PixelRect r = position_.Normalized();
  position_ = {ClampToInt(r.left - d), ClampToInt(r.top - d), ClampToInt(r.right + d),
               ClampToInt(r.bottom + d)};
  Changed();
  return true;
}

ZoneDifference CDrawRect::Differs(const CDrawObj& other) const {
  ZoneDifference d = CDrawObj::Differs(other);
  const auto* rect = dynamic_cast<const CDrawRect*>(&other);
  if (rect == nullptr || rect->roundW_ != roundW_ || rect->roundH_ != roundH_) {
    d.affectsResults = d.differs = true;
  }
  return d;
}

std::unique_ptr<CDrawPoly> CDrawRect::ToPolygon() const {
  const PixelRect n = position_.Normalized();
  // The far corners are one past the last pixel, so that the polygon covers the same pixels.
  const int right = ClampToInt(int64_t{n.right} + 1), bottom = ClampToInt(int64_t{n.bottom} + 1);
  auto poly = std::make_unique<CDrawPoly>(
      std::vector<cv::Point>{{n.left, n.top}, {right, n.top}, {right, bottom}, {n.left, bottom}});
  poly->CopyAttributes(*this);
  return poly;
}

std::string CDrawRect::HiddenKeyShape() const {
  return Format("%d,%d,%d,%d,%d,%d", id, kind_, position_.left, position_.top, position_.right,
                position_.bottom);
}

}  // namespace vx
