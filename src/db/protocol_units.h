// The protocol's time units by the names people type and read, so that no one has to know the
// stored codes.
//
// Inactivity delay (InactivityUnit): "ms" 0, "s" 1, "min" 2.
// Test length limit and the recording delay and duration (MaxTypeDuration, TypeDelayRecordNoA,
// TypeDurationRecordNoA): "h" 0, "min" 1, "s" 2.
#pragma once

#include <string_view>

namespace vx {

// -1 for a name that is not a unit of that kind.
int InactivityUnitCode(std::string_view name);
int DurationUnitCode(std::string_view name);

// "?" for a stored code that names no unit (an old or damaged file).
const char* InactivityUnitName(int code);
const char* DurationUnitName(int code);

}  // namespace vx
