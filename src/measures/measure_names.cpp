#include "measures/measure_names.h"

#include <iterator>

#include "base/text.h"
#include "measures/measure_definition.h"

namespace vx {

namespace {

struct MeasureWords {
  const char* name;
  const char* description;
};

constexpr MeasureWords kWords[kMeasureCount] = {
    {"average-speed", "Average speed of the animal while in each zone"},
    {"speed-by-range", "Average speed of each time slice, counted into speed ranges"},
    {"time-in-zone-old", "Time spent in each zone (the older number of time-in-zone)"},
    {"distance", "Distance travelled in each zone"},
    {"entries", "Number of entries into each zone"},
    {"exits", "Number of exits from each zone"},
    {"longest-visit", "Longest visit in each zone"},
    {"shortest-visit", "Shortest visit in each zone"},
    {"mean-visit", "Mean duration of the visits in each zone"},
    {"entry-latency", "Time before the first entry into each zone (-1: never entered)"},
    {"activity", "Time the animal is active in each zone"},
    {"inactivity", "Time the animal is inactive in each zone"},
    {"time-in-zone", "Time spent in each zone"},
    {"entry-events", "The entries in time order, as text (period index and zone id)"},
    {"visits", "Number of visits of each zone, a presence at the start counting as one"},
    {"presence-latency", "Time before the animal is first in each zone (-1: never)"},
    {"nearest-centre", "Nearest distance of the animal's centre to each zone"},
    {"farthest-centre", "Farthest distance of the animal's centre to each zone"},
    {"nearest-head", "Nearest distance of the animal's head to each zone"},
    {"farthest-head", "Farthest distance of the animal's head to each zone"},
    {"longest-behaviour", "Longest occurrence of each scored behaviour"},
    {"shortest-behaviour", "Shortest occurrence of each scored behaviour"},
    {"mean-behaviour", "Mean duration of the occurrences of each scored behaviour"},
    {"behaviour-duration", "Total duration of each scored behaviour"},
    {"behaviour-latency", "Time before the first occurrence of each scored behaviour"},
    {"behaviour-count", "Number of occurrences of each scored behaviour"},
    {"heat-map", "Image of the time spent at each place"},
    {"track", "Image of the path of the animal's centre"},
    {"head-track", "Image of the path of the animal's head"},
};

bool InRange(int measure) { return measure >= 0 && measure < kMeasureCount; }

}  // namespace

const char* MeasureName(int measure) { return InRange(measure) ? kWords[measure].name : ""; }

const char* MeasureDescription(int measure) {
  return InRange(measure) ? kWords[measure].description : "";
}

int MeasureFromName(std::string_view text) {
  int number = -1;
  if (TryParseInt(text, number)) return InRange(number) ? number : -1;
  for (int m = 0; m < kMeasureCount; ++m) {
    if (text == kWords[m].name) return m;
  }
  return -1;
}

std::vector<std::string> ValueKindNames(int measure) {
  switch (measure) {
    case 2: case 6: case 7: case 8: case 12:
      return {"duration", "percent-of-period", "percent-of-zones", "per-area", "area-weighted"};
    case 3:
      return {"distance", "percent-of-distance", "percent-of-zones", "per-area", "area-weighted"};
    case 10: case 11:
      return {"duration", "percent-of-period", "percent-of-zone-time"};
    case 20: case 21: case 22: case 23:
      return {"duration", "percent-of-period"};
    default:
      return {"value"};
  }
}

UnitField UnitFieldOf(int measure) {
  switch (measure) {
    case 0: case 1:
      return UnitField::Speed;
    case 3: case 16: case 17: case 18: case 19:
      return UnitField::Distance;
    case 2: case 6: case 7: case 8: case 9: case 10: case 11: case 12: case 15:
    case 20: case 21: case 22: case 23: case 24: case 26:
      return UnitField::Duration;
    default:
      return UnitField::None;
  }
}

std::vector<std::string> UnitNames(int measure, int valueKind) {
  static const char* const kLengths[] = {"mm", "cm", "m"};
  static const char* const kAreas[] = {"mm2", "cm2", "m2"};
  std::vector<std::string> names;
  const bool perArea = valueKind == 3 && ValueKindNames(measure).size() > 3;
  switch (UnitFieldOf(measure)) {
    case UnitField::Speed:
      return {"mm/s", "cm/s", "m/s"};
    case UnitField::Distance:
      names = {"mm", "cm", "m"};
      // Distances per surface: codes 3 + 3·length + area.
      for (int length = 0; perArea && length < 3; ++length) {
        for (const char* area : kAreas) names.push_back(std::string(kLengths[length]) + "/" + area);
      }
      return names;
    case UnitField::Duration:
      names = {"hh:mm:ss", "hh:mm:ss.ms", "s", "s.ms"};
      // Durations per surface: codes 4 to 12, three per format.
      for (const char* format : {"hh:mm:ss.ms", "s", "s.ms"}) {
        for (int area = 0; perArea && area < 3; ++area) {
          names.push_back(std::string(format) + "/" + kAreas[area]);
        }
      }
      return names;
    case UnitField::None:
      break;
  }
  return names;
}

namespace {

struct VariableWords {
  const char* name;
  const char* unit;
};

constexpr VariableWords kVariables[] = {
    {"title", ""},          {"id", ""},               {"acquisition-date", ""},
    {"status", ""},         {"animal", ""},           {"protocol", ""},
    {"duration", "s"},      {"distance", "mm"},       {"average-speed", "mm/s"},
    {"max-speed", "mm/s"},  {"max-accel", "mm/s per ms"}, {"max-raw-speed", "mm/s"},
    {"frame", ""},          {"time", "ms"},           {"x", "px"},
    {"y", "px"},            {"raw-x", "px"},          {"raw-y", "px"},
    {"raw-step-distance", "mm"}, {"raw-speed", "mm/s"}, {"raw-total-distance", "mm"},
    {"smooth-x", "px"},     {"smooth-y", "px"},       {"step-distance", "mm"},
    {"speed", "mm/s"},      {"total-distance", "mm"}, {"analysis-date", ""},
    {"scheduled-date", ""}, {"notes", ""},            {"activity", "s"},
    {"activity-percent", "%"}, {"inactivity", "s"},   {"inactivity-percent", "%"},
    {"arena", ""},          {"video-file", ""},       {"average-accel", "mm/s per ms"},
    {"scale", "mm/px"},     {"video-duration", "s"},  {"user-field", ""},
};

}  // namespace

const char* VariableName(int number) {
  return number >= 0 && number < static_cast<int>(std::size(kVariables)) ? kVariables[number].name : "";
}

const char* VariableUnit(int number) {
  return number >= 0 && number < static_cast<int>(std::size(kVariables)) ? kVariables[number].unit : "";
}

int IndexOfName(const std::vector<std::string>& names, std::string_view name) {
  for (size_t i = 0; i < names.size(); ++i) {
    if (names[i] == name) return static_cast<int>(i);
  }
  return -1;
}

}  // namespace vx
