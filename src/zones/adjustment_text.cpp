#include "zones/adjustment_text.h"

#include <algorithm>

#include "base/text.h"

namespace vx {

namespace {

constexpr int kCurrentVersion = 2;

// Reads the tokens one after another; the first malformed or missing number is remembered
// and makes every later read fail, so that the caller checks once at the end.
class NumberReader {
 public:
  explicit NumberReader(std::vector<std::string> tokens) : tokens_(std::move(tokens)) {}

  bool Read(const char* what, int& value) {
    if (!problem_.empty()) return false;
    if (next_ >= tokens_.size() || tokens_[next_].empty()) {
      problem_ = Format("the %s is missing", what);
      return false;
    }
    if (!TryParseInt(tokens_[next_], value)) {
      problem_ = Format("'%s' (the %s) is not a whole number", tokens_[next_].c_str(), what);
      return false;
    }
    ++next_;
    return true;
  }
  void ReadRect(const char* which, PixelRect& rect) {
    const std::string side = Format("%s rectangle's ", which);
    Read((side + "left").c_str(), rect.left);
    Read((side + "top").c_str(), rect.top);
    Read((side + "right").c_str(), rect.right);
    Read((side + "bottom").c_str(), rect.bottom);
  }
  // The next token, or "" at the end (the end of the zone positions).
  std::string Token() { return next_ < tokens_.size() ? tokens_[next_++] : std::string(); }
  bool AtEnd() const { return next_ >= tokens_.size(); }
  void Fail(std::string problem) {
    if (problem_.empty()) problem_ = std::move(problem);
  }
  const std::string& Problem() const { return problem_; }

 private:
  std::vector<std::string> tokens_;
  size_t next_ = 0;
  std::string problem_;
};

// One zone position "id;x;y;adjusted x;adjusted y;angle".
bool ReadObject(const std::string& token, tObjectAdjust& object, NumberReader& outer) {
  const std::vector<std::string> parts = Split(token, ';', true);
  if (parts.size() != 6) {
    outer.Fail(Format("the zone position '%s' does not have six numbers", token.c_str()));
    return false;
  }
  NumberReader reader(parts);
  reader.Read("zone id", object.zoneId);
  reader.Read("zone's x", object.x);
  reader.Read("zone's y", object.y);
  reader.Read("zone's adjusted x", object.adjustedX);
  reader.Read("zone's adjusted y", object.adjustedY);
  reader.Read("zone's angle", object.angle);
  if (!reader.Problem().empty()) outer.Fail(reader.Problem());
  return reader.Problem().empty();
}

// The zone positions of a version-2 text, up to the first empty token.
void ReadObjects(NumberReader& reader, const ZoneSet& set, TestAdjustment& adjustment,
                 std::string& strictProblem) {
  for (std::string token = reader.Token(); !token.empty(); token = reader.Token()) {
    tObjectAdjust object;
    if (!ReadObject(token, object, reader)) return;
    const CDrawObj* zone = set.FindZone(object.zoneId);
    if (zone == nullptr) {
      if (strictProblem.empty()) strictProblem = Format("zone %d is not a zone of the protocol", object.zoneId);
      continue;
    }
    if (!zone->IsMovable() && strictProblem.empty()) {
      strictProblem = Format("zone %d ('%s') is not movable", object.zoneId, zone->GetName().c_str());
    }
    adjustment.objects.push_back(object);
  }
  if (!reader.AtEnd() && strictProblem.empty()) strictProblem = "there is text after the zone positions";
}

}  // namespace

AdjustmentReading ParseAdjustment(const std::string& text, const ZoneSet& set) {
  AdjustmentReading reading;
  if (text.empty()) return reading;
  NumberReader reader(Split(text, '|', true));
  TestAdjustment& adjustment = reading.adjustment;
  std::string strictProblem;
  int version = 0;
  reader.Read("version", version);
  if (reader.Problem().empty() && (version < 0 || version > kCurrentVersion)) {
    strictProblem = Format("version %d is not one of 0, 1 and 2", version);
  }
  reader.ReadRect("reference", adjustment.reference);
  reader.ReadRect("adjusted", adjustment.adjusted);
  if (version >= 1 && reader.Read("angle", adjustment.angle) &&
      std::abs(int64_t{adjustment.angle}) > kMaxAdjustAngle) {
    if (strictProblem.empty()) {
      strictProblem = Format("the angle %d is outside -%d to %d degrees", adjustment.angle,
                             kMaxAdjustAngle, kMaxAdjustAngle);
    }
    adjustment.angle = std::clamp(adjustment.angle, -kMaxAdjustAngle, kMaxAdjustAngle);
  }
  if (version >= kCurrentVersion && reader.Problem().empty()) {
    ReadObjects(reader, set, adjustment, strictProblem);
  } else if (reader.Problem().empty() && !reader.AtEnd() && !reader.Token().empty() &&
             strictProblem.empty()) {
    strictProblem = "there is text after the angle";
  }
  if (!reader.Problem().empty()) {
    reading.adjustment = TestAdjustment();
    reading.problem = reader.Problem();
    return reading;
  }
  adjustment.Settle();
  reading.problem = strictProblem;
  return reading;
}

std::string FormatAdjustment(const TestAdjustment& adjustment, const ZoneSet& set) {
  std::string objects;
  for (const tObjectAdjust& o : adjustment.objects) {
    if (set.FindZone(o.zoneId) == nullptr) continue;  // the zone was deleted
    objects += Format("%d;%d;%d;%d;%d;%d|", o.zoneId, o.x, o.y, o.adjustedX, o.adjustedY, o.angle);
  }
  if (!adjustment.IsAdjusted() && objects.empty()) return {};
  const PixelRect& r = adjustment.reference;
  const PixelRect& a = adjustment.adjusted;
  return Format("%d|%d|%d|%d|%d|%d|%d|%d|%d|%d|", kCurrentVersion, r.left, r.top, r.right, r.bottom,
                a.left, a.top, a.right, a.bottom, adjustment.angle) +
         objects;
}

}  // namespace vx
