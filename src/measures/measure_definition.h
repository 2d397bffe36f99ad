// A measure definition: which measure a report column computes, over which zones (or
// behaviours) and time periods, and how its values are shown. Stored as the Config text of a
// report (table Results).
//
// Config text, version 5, every field followed by '|':
//   5 | measure | measure part | period part | further value | range part
// measure part, by measure:
//   0, 1            valueKind | zoneSelection | speedUnit | precision
//   2, 6-8, 10-12, 15, 20-24
//                   valueKind | zoneSelection | durationFormat | precision
//   3               valueKind | zoneSelection | distanceUnit | precision
//   4               valueKind | zoneSelection | 0 | precision | ignoreInZoneAtStart
//   5, 13, 14, 25   valueKind | zoneSelection | 0 | precision | 0
//   9               valueKind | zoneSelection | durationFormat | precision | ignoreInZoneAtStart
//   16-19           0 | zoneSelection | distanceUnit | precision
//   26              heat-map option 1 | (empty) | durationFormat | option 2 | option 3
//   27, 28          0 | (empty) | 0 | 0 | 0
// period part: modes 0, 2, 4, 6  mode | sliceLength | sliceUnit
//              modes 1, 5        mode | start event | end event   (event texts with ';')
//              modes 3, 7        mode | count, then per period  name | start s | end s
// range part:  1 | rangeLength | rangeMin | rangeMax   ("%.2f")
//              0 | count, then per range  name | min | max
//
// Older versions (1 to 4) are read with the same layout, except that the fifth field of the
// measure part (ignoreInZoneAtStart and the always-0 field after the precision) came with
// version 5 and is read only from it; absent fields keep their defaults.
#pragma once

#include <array>
#include <cstdint>
#include <string>
#include <vector>

#include "measures/event_condition.h"

namespace vx {

inline constexpr int kMeasureConfigVersion = 5;
inline constexpr int kMeasureCount = 29;  // measures 0 to 28

// Measure numbers (the catalogue of report columns).
enum Measure {
  kMeasureAverageSpeed = 0,
  kMeasureSpeedByRange = 1,
  kMeasureTimeInZoneOld = 2,
  kMeasureDistanceByZone = 3,
  kMeasureEntries = 4,
  kMeasureExits = 5,
  kMeasureLongestVisit = 6,
  kMeasureShortestVisit = 7,
  kMeasureMeanVisit = 8,
  kMeasureLatencyEntry = 9,
  kMeasureActivity = 10,
  kMeasureInactivity = 11,
  kMeasureTimeInZone = 12,
  kMeasureEntryEvents = 13,
  kMeasureVisits = 14,
  kMeasureLatencyPresence = 15,
  kMeasureNearestCentre = 16,
  kMeasureFarthestCentre = 17,
  kMeasureNearestHead = 18,
  kMeasureFarthestHead = 19,
  kMeasureLongestBehavior = 20,
  kMeasureShortestBehavior = 21,
  kMeasureMeanBehavior = 22,
  kMeasureTotalBehavior = 23,
  kMeasureLatencyBehavior = 24,
  kMeasureBehaviorCount = 25,
  kMeasureHeatMap = 26,
  kMeasureTrack = 27,
  kMeasureTrackHead = 28,
};

inline bool IsBehaviorMeasure(int measure) { return measure >= 20 && measure <= 25; }
inline bool IsImageMeasure(int measure) { return measure >= 26 && measure <= 28; }

// Period modes.
enum PeriodMode {
  kPeriodSlices = 0,
  kPeriodEvents = 1,
  kPeriodSlicesToo = 2,  // the same slices as 0
  kPeriodList = 3,
  // 4 to 7: modes 0 to 3 for behaviour measures over tests not necessarily analysed.
};
// Modes 4 to 7 as their counterparts 0 to 3.
inline int BasePeriodMode(int mode) { return mode >= 4 && mode <= 7 ? mode - 4 : mode; }

// A user period: name and bounds, in seconds from the start of the analysis, with millisecond
// remainders kept in memory only. The window is [start*1000 + startMs, end*1000 + endMs).
struct tPeriod {
  std::string name;
  int64_t start = 0;
  int64_t end = 0;
  int startMs = 0;
  int endMs = 0;

  int64_t StartTimeMs() const { return start * 1000 + startMs; }
  int64_t EndTimeMs() const { return end * 1000 + endMs; }
  bool operator==(const tPeriod&) const = default;
};

// A speed range in mm/s: [min, max).
struct tRange {
  std::string name;
  double min = 0;
  double max = 0;
  bool operator==(const tRange&) const = default;
};

struct MeasureDefinition {
  int measure = kMeasureAverageSpeed;
  int periodMode = kPeriodSlices;
  int sliceLength = 0;  // <= 0: one period over the whole analysis
  int sliceUnit = 1;    // 0 hours, 1 minutes, 2 seconds
  std::vector<tPeriod> periods;  // mode 3 (and 7)
  CMyEvent startEvent;  // modes 1 and 5
  CMyEvent endEvent;
  uint8_t rangeMode = 0;  // 0 the list of ranges, 1 equal ranges
  double rangeLength = 0;
  double rangeMin = 0;
  double rangeMax = 0;  // 0: the largest observed value
  std::vector<tRange> ranges;
  int valueKind = 0;       // 0..4, by measure
  int durationFormat = 0;  // 0..12
  int distanceUnit = 0;    // 0..2 (distances per surface: 0..11)
  int speedUnit = 0;       // 0..2
  int precision = -1;      // 0..6, -1 automatic
  std::string zoneSelection;  // ",id," items (negative ids: complements); empty = all
  bool ignoreInZoneAtStart = false;
  std::array<int, 3> heatMap{0, 0, 0};
  int further = -2;  // written after the period part; its role is not ours

  // The slice length in seconds (0 when not positive or for an unknown unit).
  int64_t SliceSeconds() const;
};

std::string FormatMeasureConfig(const MeasureDefinition& definition);
// Reads a Config text of any version up to 5. False (definition at its defaults) when the
// text has no readable version, a version above 5, or a measure outside 0..28; otherwise every
// missing or malformed field keeps its default (a unit out of range becomes 0, a precision
// outside 0..6 becomes -1).
bool ParseMeasureConfig(const std::string& text, MeasureDefinition& definition);

// 0 when the definition can be computed, else the refusing message: 1801 for a speed-range
// measure whose time slice or equal range length is not positive, 1802 for equal ranges whose
// maximum (when set) is below their minimum.
int ValidateMeasureDefinition(const MeasureDefinition& definition);

}  // namespace vx
