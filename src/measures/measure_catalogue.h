// The catalogue of report measures 0 to 28 as the report settings offer them: label, group of
// the report-type tree, the kind of value a measure yields (which decides how it is shown and
// cached), and which measures are offered.
//
// Labels are English; translations come with the interface language files.
#pragma once

#include <string>

namespace vx {

enum class MeasureGroup { Speed, Distance, Duration, Count, Behavior, Image };

// What a measure's values are, before its value kind is applied.
enum class MeasureValue {
  Speed,         // mm/s (0), or a percentage of time per speed range (1)
  Distance,      // mm (3, 16 to 19)
  Duration,      // seconds (2, 6 to 12, 15, 20 to 24)
  Count,         // entries, exits, visits, occurrences (4, 5, 14, 25)
  Text,          // the entry events (13)
  Image,         // heat map and track images (26 to 28)
};

struct MeasureInfo {
  int measure = 0;
  const char* label = "";
  MeasureGroup group = MeasureGroup::Duration;
  MeasureValue value = MeasureValue::Duration;
};

// The catalogue entry; measure 12's for a number outside 0..28.
const MeasureInfo& MeasureInfoOf(int measure);
// The label; measure 2, the older number of 12, shows as 12.
const char* MeasureLabel(int measure);
// The tree's group names: "Speed", "Distance", "Duration", then ours.
const char* MeasureGroupName(MeasureGroup group);

// Whether the report settings offer measure: never 2 (replaced by 12); the head measures 18,
// 19 and 28 only when the protocol detects heads or the report already uses that measure.
bool MeasureOffered(int measure, bool headDetection, int currentMeasure);

// The value kind's name for measures that have value kinds ("" otherwise).
const char* ValueKindName(int measure, int valueKind);

}  // namespace vx
