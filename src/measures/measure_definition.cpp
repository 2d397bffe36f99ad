#include "measures/measure_definition.h"

#include <algorithm>

#include "base/messages.h"
#include "base/text.h"

namespace vx {

namespace {

// How the measure part of a measure is laid out.
enum class MeasurePart {
  Speed,         // valueKind, selection, speedUnit, precision
  Duration,      // valueKind, selection, durationFormat, precision
  Distance,      // valueKind, selection, distanceUnit, precision
  Entries,       // valueKind, selection, 0, precision, ignoreInZoneAtStart
  Count,         // valueKind, selection, 0, precision, 0
  Latency,       // valueKind, selection, durationFormat, precision, ignoreInZoneAtStart
  ZoneDistance,  // 0, selection, distanceUnit, precision
  HeatMap,       // option 1, "", durationFormat, option 2, option 3
  Track,         // 0, "", 0, 0, 0
};

MeasurePart PartOf(int measure) {
  switch (measure) {
    case 0:
    case 1:
      return MeasurePart::Speed;
    case 3:
      return MeasurePart::Distance;
    case 4:
      return MeasurePart::Entries;
    case 5:
    case 13:
    case 14:
    case 25:
      return MeasurePart::Count;
    case 9:
      return MeasurePart::Latency;
    case 16:
    case 17:
    case 18:
    case 19:
      return MeasurePart::ZoneDistance;
    case 26:
      return MeasurePart::HeatMap;
    case 27:
    case 28:
      return MeasurePart::Track;
    default:  // 2, 6, 7, 8, 10, 11, 12, 15, 20 to 24
      return MeasurePart::Duration;
  }
}

bool HasFifthField(MeasurePart part) {
  return part == MeasurePart::Entries || part == MeasurePart::Count ||
         part == MeasurePart::Latency || part == MeasurePart::Track;
}

std::string FormatMeasurePart(const MeasureDefinition& d) {
  const char* selection = d.zoneSelection.c_str();
  const int ignore = d.ignoreInZoneAtStart ? 1 : 0;
  switch (PartOf(d.measure)) {
    case MeasurePart::Speed:
      return Format("%d|%s|%d|%d|", d.valueKind, selection, d.speedUnit, d.precision);
    case MeasurePart::Duration:
      return Format("%d|%s|%d|%d|", d.valueKind, selection, d.durationFormat, d.precision);
    case MeasurePart::Distance:
      return Format("%d|%s|%d|%d|", d.valueKind, selection, d.distanceUnit, d.precision);
    case MeasurePart::Entries:
      return Format("%d|%s|%d|%d|%d|", d.valueKind, selection, 0, d.precision, ignore);
    case MeasurePart::Count:
      return Format("%d|%s|%d|%d|%d|", d.valueKind, selection, 0, d.precision, 0);
    case MeasurePart::Latency:
      return Format("%d|%s|%d|%d|%d|", d.valueKind, selection, d.durationFormat, d.precision,
                    ignore);
    case MeasurePart::ZoneDistance:
      return Format("%d|%s|%d|%d|", 0, selection, d.distanceUnit, d.precision);
    case MeasurePart::HeatMap:
      return Format("%d|%s|%d|%d|%d|", d.heatMap[0], "", d.durationFormat, d.heatMap[1],
                    d.heatMap[2]);
    case MeasurePart::Track:
      return Format("%d|%s|%d|%d|%d|", 0, "", 0, 0, 0);
  }
  return {};
}

std::string FormatPeriodPart(const MeasureDefinition& d) {
  switch (BasePeriodMode(d.periodMode)) {
    case kPeriodEvents:
      return Format("%d|%s|%s|", d.periodMode, d.startEvent.Encode().c_str(),
                    d.endEvent.Encode().c_str());
    case kPeriodList: {
      std::string text = Format("%d|%d|", d.periodMode, static_cast<int>(d.periods.size()));
      for (const tPeriod& p : d.periods) {
        text += Format("%s|%lld|%lld|", p.name.c_str(), static_cast<long long>(p.start),
                       static_cast<long long>(p.end));
      }
      return text;
    }
    default:
      return Format("%d|%d|%d|", d.periodMode, d.sliceLength, d.sliceUnit);
  }
}

std::string FormatRangePart(const MeasureDefinition& d) {
  if (d.rangeMode == 1) {
    return Format("1|%.2f|%.2f|%.2f|", d.rangeLength, d.rangeMin, d.rangeMax);
  }
  std::string text = Format("0|%d|", static_cast<int>(d.ranges.size()));
  for (const tRange& r : d.ranges) text += Format("%s|%.2f|%.2f|", r.name.c_str(), r.min, r.max);
  return text;
}

// Reads the tokens of a Config text one by one; a missing or malformed token leaves the
// field it was meant for at its current value.
class ConfigReader {
 public:
  // Every field is followed by '|': the empty piece after the last one is no field.
  explicit ConfigReader(std::string_view text)
      : tokens_(text.ends_with('|') ? text.substr(0, text.size() - 1) : text, '|', true) {}

  bool Text(std::string& value) {
    std::string token;
    if (!tokens_.Next(token)) return false;
    value = token;
    return true;
  }
  template <typename Int>
  bool Integer(Int& value) {
    std::string token;
    int64_t parsed = 0;
    if (!tokens_.Next(token) || !TryParseInt64(token, parsed)) return false;
    value = static_cast<Int>(parsed);
    return true;
  }
  bool Real(double& value) {
    std::string token;
    if (!tokens_.Next(token) || !TryParseDouble(token, value)) return false;
    return true;
  }
  void Skip() {
    std::string token;
    tokens_.Next(token);
  }

