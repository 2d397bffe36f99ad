#include "reports/report_fields.h"

#include <cstdlib>

#include "base/text.h"
#include "measures/measure_names.h"

namespace vx {

namespace {

constexpr int64_t kMaxSeconds = 366LL * 24 * 3600;

std::string JoinNames(const std::vector<std::string>& names, const char* separator) {
  std::string text;
  for (size_t i = 0; i < names.size(); ++i) text += (i ? separator : "") + names[i];
  return text;
}

const ZoneRow* ZoneNamed(const CProtocol& protocol, std::string_view name) {
  for (const ZoneRow& zone : protocol.zones) {
    if (zone.name == name && zone.typeRect != 4) return &zone;  // never the ruler
  }
  return nullptr;
}

std::string ZoneNameOf(const CProtocol& protocol, int id) {
  for (const ZoneRow& zone : protocol.zones) {
    if (zone.id == id) return zone.name;
  }
  return std::to_string(id);
}

std::string KnownZones(const CProtocol& protocol) {
  std::vector<std::string> names;
  for (const ZoneRow& zone : protocol.zones) {
    if (zone.typeRect != 4) names.push_back(zone.name);
  }
  return names.empty() ? "the protocol has no zone" : "zones: " + JoinNames(names, ", ");
}

// "all", or zone names separated by ',' ("out:NAME" for the outside of a zone).
bool ParseZones(const CProtocol& protocol, std::string_view text, std::string& selection) {
  if (text == "all") {
    selection.clear();
    return true;
  }
  if (text.empty()) return false;
  std::string ids = ",";
  for (const std::string& item : Split(text, ',', true)) {
    const bool outside = item.starts_with("out:");
    const ZoneRow* zone = ZoneNamed(protocol, outside ? std::string_view(item).substr(4) : item);
    if (zone == nullptr) return false;
    ids += std::to_string(outside ? -zone->id : zone->id) + ",";
  }
  selection = ids;
  return true;
}

std::string DescribeZones(const CProtocol& protocol, const std::string& selection) {
  if (selection.empty()) return "all";
  std::vector<std::string> names;
  for (const std::string& item : Split(selection, ',', false)) {
    const int id = ToInt(item);
    names.push_back((id < 0 ? "out:" : "") + ZoneNameOf(protocol, id < 0 ? -id : id));
  }
  return JoinNames(names, ",");
}

// A duration with its own unit (0 hours, 1 minutes, 2 seconds), as slices and conditions hold it.
bool ParseAmount(std::string_view text, int& amount, int& unit) {
  std::string_view number = text;
  unit = 2;
  if (text.ends_with("min")) {
    number = text.substr(0, text.size() - 3);
    unit = 1;
  } else if (text.ends_with("h")) {
    number = text.substr(0, text.size() - 1);
    unit = 0;
  } else if (text.ends_with("s")) {
    number = text.substr(0, text.size() - 1);
  }
  return TryParseInt(number, amount) && amount > 0 && DurationSeconds(amount, unit) <= kMaxSeconds;
}

std::string AmountText(int amount, int unit) {
  static const char* const kSuffixes[] = {"h", "min", "s"};
  return std::to_string(amount) + (unit >= 0 && unit <= 2 ? kSuffixes[unit] : "?");
}

constexpr const char* kEventNames[] = {"never",    "immediately", "after",
                                       "active",   "inactive",    "in",
                                       "entered",  "out",         "left"};

bool ParseEvent(const CProtocol& protocol, std::string_view text, CMyEvent& event) {
  const std::vector<std::string> parts = Split(text, ':', true);
  event = CMyEvent();
  if (parts.empty()) return false;
  for (int type = 0; type <= kEventLeftZone; ++type) {
    if (parts[0] != kEventNames[type]) continue;
    event.type = type;
    if (type <= kEventImmediately) return parts.size() == 1;
    if (type <= kEventInactiveFor) return parts.size() == 2 && ParseAmount(parts[1], event.amount, event.unit);
    if (parts.size() != 3) return false;
    const ZoneRow* zone = ZoneNamed(protocol, parts[1]);
    if (zone == nullptr) return false;
    event.zoneId = zone->id;
    if (type == kEventEnteredZone || type == kEventLeftZone) {
      return TryParseInt(parts[2], event.count) && event.count >= 1;
    }
    return ParseAmount(parts[2], event.amount, event.unit);
  }
  return false;
}

std::string EventText(const CProtocol& protocol, const CMyEvent& e) {
  if (e.type < 0 || e.type > kEventLeftZone) return "never";
  std::string text = kEventNames[e.type];
  if (e.IsZoneCondition()) text += ":" + ZoneNameOf(protocol, e.zoneId);
  if (e.type == kEventEnteredZone || e.type == kEventLeftZone) return text + ":" + std::to_string(e.count);
  if (e.type >= kEventAfterDuration) text += ":" + AmountText(e.amount, e.unit);
  return text;
}

bool ParsePeriodList(std::string_view text, std::vector<tPeriod>& periods) {
  periods.clear();
  for (const std::string& item : Split(text, ',', true)) {
    const size_t equals = item.find('=');
    const size_t dash = item.find('-', equals == std::string::npos ? 0 : equals);
    if (equals == std::string::npos || equals == 0 || dash == std::string::npos) return false;
    tPeriod period;
    period.name = item.substr(0, equals);
    if (period.name.find('|') != std::string::npos) return false;
    if (!ParseSeconds(std::string_view(item).substr(equals + 1, dash - equals - 1), period.start) ||
        !ParseSeconds(std::string_view(item).substr(dash + 1), period.end) || period.end <= period.start) {
      return false;
    }
    periods.push_back(period);
  }
  return !periods.empty();
}

bool ParsePeriods(const CProtocol& protocol, std::string_view text, MeasureDefinition& d) {
  if (text == "whole") {
    d.periodMode = kPeriodSlices;
    d.sliceLength = 0;
    return true;
  }
  if (text.starts_with("slices:")) {
    d.periodMode = kPeriodSlices;
    return ParseAmount(text.substr(7), d.sliceLength, d.sliceUnit);
  }
  if (text.starts_with("periods:")) {
    d.periodMode = kPeriodList;
    return ParsePeriodList(text.substr(8), d.periods);
  }
  if (text.starts_with("events:")) {
    const std::vector<std::string> ends = Split(text.substr(7), '/', true);
    d.periodMode = kPeriodEvents;
    return ends.size() == 2 && ParseEvent(protocol, ends[0], d.startEvent) &&
           ParseEvent(protocol, ends[1], d.endEvent);
  }
  return false;
}

std::string DescribePeriods(const CProtocol& protocol, const MeasureDefinition& d) {
  switch (BasePeriodMode(d.periodMode)) {
    case kPeriodEvents:
      return "events:" + EventText(protocol, d.startEvent) + "/" + EventText(protocol, d.endEvent);
    case kPeriodList: {
      std::vector<std::string> items;
      for (const tPeriod& p : d.periods) {
        items.push_back(Format("%s=%llds-%llds", p.name.c_str(), static_cast<long long>(p.start),
                               static_cast<long long>(p.end)));
      }
      return "periods:" + JoinNames(items, ",");
    }
    default:
      return d.sliceLength <= 0 ? "whole" : "slices:" + AmountText(d.sliceLength, d.sliceUnit);
  }
}

int* UnitFieldIn(MeasureDefinition& d) {
  switch (UnitFieldOf(d.measure)) {
    case UnitField::Speed: return &d.speedUnit;
    case UnitField::Distance: return &d.distanceUnit;
    case UnitField::Duration: return &d.durationFormat;
    case UnitField::None: break;
  }
  return nullptr;
}

std::string SetChoice(const std::vector<std::string>& names, std::string_view value, int* field) {
  const int index = IndexOfName(names, value);
  if (field == nullptr || index < 0) {
    return names.empty() ? "nothing: this measure has no unit" : JoinNames(names, ", ");
  }
  *field = index;
  return {};
}

}  // namespace

bool ParseSeconds(std::string_view text, int64_t& seconds) {
  int amount = 0, unit = 2;
  if (text == "0" || text == "0s") {
    seconds = 0;
    return true;
  }
  if (!ParseAmount(text, amount, unit)) return false;
  seconds = DurationSeconds(amount, unit);
  return true;
}

const std::vector<ReportField>& ReportFields() {
  static const std::vector<ReportField> fields = {
      {"measure", "a measure name or number (see 'velantrix measures')"},
      {"value", "a value kind of the measure (see 'velantrix measures')"},
      {"unit", "a unit of the measure (see 'velantrix measures')"},
      {"zones", "all, or zone names separated by ',' (out:NAME for the outside of a zone)"},
      {"periods", "whole, slices:DURATION, periods:NAME=START-END,... or events:START/END"},
      {"precision", "0 to 6 decimals, or auto"},
  };
  return fields;
}

std::string SetReportField(MeasureDefinition& definition, const CProtocol& protocol,
                           std::string_view name, std::string_view value) {
  MeasureDefinition d = definition;
  std::string refused;
  if (name == "measure") {
    d.measure = MeasureFromName(value);
    if (d.measure < 0) refused = ReportFields()[0].accepted;
  } else if (name == "value") {
    refused = SetChoice(ValueKindNames(d.measure), value, &d.valueKind);
  } else if (name == "unit") {
    refused = SetChoice(UnitNames(d.measure, d.valueKind), value, UnitFieldIn(d));
  } else if (name == "zones") {
    if (!ParseZones(protocol, value, d.zoneSelection)) refused = "all or " + KnownZones(protocol);
  } else if (name == "periods") {
    if (!ParsePeriods(protocol, value, d)) refused = ReportFields()[4].accepted;
  } else if (name == "precision") {
    d.precision = -1;
    if (value != "auto" && (!TryParseInt(value, d.precision) || d.precision < 0 || d.precision > 6)) {
      refused = ReportFields()[5].accepted;
    }
  } else {
    refused = "one of measure, value, unit, zones, periods, precision";
  }
  if (refused.empty()) definition = std::move(d);
  return refused;
}

std::vector<std::pair<std::string, std::string>> DescribeReport(const MeasureDefinition& definition,
                                                                const CProtocol& protocol) {
  MeasureDefinition d = definition;
  const int* unit = UnitFieldIn(d);
  const std::vector<std::string> kinds = ValueKindNames(d.measure);
  const std::vector<std::string> units = UnitNames(d.measure, d.valueKind);
  const auto nameAt = [](const std::vector<std::string>& names, int index) {
    return index >= 0 && index < static_cast<int>(names.size()) ? names[index] : std::to_string(index);
  };
  return {
      {"measure", MeasureName(d.measure)},
      {"value", nameAt(kinds, d.valueKind)},
      {"unit", unit != nullptr ? nameAt(units, *unit) : ""},
      {"zones", DescribeZones(protocol, d.zoneSelection)},
      {"periods", DescribePeriods(protocol, d)},
      {"precision", d.precision < 0 ? "auto" : std::to_string(d.precision)},
  };
}

}  // namespace vx
