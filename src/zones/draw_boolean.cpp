#include "zones/draw_boolean.h"

#include <opencv2/imgproc.hpp>

#include <algorithm>
#include <cmath>

#include "base/text.h"
#include "zones/zone_set.h"

namespace vx {

namespace {

// The combined zones being evaluated on this thread, innermost last. A combined zone met
// again while it is being evaluated closes a loop of references: that branch is cut.
thread_local std::vector<const CDrawObj*> visiting;

class VisitGuard {
 public:
  explicit VisitGuard(const CDrawObj* zone)
      : entered_(std::find(visiting.begin(), visiting.end(), zone) == visiting.end()) {
    if (entered_) visiting.push_back(zone);
  }
  ~VisitGuard() {
    if (entered_) visiting.pop_back();
  }
  VisitGuard(const VisitGuard&) = delete;
  VisitGuard& operator=(const VisitGuard&) = delete;
  bool entered() const { return entered_; }

 private:
  bool entered_;
};

}  // namespace

CDrawBoolean::CDrawBoolean() : CDrawObj({}) {
  pen.enabled = false;
  pen.color = DefaultZoneColor(0);
  brush.enabled = true;
  brush.style = 2;
  brush.hatch = 3;
  brush.color = DefaultZoneColor(0);
}

void CDrawBoolean::SetCombination(int operation, std::vector<int> components) {
  operation_ = operation == kCombineChoice ? kCombineChoice
               : operation == kCombineIntersection ? kCombineIntersection
                                                   : kCombineUnion;
  components_ = std::move(components);
  Changed();
}

std::string CDrawBoolean::GetPointsText() const {
  std::string text = Format("%d;%d;%d;", 0, operation_, static_cast<int>(components_.size()));
  for (int c : components_) text += Format("%d;", c);
  return text;
}

void CDrawBoolean::SetPointsText(const std::string& text, int, int) {
  const std::vector<std::string> tokens = Split(text, ';', false);
  components_.clear();
  bool good = true;
  int operation = kCombineUnion, count = 0;
  if (tokens.size() >= 2) good = TryParseInt(tokens[1], operation);
  if (good && tokens.size() >= 3) good = TryParseInt(tokens[2], count);
  operation_ = !good ? kCombineUnion
               : operation == kCombineChoice ? kCombineChoice
               : operation == kCombineIntersection ? kCombineIntersection
                                                   : kCombineUnion;
  for (size_t i = 3; good && i < tokens.size() && static_cast<int>(i - 3) < count; ++i) {
    int componentId = 0;
    good = TryParseInt(tokens[i], componentId);
    if (good) components_.push_back(componentId);
  }
  // Leading junk is as bad as a bad id: no component list is trusted then.
  if (!tokens.empty() && !good) components_.clear();
  Changed();
}

const CDrawObj* CDrawBoolean::Component(int componentId) const {
  if (owner == nullptr || componentId == INT32_MIN) return nullptr;
  return owner->FindZone(std::abs(componentId));
}

PixelRegion CDrawBoolean::BuildRegion() const {
  VisitGuard guard(this);
  if (!guard.entered() || operation_ == kCombineChoice) return {};
  PixelRegion result;
  bool first = true;
  for (int componentId : components_) {
    const CDrawObj* zone = Component(componentId);
    if (zone == nullptr) continue;
    // A combined component that leads back here finds this zone being built and takes it
    // as empty (VisitGuard), which ends the loop.
    PixelRegion taken = zone->Region();
    if (componentId < 0) taken = PixelRegion::FromRect(ComputeFrameRect()).Subtract(taken);
    if (first) result = std::move(taken);
    else if (operation_ == kCombineIntersection) result = result.Intersect(taken);
    else result = result.Union(taken);
    first = false;
  }
  return result;
}

ZoneState CDrawBoolean::GetZoneState(cv::Point centre, cv::Point head,
                                     const std::vector<cv::Point>& contour,
                                     const ArenaAdjustment* adjustment,
                                     const ZoneTestInfo* test) const {
  if (operation_ == kCombineChoice) {
    VisitGuard guard(this);
    const CDrawObj* chosen = guard.entered() ? ChosenZone(test) : nullptr;
    return chosen != nullptr ? chosen->GetZoneState(centre, head, contour, adjustment, test)
                             : ZoneState::Undecided;
  }
  if (components_.empty()) return ZoneState::Undecided;
  return CDrawObj::GetZoneState(centre, head, contour, adjustment, test);
}

double CDrawBoolean::DistanceFrom(cv::Point p, cv::Point original,
                                  const ArenaAdjustment* adjustment, const ZoneTestInfo* test,
                                  bool insideFlag) const {
  VisitGuard guard(this);
  if (!guard.entered()) return 0.0;
  if (operation_ == kCombineChoice) {
    const CDrawObj* chosen = ChosenZone(test);
    return chosen != nullptr ? chosen->GetDistance(original, adjustment, test, insideFlag) : 0.0;
  }
  double best = INFINITY;
  if (operation_ == kCombineUnion) {
    for (int componentId : components_) {
      if (const CDrawObj* zone = Component(componentId)) {
        best = std::min(best, zone->GetDistance(original, adjustment, test, insideFlag));
      }
    }
  } else {
    const cv::Point2d q(p.x, p.y);
    for (const PixelRect& r : Region().Rectangles()) {
      const cv::Point2d a(r.left, r.top), b(r.right, r.top), c(r.right, r.bottom), d(r.left, r.bottom);
      best = std::min({best, DistanceToSegment(q, a, b), DistanceToSegment(q, b, c),
                       DistanceToSegment(q, c, d), DistanceToSegment(q, d, a)});
    }
  }
  return std::isinf(best) ? 0.0 : best;
}

void CDrawBoolean::EraseFromBodyMask(cv::Mat& mask, cv::Point origin) const {
  Region().Paint(mask, origin, 0);
}

bool CDrawBoolean::IsMovable() const {
  VisitGuard guard(this);
  if (!guard.entered()) return false;
  return std::any_of(components_.begin(), components_.end(), [this](int componentId) {
    const CDrawObj* zone = Component(componentId);
    return zone != nullptr && zone->IsMovable();
  });
}

bool CDrawBoolean::HasId(int zoneId) const {
  if (id == zoneId) return true;
  VisitGuard guard(this);
  if (!guard.entered()) return false;
  return std::any_of(components_.begin(), components_.end(), [&](int componentId) {
    const CDrawObj* zone = Component(componentId);
    return zone != nullptr && zone->HasId(zoneId);
  });
}

ZoneDifference CDrawBoolean::Differs(const CDrawObj& other) const {
  ZoneDifference d = CDrawObj::Differs(other);
  const auto* combined = dynamic_cast<const CDrawBoolean*>(&other);
  if (combined == nullptr || combined->operation_ != operation_ ||
      combined->components_ != components_) {
    d.affectsResults = d.differs = true;
  }
  return d;
}

const CDrawObj* CDrawBoolean::ChosenZone(const ZoneTestInfo* test) const {
  if (operation_ != kCombineChoice || owner == nullptr || test == nullptr ||
      test->test == nullptr || test->fields == nullptr) {
    return nullptr;
  }
  const CInfosTest& infos = *test->test;
  const auto field = std::find_if(test->fields->begin(), test->fields->end(), [&](const CField& f) {
    return f.type == kFieldProtocolChoice && f.category != 0 && f.idProtocol == infos.idProtocol &&
           f.idZone == id;
  });
  if (field == test->fields->end()) return nullptr;
  const auto value = std::find_if(infos.fields.begin(), infos.fields.end(),
                                  [&](const tFieldContent& c) { return c.fieldId == field->id; });
  if (value == infos.fields.end()) return nullptr;
  const auto choice = std::find_if(field->choices.begin(), field->choices.end(),
                                   [&](const CChoice& c) { return c.id == value->choiceId; });
  if (choice == field->choices.end()) return nullptr;
  const CDrawObj* chosen = owner->FindZone(choice->idZone);
  return chosen == this ? nullptr : chosen;
}

}  // namespace vx
