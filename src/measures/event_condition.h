// Event conditions: small rules evaluated point by point along a trajectory ("after 5
// minutes", "when the animal has entered zone A 3 times", "when the animal has been inactive
// for 30 seconds"). A report column bounds a period with a start and an end condition; the
// protocol's stage program chains conditions that start and stop the recording.
//
// Lifecycle of a condition's run-time state: Reset (or Rearm) makes it armed (1); Evaluate is
// called on each point with that point's time (ms from the start of the analysis) and, the
// first time the rule holds, fires: the state becomes 2 and every later call returns false
// until the next Reset or Rearm. The stage program also uses 0 (idle: not armed yet).
//
// Durations: amount in the unit 0 hours, 1 minutes, 2 seconds; compared, in ms, with time
// differences as unsigned 32-bit numbers.
#pragma once

#include <cstdint>
#include <string>

#include "trajectory/smoothing_settings.h"
#include "detection/my_point.h"
#include "zones/draw_obj.h"
#include "zones/zone_set.h"

namespace vx {

enum EventType {
  kEventNever = 0,
  kEventImmediately = 1,
  kEventAfterDuration = 2,
  kEventActiveFor = 3,
  kEventInactiveFor = 4,
  kEventInZoneFor = 5,
  kEventEnteredZone = 6,
  kEventOutOfZoneFor = 7,
  kEventLeftZone = 8,
};

// A duration given as an amount in the unit 0 hours, 1 minutes, 2 seconds (the way conditions,
// time slices and the maximum test duration are set), in seconds; 0 for another unit.
int64_t DurationSeconds(int64_t amount, int unit);

enum EventArmState { kEventIdle = 0, kEventArmed = 1, kEventFired = 2 };

// What evaluating a condition needs besides the point: the test's zone adjustment, the
// protocol's inactivity delay and scale, and the experiment's minimum-displacement setting.
struct EventContext {
  const ArenaAdjustment* adjustment = nullptr;  // may be null
  const ZoneTestInfo* testInfo = nullptr;       // may be null (no choice zone resolves)
  int64_t inactivityDelayMs = 0;
  int displacementThreshold = 0;  // the smoothing setting's threshold and unit
  int displacementUnit = kThresholdPixels;
  double scale = 1.0;  // mm per pixel
};

class CMyEvent {
 public:
  // ---- Definition (stored) ----------------------------------------------------------------
  int eventId = -1;   // id in the protocol's stage program
  int type = kEventNever;
  int zoneId = -1;    // types 5 to 8
  int amount = 0;     // duration amount; negative amounts are not valid settings
  int unit = 2;       // 0 hours, 1 minutes, 2 seconds
  int count = 1;      // N of types 6 and 8
  int armedBy = -1;   // stage program: the event whose firing arms this one; < 0 at start
  bool noCountAtStartEnter = false;  // type 6: inside at the first evaluation is no entry
  bool noCountAtStartLeave = false;  // type 8: outside at the first evaluation is no leave

  // ---- Run-time state ------------------------------------------------------------------------
  int armed = kEventArmed;
  int64_t firedTime = -1;
  bool firstEvaluation = true;
  bool inside = false;
  int counter = 0;
  int64_t referenceTime = 0;
  bool hasReferencePoint = false;
  cv::Point referencePoint{-1, -1};  // raw position of the reference point
  int64_t referencePointTime = 0;    // the time at which it became the reference
  const CDrawObj* zone = nullptr;    // resolved by Reset; not owned

  // The duration in seconds: amount * 3600, * 60 or * 1 by unit; 0 for another unit.
  int64_t DurationSeconds() const;
  bool IsZoneCondition() const { return type >= kEventInZoneFor && type <= kEventLeftZone; }

  // Clears the run-time state (armed, first evaluation, counters, reference time 0, no
  // reference point) and, for zone conditions, resolves zoneId among zones (none when it is
  // absent or zones is null).
  void Reset(const ZoneSet* zones);
  // The same clearing with reference time t; the resolved zone is kept.
  void Rearm(int64_t t);
  // Evaluates the rule on point p at time t (ms from the start of the analysis). True when the
  // condition fires now.
  bool Evaluate(const tMyPoint& p, int64_t t, const EventContext& context);

  // The definition as text, version 2: "2;eventId;type;zoneId;amount;unit;count;armedBy;
  // enter;leave;" with the given separator after every value.
  std::string Encode(char separator = ';') const;
  // Reads a definition written with that separator (any version): values are taken in order;
  // the first missing or malformed value ends the reading and the remaining fields keep their
  // defaults. False (definition reset to the defaults) when not even the version is readable.
  bool Decode(const std::string& text, char separator = ';');

  // The sentence shown for the condition ("After 5 minute(s).", "The animal enters 'A' 3
  // time(s)."); zoneName names the zone of zone conditions. Types 0 and 1 give their labels.
  std::string Describe(const std::string& zoneName) const;

 private:
  bool Reached(int64_t t) const;
  bool EvaluateActivity(const tMyPoint& p, int64_t t, const EventContext& context);
  bool EvaluateZone(const tMyPoint& p, int64_t t, const EventContext& context);
  bool IsStill(const tMyPoint& p, const EventContext& context) const;
  void Clear(int64_t t);
};

// The label of an event type in the condition chooser ("Never", "Immediatly", ...); "" for
// an unknown type.
const char* EventTypeLabel(int type);
// "hour(s)", "minute(s)", "seconde(s)"; "" for an unknown unit.
const char* EventUnitWord(int unit);

}  // namespace vx
