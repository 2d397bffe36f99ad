#include "reports/report_display.h"

#include "trajectory/display_units.h"
#include "reports/duration_format.h"
#include "base/text.h"

namespace vx {

namespace {

// The report's precision: -1 is automatic.
int PrecisionOf(const MeasureDefinition& d) {
  return d.precision >= 0 && d.precision <= 6 ? d.precision : kAutomaticPrecision;
}

std::string Number(double value, int precision) {
  // Automatic precision shows only positive amounts; a negative value keeps its digits.
  if (value < 0 && precision >= kAutomaticPrecision) return Format("%.2f", value);
  return FormatNumber(value, precision);
}

// The plain length unit of a distance code (3..11 carry a length and an area).
int LengthUnitOf(int code) {
  if (code >= 0 && code <= 2) return code;
  return code >= 3 && code <= 11 ? (code - 3) / 3 : 0;
}

std::string Length(double mm, int code, int precision) {
  const int unit = LengthUnitOf(code);
  return Format(LengthUnitPattern(unit), Number(LengthToDisplay(mm, unit), precision).c_str());
}

bool IsPercentage(int measure, int valueKind) {
  switch (measure) {
    case 1:
      return true;
    case 2: case 3: case 6: case 7: case 8: case 10: case 11: case 12:
      return valueKind == 1 || valueKind == 2;
    case 20: case 21: case 22: case 23:
      return valueKind == 1;
    default:
      return false;
  }
}

}  // namespace

std::string DisplayResultValue(const MeasureDefinition& d, double value) {
  const int precision = PrecisionOf(d);
  const int m = d.measure;
  if (IsPercentage(m, d.valueKind)) return Number(value, precision);
  switch (m) {
    case kMeasureAverageSpeed:
      return Format(SpeedUnitPattern(d.speedUnit),
                    Number(LengthToDisplay(value, d.speedUnit), precision).c_str());
    case kMeasureDistanceByZone:
      if (d.valueKind == 3) {
        return Number(DistancePerSurfaceToDisplay(value, d.distanceUnit), precision);
      }
      return Length(value, d.distanceUnit, precision);
    case kMeasureNearestCentre:
    case kMeasureFarthestCentre:
    case kMeasureNearestHead:
    case kMeasureFarthestHead:
      return value < 0 ? "-" : Length(value, d.distanceUnit, precision);
    case kMeasureLatencyEntry:
    case kMeasureLatencyPresence:
    case kMeasureLatencyBehavior:
      return value < 0 ? "-" : FormatDuration(value, d.durationFormat);
    case kMeasureEntries:
    case kMeasureExits:
    case kMeasureVisits:
    case kMeasureBehaviorCount:
      return Number(value, d.precision >= 0 && d.precision <= 6 ? d.precision : 0);
    case kMeasureEntryEvents:
    case kMeasureHeatMap:
    case kMeasureTrack:
    case kMeasureTrackHead:
      return "";
    default:  // durations
      return FormatDuration(value, d.durationFormat);
  }
}

}  // namespace vx
