// The variables the test list and the frame list offer as columns: numbers 0 to 38, each with
// its title and description.
//
// Per-test variables (0 to 11, 26 to 38) come from the test record and its per-test summary
// (movement_summary.h); per-frame variables (12 to 25) from the points of the trajectory
// (trajectory.h): the "raw" ones from the detected positions and the cumulative raw
// distance, the others from the smoothed positions and the cumulative distance.
//
// A few titles are patterns: 10 takes the acceleration unit ("Max acceleration ( mm/s² )"),
// 11 is "Max speed" in "%s raw", 16 to 20 their base title in "%s [raw]".
#pragma once

#include <string>

namespace vx {

inline constexpr int kTestVariableCount = 39;  // 0 to 38

enum class VariableScope { Test, Frame };

struct TestVariable {
  int number = 0;
  const char* title = "";        // the title, or the pattern when base or unit is used
  const char* base = nullptr;    // the base title filled into the pattern, when there is one
  bool takesAccelerationUnit = false;  // the pattern takes the acceleration unit instead
  const char* description = "";
  VariableScope scope = VariableScope::Test;
};

// The catalogue entry of a variable; number 0 (the test's title) for a number outside 0..38.
const TestVariable& TestVariableInfo(int number);

// The title shown, patterns filled; accelerationUnit is a unit code of display_units.h (0
// mm/s², 1 cm/s², 2 m/s²).
std::string TestVariableTitle(int number, int accelerationUnit = 0);

}  // namespace vx
