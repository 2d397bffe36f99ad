#include "measures/event_condition.h"

#include <cstdlib>

#include "base/text.h"

namespace vx {

namespace {
constexpr int kEventTextVersion = 2;
}  // namespace

const char* EventTypeLabel(int type) {
  static constexpr const char* kLabels[] = {
      "Never",
      "Immediatly",
      "After a specific duration",
      "When the animal is active for a certain amount of time",
      "When the animal is inactive for a certain amount of time",
      "When the animal enter a zone for a certain amount of time",
      "When the animal enter a zone one or more times",
      "When the animal leave a zone for a certain amount of time",
      "When the animal leave a zone one or more times",
  };
  return type >= 0 && type <= kEventLeftZone ? kLabels[type] : "";
}

const char* EventUnitWord(int unit) {
  switch (unit) {
    case 0:
      return "hour(s)";
    case 1:
      return "minute(s)";
    case 2:
      return "seconde(s)";
    default:
      return "";
  }
}

int64_t DurationSeconds(int64_t amount, int unit) {
  switch (unit) {
    case 0:
      return amount * 3600;
    case 1:
      return amount * 60;
    case 2:
      return amount;
    default:
      return 0;
  }
}

int64_t CMyEvent::DurationSeconds() const { return vx::DurationSeconds(amount, unit); }

// Stored durations and times were compared as unsigned 32-bit numbers: a time before the
// reference wraps round to a huge difference, and so does a negative duration.
bool CMyEvent::Reached(int64_t t) const {
  const auto elapsed = static_cast<uint32_t>(t - referenceTime);
  const auto duration = static_cast<uint32_t>(DurationSeconds() * 1000);
  return elapsed >= duration;
}

void CMyEvent::Clear(int64_t t) {
  armed = kEventArmed;
  firedTime = -1;
  firstEvaluation = true;
  inside = false;
  counter = 0;
  referenceTime = t;
  hasReferencePoint = false;
  referencePoint = {-1, -1};
  referencePointTime = 0;
}

void CMyEvent::Reset(const ZoneSet* zones) {
  Clear(0);
  zone = IsZoneCondition() && zones != nullptr ? zones->FindZone(zoneId) : nullptr;
}

void CMyEvent::Rearm(int64_t t) { Clear(t); }

bool CMyEvent::Evaluate(const tMyPoint& p, int64_t t, const EventContext& context) {
  if (armed != kEventArmed) return false;
  bool fires = false;
  switch (type) {
    case kEventImmediately:
      fires = true;
      break;
    case kEventAfterDuration:
      fires = Reached(t);
      break;
    case kEventActiveFor:
    case kEventInactiveFor:
      fires = EvaluateActivity(p, t, context);
      break;
    case kEventInZoneFor:
    case kEventEnteredZone:
    case kEventOutOfZoneFor:
    case kEventLeftZone:
      fires = EvaluateZone(p, t, context);
      break;
    default:  // kEventNever and unknown types never fire
      break;
  }
  if (fires) {
    armed = kEventFired;
    firedTime = t;
  }
  return fires;
}

bool CMyEvent::IsStill(const tMyPoint& p, const EventContext& context) const {
  const int64_t dx = std::llabs(int64_t{p.rawX} - referencePoint.x);
  const int64_t dy = std::llabs(int64_t{p.rawY} - referencePoint.y);
  const int threshold = context.displacementThreshold;
  if (threshold > 0 && context.displacementUnit == kThresholdPixels) {
    return dx < threshold && dy < threshold;
  }
  if (threshold > 0 &&
      (context.displacementUnit == kThresholdMm || context.displacementUnit == kThresholdCm)) {
    const double limit = context.displacementUnit == kThresholdCm ? 10.0 * threshold : threshold;
    return static_cast<double>(dx) * context.scale < limit &&
           static_cast<double>(dy) * context.scale < limit;
  }
  return dx == 0 && dy == 0;
}

bool CMyEvent::EvaluateActivity(const tMyPoint& p, int64_t t, const EventContext& context) {
  if (p.rawX < 0 || p.rawY < 0) return false;
  if (!hasReferencePoint) {
    hasReferencePoint = true;
    referencePoint = {p.rawX, p.rawY};
    referencePointTime = t;
    referenceTime = t;
    return false;
  }
  const bool still = IsStill(p, context);
  if (type == kEventActiveFor) {
    if (still) {
      // A pause shorter than the inactivity delay does not interrupt the activity.
      if (t - referencePointTime >= context.inactivityDelayMs) referenceTime = t;
      return false;
    }
    referencePoint = {p.rawX, p.rawY};
    referencePointTime = t;
    return Reached(t);
  }
  if (!still) {
    referencePoint = {p.rawX, p.rawY};
    referencePointTime = t;
    referenceTime = t;
    return false;
  }
  return Reached(t);
}

bool CMyEvent::EvaluateZone(const tMyPoint& p, int64_t t, const EventContext& context) {
  if (zone == nullptr || p.rawX < 0 || p.rawY < 0) return false;
  const ZoneState state = zone->GetZoneState({p.rawX, p.rawY}, {p.headX, p.headY}, p.contour,
                                             context.adjustment, context.testInfo);
  switch (type) {
    case kEventInZoneFor:
      if (state == ZoneState::Outside) inside = false;
      if (state != ZoneState::Inside) return false;
      if (!inside) {
        inside = true;
        referenceTime = t;
      }
      return Reached(t);
    case kEventEnteredZone:
      if (state == ZoneState::Inside) {
        if (firstEvaluation ? !noCountAtStartEnter : !inside) ++counter;
        inside = true;
        firstEvaluation = false;
      } else if (state == ZoneState::Outside) {
        inside = false;
        firstEvaluation = false;
      }
      return counter >= count;
    case kEventOutOfZoneFor:
      if (state == ZoneState::Inside) inside = true;
      if (state != ZoneState::Outside) return false;
      if (inside) {
        inside = false;
        referenceTime = t;
      }
      return Reached(t);
    case kEventLeftZone:
      if (state == ZoneState::Outside) {
        if (firstEvaluation ? !noCountAtStartLeave : inside) ++counter;
        inside = false;
        firstEvaluation = false;
      } else if (state == ZoneState::Inside) {
        inside = true;
        firstEvaluation = false;
      }
      return counter >= count;
    default:
      return false;
  }
}

std::string CMyEvent::Encode(char separator) const {
  const char s[2] = {separator, '\0'};
  return Format("%d%s%d%s%d%s%d%s%d%s%d%s%d%s%d%s%d%s%d%s", kEventTextVersion, s, eventId, s, type,
                s, zoneId, s, amount, s, unit, s, count, s, armedBy, s,
                noCountAtStartEnter ? 1 : 0, s, noCountAtStartLeave ? 1 : 0, s);
}

bool CMyEvent::Decode(const std::string& text, char separator) {
  *this = CMyEvent();
  Tokenizer tokens(text, separator, true);
  std::string token;
  int version = 0;
  if (!tokens.Next(token) || !TryParseInt(token, version)) return false;
  int* const fields[] = {&eventId, &type, &zoneId, &amount, &unit, &count, &armedBy};
  for (int* field : fields) {
    int value = 0;
    if (!tokens.Next(token) || !TryParseInt(token, value)) return true;
    *field = value;
  }
  bool* const flags[] = {&noCountAtStartEnter, &noCountAtStartLeave};
  for (bool* flag : flags) {
    int value = 0;
    if (!tokens.Next(token) || !TryParseInt(token, value)) return true;
    *flag = value != 0;
  }
  return true;
}

std::string CMyEvent::Describe(const std::string& zoneName) const {
  const char* word = EventUnitWord(unit);
  switch (type) {
    case kEventAfterDuration:
      return Format("After %d %s.", amount, word);
    case kEventActiveFor:
      return Format("The animal is active for %d %s.", amount, word);
    case kEventInactiveFor:
      return Format("The animal is inactive for %d %s.", amount, word);
    case kEventInZoneFor:
      return Format("The animal enters '%s' during %d %s.", zoneName.c_str(), amount, word);
    case kEventEnteredZone:
      return Format("The animal enters '%s' %d time(s).", zoneName.c_str(), count);
    case kEventOutOfZoneFor:
      return Format("The animal leaves '%s' for %d %s.", zoneName.c_str(), amount, word);
    case kEventLeftZone:
      return Format("The animal leaves '%s' %d time(s).", zoneName.c_str(), count);
    default:
      return EventTypeLabel(type);
  }
}

}  // namespace vx
