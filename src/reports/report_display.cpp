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

// What a report's values are, which decides both their text and their spreadsheet number.
enum class Quantity {
  kPlain, kCount, kSpeed, kLength, kLengthPerSurface, kZoneDistance, kLatency, kDuration, kNone
};

Quantity QuantityOf(const MeasureDefinition& d) {
  if (IsPercentage(d.measure, d.valueKind)) return Quantity::kPlain;
  switch (d.measure) {
    case kMeasureAverageSpeed:
      return Quantity::kSpeed;
    case kMeasureDistanceByZone:
      return d.valueKind == 3 ? Quantity::kLengthPerSurface : Quantity::kLength;
    case kMeasureNearestCentre:
    case kMeasureFarthestCentre:
    case kMeasureNearestHead:
    case kMeasureFarthestHead:
      return Quantity::kZoneDistance;
    case kMeasureLatencyEntry:
    case kMeasureLatencyPresence:
    case kMeasureLatencyBehavior:
      return Quantity::kLatency;
    case kMeasureEntries:
    case kMeasureExits:
    case kMeasureVisits:
    case kMeasureBehaviorCount:
      return Quantity::kCount;
    case kMeasureEntryEvents:
    case kMeasureHeatMap:
    case kMeasureTrack:
    case kMeasureTrackHead:
      return Quantity::kNone;
    default:
      return Quantity::kDuration;
  }
}


}  // namespace

std::string DisplayResultValue(const MeasureDefinition& d, double value) {
  const int precision = PrecisionOf(d);
  switch (QuantityOf(d)) {
    case Quantity::kPlain:
      return Number(value, precision);
    case Quantity::kSpeed:
      return Format(SpeedUnitPattern(d.speedUnit),
                    Number(LengthToDisplay(value, d.speedUnit), precision).c_str());
    case Quantity::kLengthPerSurface:
      return Number(DistancePerSurfaceToDisplay(value, d.distanceUnit), precision);
    case Quantity::kLength:
      return Length(value, d.distanceUnit, precision);
    case Quantity::kZoneDistance:
      return value < 0 ? "-" : Length(value, d.distanceUnit, precision);
    case Quantity::kLatency:
      return value < 0 ? "-" : FormatDuration(value, d.durationFormat);
    case Quantity::kCount:
      return Number(value, d.precision >= 0 && d.precision <= 6 ? d.precision : 0);
    case Quantity::kNone:
      return "";
    case Quantity::kDuration:
      break;
  }
  return FormatDuration(value, d.durationFormat);
}

ResultNumber ResultValueNumber(const MeasureDefinition& d, double value) {
  switch (QuantityOf(d)) {
    case Quantity::kSpeed:
      return {ResultNumber::kNumber, LengthToDisplay(value, d.speedUnit)};
    case Quantity::kLengthPerSurface:
      return {ResultNumber::kNumber, DistancePerSurfaceToDisplay(value, d.distanceUnit)};
    case Quantity::kZoneDistance:
      if (value < 0) return {};
      [[fallthrough]];
    case Quantity::kLength:
      return {ResultNumber::kNumber, LengthToDisplay(value, LengthUnitOf(d.distanceUnit))};
    case Quantity::kLatency:
      if (value < 0) return {};
      [[fallthrough]];
    case Quantity::kDuration:
      return {ResultNumber::kDuration, value};
    case Quantity::kNone:
      return {};
    case Quantity::kPlain:
    case Quantity::kCount:
      break;
  }
  return {ResultNumber::kNumber, value};
}

std::string ResultValueUnit(const MeasureDefinition& d) {
  switch (QuantityOf(d)) {
    case Quantity::kSpeed:
      return UnitSymbol(SpeedUnitPattern(d.speedUnit));
    case Quantity::kLength:
    case Quantity::kZoneDistance:
      return UnitSymbol(LengthUnitPattern(LengthUnitOf(d.distanceUnit)));
    default:
      return "";
  }
}

}  // namespace vx
