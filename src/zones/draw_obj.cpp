#include "zones/draw_obj.h"

#include <opencv2/imgproc.hpp>

#include <algorithm>
#include <cmath>
#include <typeinfo>

#include "base/messages.h"
#include "base/text.h"
#include "zones/zone_set.h"

namespace vx {

uint32_t DefaultZoneColor(int n) {
  // Well separated hues first, so that the first few zones of a protocol are easy to tell apart.
  static constexpr uint32_t kPalette[] = {0x0000FF, 0x00A000, 0xFF0000, 0x0080FF,
                                          0xFF00FF, 0xC0C000, 0x004080, 0x800080};
  const int size = static_cast<int>(std::size(kPalette));
  return kPalette[((n % size) + size) % size];
}

double DistanceToSegment(cv::Point2d p, cv::Point2d a, cv::Point2d b) {
  const cv::Point2d ab = b - a;
  const double length2 = ab.dot(ab);
  if (length2 == 0) return std::hypot(p.x - a.x, p.y - a.y);
  const double t = std::clamp((p - a).dot(ab) / length2, 0.0, 1.0);
  return std::hypot(p.x - (a.x + t * ab.x), p.y - (a.y + t * ab.y));
}

void CDrawObj::SetRect(const PixelRect& rect) {
  position_ = rect;
  Changed();
}

void CDrawObj::Changed() {
  regionBuilt_ = false;
  if (owner != nullptr) owner->ZoneChanged(this);
}

cv::Point CDrawObj::GetCenter() const {
  const PixelRect r = GetRect();
  return {ClampToInt((int64_t{r.left} + r.right) / 2), ClampToInt((int64_t{r.top} + r.bottom) / 2)};
}

PixelRect CDrawObj::ComputeFrameRect() const {
  if (isArena != 0 || owner == nullptr) return GetRect().Normalized();
  if (const CDrawObj* arena = owner->MainArena()) return arena->GetRect().Normalized();
  return {0, 0, owner->imageWidth, owner->imageHeight};
}

std::string CDrawObj::GetHiddenZoneText() const {
  return Format("%d|%d|%d|%d", 0, hidden, hiddenDistance, hiddenUnit);
}

void CDrawObj::SetHiddenZoneText(const std::string& text) {
  const std::string trimmed = Trim(text);
  if (trimmed.empty()) return;
  const std::vector<std::string> tokens = Split(trimmed, '|', false);
  int values[3] = {0, 5, 0};
  bool good = tokens.size() >= 4;
  for (int i = 0; good && i < 3; ++i) good = TryParseInt(tokens[static_cast<size_t>(i) + 1], values[i]);
  if (good && (values[2] == 0 || values[2] == 1)) {
    hidden = static_cast<uint8_t>(values[0]);
    hiddenDistance = values[1];
    hiddenUnit = values[2];
  } else {
    hidden = 0;
    hiddenDistance = 5;
    hiddenUnit = 0;
  }
}

std::string CDrawObj::GetHiddenZoneKey() const {
  return HiddenKeyShape() + "," + GetHiddenZoneText();
}

const PixelRegion& CDrawObj::Region() const {
  if (!regionBuilt_) UpdateRegion();
  return region_;
}

void CDrawObj::UpdateRegion() const {
  region_ = BuildRegion();
  regionBuilt_ = true;
}

ZoneState CDrawObj::GetZoneState(cv::Point centre, cv::Point head,
                                 const std::vector<cv::Point>& contour,
                                 const ArenaAdjustment* adjustment, const ZoneTestInfo*) const {
  switch (detectInZone) {
    case kDetectCentre:
      return PtInZone(centre.x, centre.y, adjustment) ? ZoneState::Inside : ZoneState::Outside;
    case kDetectHead:
      if (head.x < 0 || head.y < 0) return ZoneState::Undecided;
      return PtInZone(head.x, head.y, adjustment) ? ZoneState::Inside : ZoneState::Outside;
    case kDetectBody:
      return BodyState(contour, adjustment);
    default:
      return ZoneState::Undecided;
  }
}

ZoneState CDrawObj::BodyState(const std::vector<cv::Point>& contour,
                              const ArenaAdjustment* adjustment) const {
  if (contour.empty()) return ZoneState::Outside;
  const std::vector<cv::Point> outline = ToProtocolFrame(contour, adjustment);
  int minX = outline[0].x, maxX = minX, minY = outline[0].y, maxY = minY;
  for (const cv::Point& p : outline) {
    minX = std::min(minX, p.x);
    maxX = std::max(maxX, p.x);
    minY = std::min(minY, p.y);
    maxY = std::max(maxY, p.y);
  }
  const PixelRect zone = BodyTestBox();
  if (zone.IsEmpty() && IsCombined()) return ZoneState::Outside;  // a region without rectangles
  if (maxX < zone.left || minX > zone.right || maxY < zone.top || minY > zone.bottom) {
    return ZoneState::Outside;
  }
  if (!HasArea()) return ZoneState::Outside;

  // The mask spans the outline's box without its last column and row, as the rule has it.
  const int64_t width = int64_t{maxX} - minX;
  const int64_t height = int64_t{maxY} - minY;
  int64_t body = 0, outsidePart = 0;
  if (width > 0 && height > 0 && SaturatedProduct(width, height) <= (int64_t{1} << 28)) {
    cv::Mat mask = cv::Mat::zeros(static_cast<int>(height), static_cast<int>(width), CV_8UC1);
    const std::vector<std::vector<cv::Point>> shapes{outline};
    cv::drawContours(mask, shapes, 0, cv::Scalar(255), cv::FILLED, cv::LINE_8, cv::noArray(),
                     INT_MAX, cv::Point(-minX, -minY));
    body = cv::countNonZero(mask);
    EraseFromBodyMask(mask, cv::Point(minX, minY));
    outsidePart = cv::countNonZero(mask);
  }
  const int64_t inside = body - outsidePart;
  // The comparisons are made in single precision, as the stored thresholds were tuned with.
  const float insideScaled = static_cast<float>(inside) * 100.0f;
  if (insideScaled > static_cast<float>(percentEntry) * static_cast<float>(body)) {
    return ZoneState::Inside;
  }
  if (static_cast<float>(percentExit) * static_cast<float>(body) > insideScaled) {
    return ZoneState::Outside;
  }
  return ZoneState::Undecided;
}

double CDrawObj::GetDistance(cv::Point point, const ArenaAdjustment* adjustment,
                             const ZoneTestInfo* test, bool insideFlag) const {
  if (PtInZone(point.x, point.y, adjustment) == insideFlag) return 0.0;
  return DistanceFrom(ToProtocolFrame(point, adjustment), point, adjustment, test, insideFlag);
}

bool CDrawObj::IsHiddenPresence(cv::Point lastSeen, cv::Point firstSeenAgain,
                                const ArenaAdjustment* adjustment, const ZoneTestInfo* test,
                                double mmPerPixel) const {
  if (hidden == 0) return false;
  const double limit = hiddenUnit == 0 ? hiddenDistance * 10.0 : static_cast<double>(hiddenDistance);
  return limit >= GetDistance(lastSeen, adjustment, test, true) * mmPerPixel &&
         limit >= GetDistance(firstSeenAgain, adjustment, test, true) * mmPerPixel;
}

void CDrawObj::DrawMask(cv::Mat& mask, int angle, cv::Point centre, bool inverted,
                        cv::Point origin) const {
  if (mask.empty()) return;
  mask.setTo(cv::Scalar(inverted ? 255 : 0));
  DrawShape(mask, angle, centre, inverted ? 0 : 255, origin);
}

void CDrawObj::Scale(double fx, double fy) {
  position_ = {SaturateToInt(std::nearbyint(position_.left * fx)),
               SaturateToInt(std::nearbyint(position_.top * fy)),
               SaturateToInt(std::nearbyint(position_.right * fx)),
               SaturateToInt(std::nearbyint(position_.bottom * fy))};
  Changed();
}

ZoneDifference CDrawObj::Differs(const CDrawObj& other) const {
  ZoneDifference d;
  d.affectsResults = typeid(*this) != typeid(other) || GetTypeRect() != other.GetTypeRect() ||
                     GetRect() != other.GetRect() || isArena != other.isArena ||
                     isRuler != other.isRuler || IsMovable() != other.IsMovable() || id != other.id ||
                     detectInZone != other.detectInZone || percentEntry != other.percentEntry ||
                     percentExit != other.percentExit || hidden != other.hidden ||
                     hiddenDistance != other.hiddenDistance || hiddenUnit != other.hiddenUnit;
  d.differs = d.affectsResults || !(pen == other.pen) || !(brush == other.brush) ||
              name != other.name || bkgOutside != other.bkgOutside;
  return d;
}

void CDrawObj::CopyAttributes(const CDrawObj& other) {
  owner = other.owner;
  pen = other.pen;
  brush = other.brush;
  name = other.name;
  id = other.id;
  bkgOutside = other.bkgOutside;
  isArena = other.isArena;
  isRuler = other.isRuler;
  movable = other.movable;
  detectInZone = other.detectInZone;
  percentEntry = other.percentEntry;
  percentExit = other.percentExit;
  hidden = other.hidden;
  hiddenDistance = other.hiddenDistance;
  hiddenUnit = other.hiddenUnit;
}

std::string CDrawObj::GetName() const {
  return isRuler != 0 ? std::string(MessageText(msg::kNameRuler)) : name;
}

}  // namespace vx
