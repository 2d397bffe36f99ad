#include "measures/test_variables.h"

#include <string_view>

#include "trajectory/display_units.h"
#include "base/text.h"

namespace vx {

namespace {

using enum VariableScope;

// Titles and descriptions are the program's own texts, typos included: users' saved column
// choices and translations are keyed on them.
constexpr TestVariable kVariables[kTestVariableCount] = {
    {0, "Test", nullptr, false, "Title of the test", Test},
    {1, "Id", nullptr, false, "Unique identifier of the test", Test},
    {2, "Acquisition date", nullptr, false, "Acquisition date of the test", Test},
    {3, "Status", nullptr, false, "Status of the test", Test},
    {4, "Animal", nullptr, false, "Name of the animal", Test},
    {5, "Protocol", nullptr, false, "Protocol of the test", Test},
    {6, "Duration", nullptr, false, "Duration of the period of analyse", Test},
    {7, "Total dist.", nullptr, false, "Total distance traveled during the period of analysis",
     Test},
    {8, "Average speed", nullptr, false, "Average speed during the period of analysis", Test},
    {9, "Max speed", nullptr, false, "Maximum speed during the period of analyse", Test},
    {10, "Max acceleration ( %s )", nullptr, true,
     "Maximum acceleration during the period of analysis", Test},
    {11, "%s raw", "Max speed", false, "Maximum speed calculated on raw data", Test},
    {12, "Frame", nullptr, false, "Frame number", Frame},
    {13, "Time", nullptr, false, "Frame time", Frame},
    {14, "X", nullptr, false, "X coordinate in pixels, from top, left corner of the image", Frame},
    {15, "Y", nullptr, false, "Y coordinate in pixels, from top, left corner of the image", Frame},
    {16, "%s [raw]", "Pos. X", false, "Horizontal position, calculated on raw data", Frame},
    {17, "%s [raw]", "Pos. Y", false, "Vertical position, calculated on raw data", Frame},
    {18, "%s [raw]", "Distance", false, "Distance from previous frame, calculated on raw data",
     Frame},
    {19, "%s [raw]", "Speed", false, "Instantaneous speed, calculated on raw data", Frame},
    {20, "%s [raw]", "Total dist.", false,
     "Total distance from the start of the analyse, calculated on raw data", Frame},
    {21, "Pos. X", nullptr, false, "Horizontal position", Frame},
    {22, "Pos. Y", nullptr, false, "Vertical position", Frame},
    {23, "Distance", nullptr, false, "Distance from previous frame", Frame},
    {24, "Speed", nullptr, false, "Instantaneous speed", Frame},
    {25, "Total dist.", nullptr, false, "Total distance from the start of the analyse", Frame},
    {26, "Analysis date", nullptr, false, "Analysis date of the test.", Test},
    {27, "Scheduled date", nullptr, false, "Scheduled acquisition date of the test.", Test},
    {28, "Notes", nullptr, false, "The first 256 characters of the Notes field. ", Test},
    {29, "Activity", nullptr, false, "Period of activity", Test},
    {30, "Activity ( % )", nullptr, false, "Percentage of time the animal is active", Test},
    {31, "Inactivity", nullptr, false, "Period of inactivity", Test},
    {32, "Inactivity ( % )", nullptr, false, "Percentage of time the animal is inactive", Test},
    {33, "Arena", nullptr, false, "The arena chosen for the test", Test},
    {34, "Video file", nullptr, false, "Location of the video file", Test},
    {35, "Average acceleration ( %s )", nullptr, true,
     "Average acceleration during the period of analysis", Test},
    {36, "Scale", nullptr, false, "Millimetres per pixel used by the analysis", Test},
    {37, "Video duration", nullptr, false, "Duration of the test's video", Test},
    // The column shows one user field; its title is that field's name.
    {38, "User field", nullptr, false, "User field", Test},
};

// "mm/s²" from the pattern "%s mm/s²".
std::string_view UnitName(const char* pattern) {
  std::string_view text(pattern);
  return text.starts_with("%s ") ? text.substr(3) : text;
}

}  // namespace

const TestVariable& TestVariableInfo(int number) {
  return number >= 0 && number < kTestVariableCount ? kVariables[number] : kVariables[0];
}

std::string TestVariableTitle(int number, int accelerationUnit) {
  const TestVariable& v = TestVariableInfo(number);
  if (v.takesAccelerationUnit) {
    return Format(v.title, std::string(UnitName(AccelerationUnitPattern(accelerationUnit))).c_str());
  }
  if (v.base != nullptr) return Format(v.title, v.base);
  return v.title;
}

}  // namespace vx
