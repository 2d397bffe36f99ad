#include "db/protocol_units.h"

#include <array>

namespace vx {

namespace {

constexpr std::array<const char*, 3> kInactivityUnits = {"ms", "s", "min"};
constexpr std::array<const char*, 3> kDurationUnits = {"h", "min", "s"};

int CodeOf(const std::array<const char*, 3>& names, std::string_view name) {
  for (size_t i = 0; i < names.size(); ++i) {
    if (name == names[i]) return static_cast<int>(i);
  }
  return -1;
}

const char* NameOf(const std::array<const char*, 3>& names, int code) {
  return code >= 0 && code < static_cast<int>(names.size()) ? names[code] : "?";
}

}  // namespace

int InactivityUnitCode(std::string_view name) { return CodeOf(kInactivityUnits, name); }
int DurationUnitCode(std::string_view name) { return CodeOf(kDurationUnits, name); }
const char* InactivityUnitName(int code) { return NameOf(kInactivityUnits, code); }
const char* DurationUnitName(int code) { return NameOf(kDurationUnits, code); }

}  // namespace vx
