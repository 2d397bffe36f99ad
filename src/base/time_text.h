// Durations and instants written by people: "250ms", "90s", "1.5s", "5min", "1h", "2:30"
// (minutes and seconds) or "1:02:30" (hours, minutes and seconds).
#pragma once

#include <cstdint>
#include <string_view>

namespace vx {

// The text as milliseconds, rounded to the nearest. False for anything else: a bare number
// (whose unit would be a guess), a negative, NaN or infinite value, an unknown unit, seconds
// or minutes of 60 and more in the colon forms.
bool ParseTimeText(std::string_view text, int64_t& ms);

}  // namespace vx
