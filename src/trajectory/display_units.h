// The units and precisions in which measures are shown, chosen by each user.
//
// Everything is stored and computed in mm, mm/s, mm² and seconds (accelerations in (mm/s) per
// ms); only the display converts. The choices live in the user's settings, section "Units".
#pragma once

#include <string>

namespace vx {

class SettingsStore;

// Length-based unit codes (distances, speeds, accelerations): 0 mm, 1 cm, 2 m.
// Area codes: 0 mm², 1 cm², 2 m².
inline constexpr int kUnitMm = 0;
inline constexpr int kUnitCm = 1;
inline constexpr int kUnitM = 2;

// A precision of 0..6 shows that many decimals; 7 or more picks them from the value.
inline constexpr int kAutomaticPrecision = 7;

// The value a conversion gives for a unit code it does not know.
inline constexpr double kInvalidUnitValue = -99999.0;

struct DisplayUnits {
  int speed = kUnitCm;     // "Speed"
  int dist = kUnitMm;      // "Dist": distances between frames and per zone
  int distTot = kUnitCm;   // "DistTot": total distances
  int accel = kUnitMm;     // "Accel"
  int area = kUnitCm;      // "Area"
  int speedPrecision = 2;  // "Speed_Precision", ...
  int distPrecision = 2;
  int distTotPrecision = 2;
  int accelPrecision = 2;
  int areaPrecision = 2;
};

// Reads section "Units"; a missing key, a unit code outside 0..2 or a negative precision
// gives that field's default.
DisplayUnits LoadDisplayUnits(const SettingsStore& settings);
void SaveDisplayUnits(SettingsStore& settings, const DisplayUnits& units);

// Conversions from the stored unit; kInvalidUnitValue for an unknown code.
double LengthToDisplay(double value, int unit);   // mm, mm/s: ÷1, ÷10, ÷1000
double AreaToDisplay(double mm2, int unit);       // mm²: ÷1, ÷100, ÷1 000 000
// Accelerations are stored in (mm/s) per ms; shown per second squared (×1000) so that the
// number matches its "mm/s²" label, then by the length factor.
double AccelerationToDisplay(double stored, int unit);
// Distance per surface area ("Distance / Surface area"), stored in mm per mm². Codes 0..2 are
// plain lengths (mm, cm, m); codes 3..11 are 3 + 3·length + area over (mm, cm, m) × (mm², cm²,
// m²).
double DistancePerSurfaceToDisplay(double mmPerMm2, int code);

// The number alone: precision 0..6 fixed ("%.2f" for 2, negative taken as 0); 7 or more
// automatic: "%.2f" from 0.1, "%.3f" from 0.01, ... "%.6f" from 0.00001, else "0".
std::string FormatNumber(double value, int precision);

// Number and unit, e.g. "12.50 cm/s", from a stored value and the user's choices.
std::string FormatLength(double mm, int unit, int precision);
std::string FormatDistance(double mm, const DisplayUnits& units);       // Dist
std::string FormatTotalDistance(double mm, const DisplayUnits& units);  // DistTot
std::string FormatSpeed(double mmPerS, const DisplayUnits& units);
std::string FormatAcceleration(double stored, const DisplayUnits& units);
std::string FormatArea(double mm2, const DisplayUnits& units);

// The printf pattern of a unit: "%s mm", "%s cm/s", "%s m²", ...; "%s" for an unknown code.
const char* LengthUnitPattern(int unit);
const char* SpeedUnitPattern(int unit);
const char* AccelerationUnitPattern(int unit);
const char* AreaUnitPattern(int unit);
// The unit of a pattern alone: "cm/s" for "%s cm/s".
std::string UnitSymbol(const char* pattern);

}  // namespace vx
