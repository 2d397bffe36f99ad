// The measures by name, for people who set up a report without knowing its stored numbers: a
// short English name and a description per measure, the names of the value kinds a measure
// accepts and of the units (or duration formats) it can be shown in. Index i of a list of
// names is the stored code i.
#pragma once

#include <string>
#include <string_view>
#include <vector>

namespace vx {

// "distance", "time-in-zone", ...; "" outside 0..28.
const char* MeasureName(int measure);
// A name or a number (0..28); -1 when neither.
int MeasureFromName(std::string_view text);
const char* MeasureDescription(int measure);

// The value kinds measure accepts, by stored code; one entry ("value") when it has none.
std::vector<std::string> ValueKindNames(int measure);

// Which field of the definition a measure's unit goes to.
enum class UnitField { None, Speed, Distance, Duration };
UnitField UnitFieldOf(int measure);
// The unit names by stored code for the measure with that value kind (distances per surface
// for "per-area" distances); empty when the measure has no unit.
std::vector<std::string> UnitNames(int measure, int valueKind);

// The test and frame variables 0 to 38 by short name ("distance", "raw-speed"), and the unit
// their values are in ("" for texts, dates and counts).
const char* VariableName(int number);
const char* VariableUnit(int number);

// The position of name in names; -1 when absent.
int IndexOfName(const std::vector<std::string>& names, std::string_view name);

}  // namespace vx