 private:
  Tokenizer tokens_;
};

constexpr int64_t kMaxPeriodSeconds = 1000000000000;

int InRangeOr(int value, int low, int high, int fallback) {
  return value >= low && value <= high ? value : fallback;
}

void ReadMeasurePart(ConfigReader& reader, int version, MeasureDefinition& d) {
  const MeasurePart part = PartOf(d.measure);
  int first = 0, unitCode = 0, precision = -1;
  reader.Integer(first);
  if (part == MeasurePart::HeatMap) {
    d.heatMap[0] = first;
  } else if (part != MeasurePart::ZoneDistance && part != MeasurePart::Track) {
    d.valueKind = first;
  }
  std::string selection;
  if (reader.Text(selection) && part != MeasurePart::HeatMap && part != MeasurePart::Track) {
    d.zoneSelection = selection;
  }
  reader.Integer(unitCode);
  if (part == MeasurePart::HeatMap) {
    // The heat map keeps its second and third options where the others keep the precision.
    d.durationFormat = InRangeOr(unitCode, 0, 12, 0);
    reader.Integer(d.heatMap[1]);
    reader.Integer(d.heatMap[2]);
    return;
  }
  reader.Integer(precision);
  d.precision = InRangeOr(precision, 0, 6, -1);
  switch (part) {
    case MeasurePart::Speed:
      d.speedUnit = InRangeOr(unitCode, 0, 2, 0);
      break;
    case MeasurePart::Distance:
    case MeasurePart::ZoneDistance:
      d.distanceUnit = InRangeOr(unitCode, 0, 11, 0);
      break;
    case MeasurePart::Duration:
    case MeasurePart::Latency:
      d.durationFormat = InRangeOr(unitCode, 0, 12, 0);
      break;
    default:
      break;
  }
  if (!HasFifthField(part) || version < 5) return;
  int fifth = 0;
  if (reader.Integer(fifth) && (part == MeasurePart::Entries || part == MeasurePart::Latency)) {
    d.ignoreInZoneAtStart = fifth != 0;
  }
}

void ReadPeriodPart(ConfigReader& reader, MeasureDefinition& d) {
  int mode = 0;
  reader.Integer(mode);
  d.periodMode = InRangeOr(mode, 0, 7, 0);
  switch (BasePeriodMode(d.periodMode)) {
    case kPeriodEvents: {
      std::string start, end;
      if (reader.Text(start)) d.startEvent.Decode(start);
      if (reader.Text(end)) d.endEvent.Decode(end);
      break;
    }
    case kPeriodList: {
      int count = 0;
      reader.Integer(count);
      for (int i = 0; i < count; ++i) {
        tPeriod period;
        if (!reader.Text(period.name)) break;
        reader.Integer(period.start);
        reader.Integer(period.end);
        // Bounds far beyond any test (about 30 000 years) would overflow in milliseconds.
        period.start = std::clamp(period.start, -kMaxPeriodSeconds, kMaxPeriodSeconds);
        period.end = std::clamp(period.end, -kMaxPeriodSeconds, kMaxPeriodSeconds);
        d.periods.push_back(period);
      }
      break;
    }
    default:
      reader.Integer(d.sliceLength);
      reader.Integer(d.sliceUnit);
      break;
  }
}

void ReadRangePart(ConfigReader& reader, MeasureDefinition& d) {
  int mode = 0;
  if (!reader.Integer(mode)) return;
  d.rangeMode = mode == 1 ? 1 : 0;
  if (d.rangeMode == 1) {
    reader.Real(d.rangeLength);
    reader.Real(d.rangeMin);
    reader.Real(d.rangeMax);
    return;
  }
  int count = 0;
  reader.Integer(count);
  for (int i = 0; i < count; ++i) {
    tRange range;
    if (!reader.Text(range.name)) break;
    reader.Real(range.min);
    reader.Real(range.max);
    d.ranges.push_back(range);
  }
}

}  // namespace

int64_t MeasureDefinition::SliceSeconds() const {
  return sliceLength <= 0 ? 0 : DurationSeconds(sliceLength, sliceUnit);
}

std::string FormatMeasureConfig(const MeasureDefinition& d) {
  return Format("%d|%d|", kMeasureConfigVersion, d.measure) + FormatMeasurePart(d) +
         FormatPeriodPart(d) + Format("%d|", d.further) + FormatRangePart(d);
}

bool ParseMeasureConfig(const std::string& text, MeasureDefinition& definition) {
  definition = MeasureDefinition();
  ConfigReader reader(text);
  int version = -1, measure = -1;
  if (!reader.Integer(version) || version < 0 || version > kMeasureConfigVersion ||
      !reader.Integer(measure) || measure < 0 || measure >= kMeasureCount) {
    return false;
  }
  MeasureDefinition d;
  d.measure = measure;
  ReadMeasurePart(reader, version, d);
  ReadPeriodPart(reader, d);
  reader.Integer(d.further);
  ReadRangePart(reader, d);
  definition = std::move(d);
  return true;
}

int ValidateMeasureDefinition(const MeasureDefinition& d) {
  if (d.measure != kMeasureSpeedByRange) return 0;
  if (BasePeriodMode(d.periodMode) != kPeriodList && d.SliceSeconds() <= 0) {
    return msg::kRangePeriodZero;
  }
  if (d.rangeMode == 1) {
    if (!(d.rangeLength > 0)) return msg::kRangePeriodZero;
    if (d.rangeMax != 0 && d.rangeMax < d.rangeMin) return msg::kMaxBelowMin;
  }
  return 0;
}

}  // namespace vx
