#include "measures/measure_catalogue.h"

#include "measures/measure_definition.h"

namespace vx {

namespace {

using enum MeasureGroup;
constexpr MeasureValue kSpeed = MeasureValue::Speed, kDistance = MeasureValue::Distance,
                       kDuration = MeasureValue::Duration, kCount = MeasureValue::Count,
                       kText = MeasureValue::Text, kImage = MeasureValue::Image;

constexpr MeasureInfo kMeasures[kMeasureCount] = {
    {0, "Average speed", Speed, kSpeed},
    {1, "Average speed by range", Speed, kSpeed},
    {2, "Time spent in a zone", Duration, kDuration},
    {3, "Distance by zone", Distance, kDistance},
    {4, "Number of entries into a zone", Count, kCount},
    {5, "Number of exits of a zone", Count, kCount},
    {6, "Longest visit in a zone", Duration, kDuration},
    {7, "Shortest visit in a zone", Duration, kDuration},
    {8, "Mean duration of the visits in a zone", Duration, kDuration},
    {9, "Latency to the first visit of a zone", Duration, kDuration},
    {10, "Activity duration", Duration, kDuration},
    {11, "Inactivity duration", Duration, kDuration},
    {12, "Time spent in a zone", Duration, kDuration},
    {13, "Entry events", Count, kText},
    {14, "Number of visits of a zone", Count, kCount},
    {15, "Latency to the first presence in a zone", Duration, kDuration},
    {16, "Nearest distance of the centre to a zone", Distance, kDistance},
    {17, "Farthest distance of the centre to a zone", Distance, kDistance},
    {18, "Nearest distance of the head to a zone", Distance, kDistance},
    {19, "Farthest distance of the head to a zone", Distance, kDistance},
    {20, "Longest occurrence of a behaviour", Behavior, kDuration},
    {21, "Shortest occurrence of a behaviour", Behavior, kDuration},
    {22, "Mean duration of the occurrences of a behaviour", Behavior, kDuration},
    {23, "Total duration of a behaviour", Behavior, kDuration},
    {24, "Latency to the first occurrence of a behaviour", Behavior, kDuration},
    {25, "Number of occurrences of a behaviour", Behavior, kCount},
    {26, "Heat map", Image, kImage},
    {27, "Track", Image, kImage},
    {28, "Track of the head", Image, kImage},
};

}  // namespace

const MeasureInfo& MeasureInfoOf(int measure) {
  return measure >= 0 && measure < kMeasureCount ? kMeasures[measure] : kMeasures[12];
}

const char* MeasureLabel(int measure) { return MeasureInfoOf(measure).label; }

const char* MeasureGroupName(MeasureGroup group) {
  switch (group) {
    case Speed:
      return "Speed";
    case Distance:
      return "Distance";
    case Duration:
      return "Duration";
    case Count:
      return "Entries and visits";
    case Behavior:
      return "Behaviours";
    case Image:
      return "Images";
  }
  return "";
}

bool MeasureOffered(int measure, bool headDetection, int currentMeasure) {
  if (measure < 0 || measure >= kMeasureCount || measure == kMeasureTimeInZoneOld) return false;
  const bool headMeasure = measure == kMeasureNearestHead || measure == kMeasureFarthestHead ||
                           measure == kMeasureTrackHead;
  return !headMeasure || headDetection || measure == currentMeasure;
}

const char* ValueKindName(int measure, int valueKind) {
  static const char* const kDurations[] = {
      "Duration", "Percentage of the total duration",
      "Percentage of the duration of the selected zones", "Duration / Surface area",
      "Duration * ( Surface area / Surface of the arena )"};
  static const char* const kDistances[] = {
      "Distance", "Percentage of the total distance",
      "Percentage of the distance of the selected zones", "Distance / Surface area",
      "Distance * ( Surface area / Surface of the arena )"};
  static const char* const kActivity[] = {"Duration", "Percentage of the total duration",
                                          "Percentage of total time spent in the zone"};
  switch (measure) {
    case 2:
    case 6:
    case 7:
    case 8:
    case 12:
      return valueKind >= 0 && valueKind < 5 ? kDurations[valueKind] : "";
    case 3:
      return valueKind >= 0 && valueKind < 5 ? kDistances[valueKind] : "";
    case 10:
    case 11:
      return valueKind >= 0 && valueKind < 3 ? kActivity[valueKind] : "";
    case 20:
    case 21:
    case 22:
    case 23:
      return valueKind >= 0 && valueKind < 2 ? kDurations[valueKind] : "";
    default:
      return "";
  }
}

}  // namespace vx
