#include "trajectory/display_units.h"

#include "base/platform.h"
#include "base/text.h"

namespace vx {

namespace {

constexpr const char* kSection = "Units";

bool IsUnitCode(int code) { return code >= kUnitMm && code <= kUnitM; }

int ReadUnit(const SettingsStore& settings, const char* key, int fallback) {
  const int code = settings.GetInt(kSection, key, fallback);
  return IsUnitCode(code) ? code : fallback;
}

int ReadPrecision(const SettingsStore& settings, const std::string& key, int fallback) {
  const int precision = settings.GetInt(kSection, key + "_Precision", fallback);
  return precision >= 0 ? precision : fallback;
}

// The fields of DisplayUnits with their keys, so loading and saving cannot drift apart.
struct UnitField {
  const char* key;
  int DisplayUnits::*unit;
  int DisplayUnits::*precision;
};
constexpr UnitField kFields[] = {
    {"Speed", &DisplayUnits::speed, &DisplayUnits::speedPrecision},
    {"Dist", &DisplayUnits::dist, &DisplayUnits::distPrecision},
    {"DistTot", &DisplayUnits::distTot, &DisplayUnits::distTotPrecision},
    {"Accel", &DisplayUnits::accel, &DisplayUnits::accelPrecision},
    {"Area", &DisplayUnits::area, &DisplayUnits::areaPrecision},
};

const char* Pick(int unit, const char* mm, const char* cm, const char* m) {
  switch (unit) {
    case kUnitMm: return mm;
    case kUnitCm: return cm;
    case kUnitM: return m;
    default: return "%s";
  }
}

std::string WithUnit(const char* pattern, double value, int precision) {
  return Format(pattern, FormatNumber(value, precision).c_str());
}

}  // namespace

DisplayUnits LoadDisplayUnits(const SettingsStore& settings) {
  DisplayUnits units;
  for (const UnitField& field : kFields) {
    units.*field.unit = ReadUnit(settings, field.key, units.*field.unit);
    units.*field.precision = ReadPrecision(settings, field.key, units.*field.precision);
  }
  return units;
}

void SaveDisplayUnits(SettingsStore& settings, const DisplayUnits& units) {
  for (const UnitField& field : kFields) {
    settings.SetInt(kSection, field.key, units.*field.unit);
    settings.SetInt(kSection, std::string(field.key) + "_Precision", units.*field.precision);
  }
}

double LengthToDisplay(double value, int unit) {
  switch (unit) {
    case kUnitMm: return value;
    case kUnitCm: return value / 10.0;
    case kUnitM: return value / 1000.0;
    default: return kInvalidUnitValue;
  }
}

double AreaToDisplay(double mm2, int unit) {
  switch (unit) {
    case kUnitMm: return mm2;
    case kUnitCm: return mm2 / 100.0;
    case kUnitM: return mm2 / 1000000.0;
    default: return kInvalidUnitValue;
  }
}

double AccelerationToDisplay(double stored, int unit) {
  const double perSecondSquared = stored * 1000.0;
  return LengthToDisplay(perSecondSquared, unit);
}

double DistancePerSurfaceToDisplay(double mmPerMm2, int code) {
  switch (code) {
    case 0: return mmPerMm2;
    case 1: return mmPerMm2 / 10.0;
    case 2: return mmPerMm2 / 1000.0;
    case 3: return mmPerMm2;                  // mm per mm²
    case 4: return mmPerMm2 * 100.0;          // mm per cm²
    case 5: return mmPerMm2 * 1000000.0;      // mm per m²
    case 6: return mmPerMm2 / 10.0;           // cm per mm²
    case 7: return mmPerMm2 * 10.0;           // cm per cm²
    case 8: return mmPerMm2 * 100000.0;       // cm per m²
    case 9: return mmPerMm2 / 1000.0;         // m per mm²
    case 10: return mmPerMm2 / 10.0;          // m per cm²
    case 11: return mmPerMm2 * 1000.0;        // m per m²
    default: return kInvalidUnitValue;
  }
}

std::string FormatNumber(double value, int precision) {
  if (precision < kAutomaticPrecision) {
    return Format("%.*f", precision < 0 ? 0 : precision, value);
  }
  if (value >= 0.1) return Format("%.2f", value);
  if (value >= 0.01) return Format("%.3f", value);
  if (value >= 0.001) return Format("%.4f", value);
  if (value >= 0.0001) return Format("%.5f", value);
  if (value >= 0.00001) return Format("%.6f", value);
  return "0";
}

const char* LengthUnitPattern(int unit) { return Pick(unit, "%s mm", "%s cm", "%s m"); }
const char* SpeedUnitPattern(int unit) { return Pick(unit, "%s mm/s", "%s cm/s", "%s m/s"); }
const char* AccelerationUnitPattern(int unit) {
  return Pick(unit, "%s mm/s\xC2\xB2", "%s cm/s\xC2\xB2", "%s m/s\xC2\xB2");
}
const char* AreaUnitPattern(int unit) {
  return Pick(unit, "%s mm\xC2\xB2", "%s cm\xC2\xB2", "%s m\xC2\xB2");
}

std::string FormatLength(double mm, int unit, int precision) {
  return WithUnit(LengthUnitPattern(unit), LengthToDisplay(mm, unit), precision);
}

std::string FormatDistance(double mm, const DisplayUnits& units) {
  return FormatLength(mm, units.dist, units.distPrecision);
}

std::string FormatTotalDistance(double mm, const DisplayUnits& units) {
  return FormatLength(mm, units.distTot, units.distTotPrecision);
}

std::string FormatSpeed(double mmPerS, const DisplayUnits& units) {
  return WithUnit(SpeedUnitPattern(units.speed), LengthToDisplay(mmPerS, units.speed),
                  units.speedPrecision);
}

std::string FormatAcceleration(double stored, const DisplayUnits& units) {
  return WithUnit(AccelerationUnitPattern(units.accel), AccelerationToDisplay(stored, units.accel),
                  units.accelPrecision);
}

std::string FormatArea(double mm2, const DisplayUnits& units) {
  return WithUnit(AreaUnitPattern(units.area), AreaToDisplay(mm2, units.area),
                  units.areaPrecision);
}

std::string UnitSymbol(const char* pattern) {
  const std::string text = pattern;
  return text.size() > 3 && text.compare(0, 3, "%s ") == 0 ? text.substr(3) : std::string();
}

}  // namespace vx
